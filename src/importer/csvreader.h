#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One table as mdb-export or Access's text export writes it: a header row
// of column names, then one row per record. A field left empty without
// quotes is Null and comes back as a null QString; "" is an empty text.
// Fields are separated by commas, or by tabs when the header holds tabs and
// no comma. Quoted fields may hold separators, line breaks and doubled
// quotes.
//
// Read one record at a time, so that a large table is never held as rows.
class CsvReader {
  public:
    // Reads the header at once; `text` must outlive the reader. Throws
    // AppError for a quote left open.
    explicit CsvReader(const QString& text);

    const QStringList& header() const { return m_header; }
    // The next record and the line it starts on; false at the end. Throws
    // AppError for a quote left open.
    bool next(QStringList& row, int& line);

  private:
    const QString& m_text;
    QChar m_sep;
    qsizetype m_pos = 0;
    int m_line = 1;
    QStringList m_header;
};

// A whole table at once, for small texts.
struct CsvTable {
    QStringList header;
    QList<QStringList> rows;
    QList<int> lines; // the line each row starts on, for the report
};
CsvTable readCsv(const QString& text);
