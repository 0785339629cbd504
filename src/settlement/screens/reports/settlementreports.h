#pragma once

#include "core/money.h"
#include "core/screens/bandedreport.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>

// The three printed documents of a settlement run, built from plain rows;
// the settlement screen reads them from the work tables and seisan_t and
// decides between the preview and the printer.

// What every report prints besides its rows.
struct ReportContext {
    QString companyName; // [User] Name
    QDate printedOn;     // the date of printing
};

// One slip of the statement: a row of wk_PersonA (精算日 holds 精算日時 again).
struct StatementLine {
    QDateTime settledAt;   // 精算日時
    QString personCode;    // 内職者コード
    QString personName;    // 内職者名
    QDate requestDate;     // 依頼日
    QString drawingNumber; // 製品図番
    QString workCode;      // 作業コード: orders the lines, not printed
    QString workItem;      // 作業項目
    UnitPrice unitPrice;   // 単価
    qint64 quantity = 0;   // 払出数
    Yen amount = 0;        // 金額小計
};

// One drawing-number class of a run: a row of wk_PnoAccount.
struct ClassLine {
    QDate settledOn;                 // 精算日
    QString drawingClass;            // 製品図番区分
    qint64 amountTenThousandths = 0; // 精算金額: unrounded sum of price × quantity
    qint64 quantity = 0;             // 個数
};

// Number of each note and coin, largest first: 一万, 五千, 千, 五百, 百,
// 五十, 十, 五, 一.
constexpr int CashKinds = 9;
using CashCounts = std::array<qint64, CashKinds>;

// One home-worker of the cash table.
struct CashLine {
    QString personCode; // 内職者コード
    QString personName; // 内職者氏名
    Yen amount = 0;     // 精算金額
    CashCounts counts{};
};

// 製品加工高　精算表: per home-worker (each on a new page) the slips, the
// total and the tear-off receipt; the total and the receipt are one band, so
// they are never parted. Lines are grouped by run and home-worker whatever
// order they come in.
BandedReport drptAccount(const QList<StatementLine>& lines, const ReportContext& context);

// 金種表 (landscape): one line per home-worker in code order, the column
// totals at the end; timeStampText is the run as chosen on the screen.
BandedReport drptKinshu(const QString& timeStampText, const QList<CashLine>& lines,
                        const ReportContext& context);

// 製品図番別金額一覧: per settlement date the classes with their amount and
// quantity, and the totals. Lines of one class are listed once, summed.
BandedReport drptPnoAccount(const QList<ClassLine>& lines, const ReportContext& context);
