#pragma once

#include "core/money.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QStringList>

// Unit price lines of the demo database and the settlement sums over them.
namespace DemoPrices {

struct Combo {
    QString pno;
    QString wno;
    QString person;
};

struct Line {
    int serial = 0;
    Combo combo;
    UnitPrice price;
    QDate start;
    QDate end; // invalid: open-ended
    bool deleted = false;
    QString remark;
};

struct Table {
    QList<Line> lines;
    QHash<QString, QList<Combo>> combosByPerson; // live combinations only

    QList<Combo> combosOf(const QString& person) const { return combosByPerson.value(person); }
    // The price of the live line with the latest start on or before the day;
    // zero when there is none.
    UnitPrice priceOn(const Combo& combo, const QDate& day) const;
};

// Every live home-worker gets a handful of combinations, each with one to
// three successive periods; the deleted home-worker and the deleted drawing
// number keep only deleted lines.
Table build(QRandomGenerator& rng, const QDate& today, const QStringList& workers,
            const QStringList& drawings, const QString& deletedWorker,
            const QString& deletedDrawing);

void insert(const QSqlDatabase& db, const Table& table, const QDate& entered,
            const QString& employee, const QDateTime& now);

// The sums of one home-worker's row of a settlement run: per slip, amount
// and tax (the legal rate of its delivery day) are rounded separately,
// halves to the even neighbour.
struct Settlement {
    int slips = 0;
    Yen amount = 0;
    Yen tax = 0;
    void add(UnitPrice price, int quantity, const QDate& delivered);
};

} // namespace DemoPrices
