#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The first sheet of an .xlsx file as a spreadsheet sees it, read with
// unzip and QXmlStreamReader rather than the library that wrote it.
struct WorkbookReader {
    explicit WorkbookReader(const QString& path);

    // A cell as `text "007" @`, `number 1234.5 #,##0.000`, `date 2026/12/07
    // yyyy/mm/dd` or `formula ...`; "(none)" for an empty cell. A bold cell
    // ends in " bold".
    QString cell(const QString& ref) const { return m_cells.value(ref, QStringLiteral("(none)")); }
    QString sheetName;
    bool frozenHeading = false;
    QStringList widths; // of each column, whole digits
    bool anyFormula = false;

    // One member of the file ("xl/worksheets/sheet1.xml").
    static QByteArray part(const QString& path, const QString& name);

  private:
    QMap<QString, QString> m_cells;
};
