#pragma once

#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "settlementfixtures.h"
#include "support/guitest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The controls of the settlement screens by name, and what the clerk sees.
namespace SettlementScreen {

template <typename T = QWidget> T* w(QWidget* form, const QString& name) {
    return GuiTest::child<T>(form, name);
}
using GuiTest::box;
// Radio buttons too.
inline void click(QWidget* f, const QString& name) {
    w<QAbstractButton>(f, name)->click();
}
inline ListGrid* grid(QWidget* f) {
    return w<ListGrid>(f, QStringLiteral("grd1"));
}
// Messages shown since the last call, which are then forgotten.
constexpr auto shownTexts = GuiTest::takeShown;

// A grid row's cells joined by "|".
inline QString gridRow(QWidget* f, int row) {
    QStringList cells;
    for (int c = 0; c < grid(f)->cols(); ++c)
        cells << grid(f)->textMatrix(row, c);
    return cells.join(QLatin1Char('|'));
}

// "1" or "0" for each of the named buttons, enabled or not.
inline QString enabled(QWidget* f, const QStringList& names) {
    QString s;
    for (const QString& name : names)
        s += w(f, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}
inline QString printButtons(QWidget* f) {
    return enabled(f, {"cmdAPrint", "cmdMPrint", "cmdPPrint", "cmdBPrint"});
}

// N01 (12.5 yen) has slips 040401-001 and -002 (one piece: 12.5 yen paid as
// 12, halves to even), N02 (30 yen) 040401-003,
// all delivered in April 2004.
inline void twoWorkersWithSlips() {
    using namespace SettlementFixtures;
    addWorker("N01", QStringLiteral("山田　花子"));
    addWorker("N02", QStringLiteral("佐藤　一郎"));
    addWorkCode("W1", QStringLiteral("組立"));
    addPrice(1, "P-100", "W1", "N01", 12.5, "2004/01/01");
    addPrice(2, "P-100", "W1", "N02", 30, "2004/01/01");
    addSlip("040401-001", "N01", "P-100", "W1", 0, 10);
    addSlip("040401-002", "N01", "P-100", "W1", 0, 1);
    addSlip("040401-003", "N02", "P-100", "W1", 0, 7);
}

} // namespace SettlementScreen
