#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// CSV for spreadsheets: fields separated by commas, lines ended by CR LF.
// A field holding a comma, a double quote or a line break is quoted, its
// quotes doubled. A text field starting with = + - @ (or a tab or CR) gets
// a leading apostrophe, so that a spreadsheet shows it as text and never
// runs it as a formula; numbers are written as they are.
enum class CsvEncoding {
    Utf8Bom,  // UTF-8 with a byte order mark: Excel reads it as UTF-8
    ShiftJis, // the Windows Japanese code page, for older tools
};

struct CsvField {
    QString text;
    bool number = false; // a plain number ("-1234.5"); anything else is text
};

class CsvWriter {
  public:
    explicit CsvWriter(CsvEncoding encoding);
    void addRow(const QList<CsvField>& fields);
    void addTextRow(const QStringList& texts);
    // The whole file: byte order mark (UTF-8), then the rows.
    QByteArray bytes() const;

  private:
    CsvEncoding m_encoding;
    QString m_text;
};

// The encoding named by [Export] Encoding of TVL.INI: "Shift_JIS" (any
// case, also "SJIS", "CP932") for Shift-JIS, anything else UTF-8 with BOM.
CsvEncoding configuredCsvEncoding();
