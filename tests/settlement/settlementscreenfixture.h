#pragma once

#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "settlementfixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// Reaching the controls of the settlement screens by name, as the clerk
// sees them.
namespace SettlementScreen {

template <typename T> T* child(QWidget* form, const QString& name) {
    T* w = form->findChild<T*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}
inline QLineEdit* box(QWidget* f, const QString& name) {
    return child<QLineEdit>(f, name);
}
inline QComboBox* combo(QWidget* f, const QString& name) {
    return child<QComboBox>(f, name);
}
inline QPushButton* button(QWidget* f, const QString& name) {
    return child<QPushButton>(f, name);
}
inline ListGrid* grid(QWidget* f) {
    return child<ListGrid>(f, QStringLiteral("grd1"));
}

// Messages shown since the last call, and forgets them.
inline QStringList shownTexts() {
    QStringList texts;
    for (const MessageBox::Shown& s : MessageBox::shown())
        texts << s.text;
    MessageBox::clearShown();
    return texts;
}

// Row `row` of the grid, columns joined by "|".
inline QString gridRow(QWidget* f, int row) {
    QStringList cells;
    for (int c = 0; c < grid(f)->cols(); ++c)
        cells << grid(f)->textMatrix(row, c);
    return cells.join(QLatin1Char('|'));
}

// Which of the four print buttons are enabled, "APMB" order as letters.
inline QString printButtonsEnabled(QWidget* f) {
    QString s;
    for (const char* name : {"cmdAPrint", "cmdMPrint", "cmdPPrint", "cmdBPrint"})
        s +=
            button(f, QString::fromLatin1(name))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

// Two home-workers with a price in force; N01 has slips S1, S2 and N02 slip
// S3, delivered in April 2004.
inline void twoWorkersWithSlips() {
    using namespace SettlementFixtures;
    addWorker(QStringLiteral("N01"), QStringLiteral("山田　花子"));
    addWorker(QStringLiteral("N02"), QStringLiteral("佐藤　一郎"));
    addWorkCode(QStringLiteral("W1"), QStringLiteral("組立"));
    addPrice(1, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 12.5,
             QStringLiteral("2004/01/01"));
    addPrice(2, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N02"), 30,
             QStringLiteral("2004/01/01"));
    addSlip(QStringLiteral("040401-001"), QStringLiteral("N01"), QStringLiteral("P-100"),
            QStringLiteral("W1"), 0, 10);
    addSlip(QStringLiteral("040401-002"), QStringLiteral("N01"), QStringLiteral("P-100"),
            QStringLiteral("W1"), 0, 3);
    addSlip(QStringLiteral("040401-003"), QStringLiteral("N02"), QStringLiteral("P-100"),
            QStringLiteral("W1"), 0, 7);
}

} // namespace SettlementScreen
