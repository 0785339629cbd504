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

// A field holding characters that Shift-JIS lacks (an emoji, 𠮷).
struct UnmappedField {
    int row;            // 0: the first row added
    int field;          // 0: the first field of the row
    QString characters; // each lacking character once, in order
};

class CsvWriter {
  public:
    // In Shift-JIS, a character the code page lacks is written as
    // `replacement`; without one it is only noted (unmapped()), and the
    // caller must not write the bytes.
    explicit CsvWriter(CsvEncoding encoding, const QString& replacement = {});
    void addRow(const QList<CsvField>& fields);
    void addTextRow(const QStringList& texts);
    // The whole file: byte order mark (UTF-8), then the rows.
    QByteArray bytes() const;
    const QList<UnmappedField>& unmapped() const { return m_unmapped; }

  private:
    QString mapped(const QString& text, int field);

    CsvEncoding m_encoding;
    QString m_replacement;
    QString m_text;
    int m_rows = 0;
    QList<UnmappedField> m_unmapped;
};

// [Export] of TVL.INI: Encoding "Shift_JIS" (any case, also "SJIS",
// "CP932") for Shift-JIS, anything else UTF-8 with BOM; Unmappable, the
// character written in place of one Shift-JIS lacks (〓), or nothing to
// refuse such a file.
struct CsvSettings {
    CsvEncoding encoding = CsvEncoding::Utf8Bom;
    QString unmappable;
};
CsvSettings configuredCsvSettings();

// Whether Shift-JIS (Windows-31J) holds every character of the text.
bool fitsShiftJis(const QString& text);
