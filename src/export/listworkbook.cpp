#include "export/listworkbook.h"

#include "core/apperror.h"
#include "core/clock.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace {

// Width in spreadsheet columns (one digit each): a full-width character
// takes two, the longest line counts.
double widthOf(const QString& text) {
    int longest = 0, width = 0;
    for (const uint c : text.toUcs4()) {
        if (c == '\n') {
            width = 0;
            continue;
        }
        const bool narrow = c < 0x1100 || (c >= 0xFF61 && c <= 0xFF9F);
        width += narrow ? 1 : 2;
        longest = std::max(longest, width);
    }
    return longest;
}

struct Formats {
    lxw_format* heading;
    lxw_format* text;
    lxw_format* wrapped;
    lxw_format* whole;
    lxw_format* price;
    lxw_format* date;
};

Formats addFormats(lxw_workbook* book) {
    auto numbered = [book](const char* pattern) {
        lxw_format* f = workbook_add_format(book);
        format_set_num_format(f, pattern);
        return f;
    };
    Formats f{workbook_add_format(book), numbered("@"),         numbered("@"),
              numbered("#,##0"),         numbered("#,##0.000"), numbered("yyyy/mm/dd")};
    format_set_bold(f.heading);
    format_set_text_wrap(f.wrapped);
    return f;
}

class Sheet {
  public:
    Sheet(lxw_worksheet* sheet, const Formats& formats) : m_sheet(sheet), m_formats(formats) {}

    // A cell of the column's kind; text when it does not read as one.
    void write(lxw_row_t row, lxw_col_t col, ColumnKind kind, const QString& text) {
        if (text.isEmpty())
            return;
        bool ok = false;
        if (kind == ColumnKind::Whole || kind == ColumnKind::Price) {
            const double n = QString(text).remove(QLatin1Char(',')).toDouble(&ok);
            if (ok)
                check(worksheet_write_number(m_sheet, row, col, n,
                                             kind == ColumnKind::Whole ? m_formats.whole
                                                                       : m_formats.price));
        } else if (kind == ColumnKind::Date) {
            const QDate d = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
            if ((ok = d.isValid() && d.year() >= 1900)) {
                lxw_datetime when{d.year(), d.month(), d.day(), 0, 0, 0};
                check(worksheet_write_datetime(m_sheet, row, col, &when, m_formats.date));
            }
        }
        if (!ok)
            writeText(row, col, text);
    }

    void writeText(lxw_row_t row, lxw_col_t col, const QString& text,
                   lxw_format* format = nullptr) {
        if (!format)
            format = text.contains(QLatin1Char('\n')) ? m_formats.wrapped : m_formats.text;
        check(worksheet_write_string(m_sheet, row, col, text.toUtf8().constData(), format));
    }

    // The library's own texts are English; the clerk reads the cause.
    static void check(lxw_error error) {
        switch (error) {
        case LXW_NO_ERROR:
            return;
        case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
            throw AppError(QStringLiteral("Excel のセルには 32767 文字までしか入りません。"
                                          "この一覧は CSV で出力してください。"));
        case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
            throw AppError(QStringLiteral("Excel のシートに入る行数を超えています。"
                                          "範囲を絞るか、CSV で出力してください。"));
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            throw AppError(QStringLiteral("メモリが足りないため Excel ファイルを作れません。"
                                          "ほかのプログラムを閉じてやり直してください。"));
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            throw AppError(
                QStringLiteral("Excel ファイルを一時フォルダに書けません。"
                               "一時フォルダの権限とディスクの空きを確かめてください。"));
        default:
            throw AppError(
                QStringLiteral("Excel ファイルを作れません（libxlsxwriter のエラー %1）。"
                               "CSV で出力してください。")
                    .arg(int(error)));
        }
    }

  private:
    lxw_worksheet* m_sheet;
    const Formats& m_formats;
};

} // namespace

QByteArray listWorkbook(const ListTable& table) {
    // The library writes a file; the caller puts the bytes where they belong
    // in one piece, as with CSV.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.xlsx"));
    lxw_workbook* book =
        dir.isValid() ? workbook_new(QFile::encodeName(path).constData()) : nullptr;
    if (!book)
        throw AppError(QStringLiteral("Excel ファイルを作る一時フォルダを使えません。"
                                      "ディスクの空きを確かめてください。"));
    const QByteArray title = table.name.toUtf8();
    try {
        // The program's clock, so that the same list gives the same file.
        lxw_doc_properties properties{};
        properties.title = const_cast<char*>(title.constData());
        properties.created = time_t(Clock::now().toSecsSinceEpoch());
        Sheet::check(workbook_set_properties(book, &properties));
        const Formats formats = addFormats(book);
        lxw_worksheet* worksheet = workbook_add_worksheet(book, title.constData());
        if (!worksheet)
            throw AppError(QStringLiteral("Excel のシート名にできません: %1").arg(table.name));
        Sheet sheet(worksheet, formats);
        const QList<QStringList> rows = table.filledRows();
        lxw_col_t col = 0;
        for (qsizetype c = 0; c < table.headings.size(); ++c) {
            if (!table.shown.value(c))
                continue;
            const ColumnKind kind = table.kinds.value(c, ColumnKind::Text);
            sheet.writeText(0, col, table.headings.at(c), formats.heading);
            double width = widthOf(table.headings.at(c));
            for (qsizetype r = 0; r < rows.size(); ++r) {
                const QString text = rows.at(r).value(c);
                sheet.write(lxw_row_t(r + 1), col, kind, text);
                width = std::max(width, widthOf(text));
            }
            Sheet::check(
                worksheet_set_column(worksheet, col, col, std::min(width + 2, 60.0), nullptr));
            ++col;
        }
        worksheet_freeze_panes(worksheet, 1, 0);
    } catch (const AppError&) {
        workbook_close(book);
        throw;
    }
    Sheet::check(workbook_close(book));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("Excel ファイルを読み戻せません: %1").arg(file.errorString()));
    return file.readAll();
}
