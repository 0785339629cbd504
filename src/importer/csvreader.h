#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One table as mdb-export or Access's text export writes it: a header row
// of column names, then one row per record. A field left empty without
// quotes is Null and comes back as a null QString; "" is an empty text.
struct CsvTable {
    QStringList header;
    QList<QStringList> rows;
    QList<int> lines; // the line each row starts on, for the report
};

// Fields are separated by commas, or by tabs when the header holds tabs and
// no comma. Quoted fields may hold separators, line breaks and doubled
// quotes. Throws AppError for a quote left open.
CsvTable readCsv(const QString& text);
