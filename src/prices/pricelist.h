#pragma once

#include "core/listcolumns.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One line of the unit price list, as the grid shows it.
struct PriceListRow {
    qint64 serial = 0;
    QString pno, wno, workName, person, personName;
    QString price;      // "###,###,##0.000"
    QString start, end; // "YYYY/MM/DD"; "" when Null
    QString remark;
    bool deleted = false;

    QStringList cells() const; // grid columns 0..10, the serial first
};

// The unit price list's columns, as cells() fills them.
const ListDefinition& priceListDefinition();

// Price lines by combination, newest start first. hideExpired drops lines
// that ended before `today` and, below the first line shown for a
// combination, every line that started on or before today: what is left is
// the line in force and those yet to come. Throws DbError.
QList<PriceListRow> loadPriceRows(bool hideDeleted, bool hideExpired, const QDate& today);
