#pragma once

#include "core/decimal.h"
#include "core/money.h"

#include <QDate>
#include <QFont>
#include <QPageLayout>
#include <QString>

// Formats, fonts and paper shared by the settlement reports.
namespace ReportStyle {

// The yen sign as the reports print it: the half-width "¥" (U+00A5), which
// the Japanese fonts draw where the Windows code page has its backslash.
inline const QString YenSign = QStringLiteral("\u00A5");

// "¥" + "#,##0" (a minus sign goes before the yen sign).
QString yen(const Decimal& amount);
QString yen(Yen amount);
// "¥" + "#,##0.000".
QString yenPrice(UnitPrice price);
// "#,##0".
QString count(qint64 value);
// yyyy年MM月dd日.
QString japaneseDate(const QDate& date);

QFont gothic(double points, bool bold = false);  // ＭＳ ゴシック: figures, codes
QFont pGothic(double points, bool bold = false); // ＭＳ Ｐゴシック: texts
QFont mincho(double points, bool bold = false);  // ＭＳ Ｐ明朝: titles

// A4 with the reports' margins.
QPageLayout a4(QPageLayout::Orientation orientation);

} // namespace ReportStyle
