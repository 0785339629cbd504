#include "workbookreader.h"

#include <QDate>
#include <QProcess>
#include <QXmlStreamReader>

namespace {

QStringList sharedStrings(const QByteArray& xml) {
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("si"))
            strings << QString();
        else if (r.isStartElement() && r.name() == QLatin1String("t") && !strings.isEmpty())
            strings.last() += r.readElementText();
    }
    return strings;
}

struct Style {
    QString format;
    bool bold;
};

QList<Style> styles(const QByteArray& xml) {
    QMap<QString, QString> formats = {
        {"0", "General"}, {"3", "#,##0"}, {"4", "#,##0.00"}, {"14", "m/d/yyyy"}, {"49", "@"}};
    QList<bool> boldFonts;
    QList<Style> out;
    QString in;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const QString name = r.name().toString();
        const auto a = r.attributes();
        if (name == "fonts" || name == "cellXfs" || name == "cellStyleXfs")
            in = name;
        else if (name == "numFmt")
            formats[a.value("numFmtId").toString()] = a.value("formatCode").toString();
        else if (name == "font" && in == "fonts")
            boldFonts << false;
        else if (name == "b" && in == "fonts")
            boldFonts.last() = true;
        else if (name == "xf" && in == "cellXfs")
            out << Style{formats.value(a.value("numFmtId").toString()),
                         boldFonts.value(a.value("fontId").toInt())};
    }
    return out;
}

} // namespace

QByteArray WorkbookReader::part(const QString& path, const QString& name) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

WorkbookReader::WorkbookReader(const QString& path) {
    QXmlStreamReader book(part(path, "xl/workbook.xml"));
    while (!book.atEnd())
        if (book.readNext() == QXmlStreamReader::StartElement &&
            book.name() == QLatin1String("sheet"))
            sheetName = book.attributes().value("name").toString();
    const QStringList strings = sharedStrings(part(path, "xl/sharedStrings.xml"));
    const QList<Style> cellStyles = styles(part(path, "xl/styles.xml"));
    QXmlStreamReader sheet(part(path, "xl/worksheets/sheet1.xml"));
    QString ref, type, style, value, formula;
    while (!sheet.atEnd()) {
        sheet.readNext();
        const QString name = sheet.name().toString();
        const auto a = sheet.attributes();
        if (sheet.isStartElement() && name == "pane")
            frozenHeading = a.value("ySplit") == QLatin1String("1") &&
                            a.value("state") == QLatin1String("frozen");
        else if (sheet.isStartElement() && name == "col")
            widths << QString::number(int(a.value("width").toDouble()));
        else if (sheet.isStartElement() && name == "c") {
            ref = a.value("r").toString();
            type = a.value("t").toString();
            style = a.value("s").toString();
            value.clear();
            formula.clear();
        } else if (sheet.isStartElement() && name == "v")
            value = sheet.readElementText();
        else if (sheet.isStartElement() && name == "f")
            formula = sheet.readElementText();
        else if (sheet.isEndElement() && name == "c") {
            const Style s = cellStyles.value(style.toInt());
            QString shown;
            if (!formula.isEmpty())
                shown = "formula " + formula;
            else if (type == "s")
                shown = "text \"" + strings.value(value.toInt()).replace("\n", "\\n") + "\"";
            else if (type.isEmpty() && s.format.contains("yy"))
                shown = "date " +
                        QDate(1899, 12, 30).addDays(value.toLongLong()).toString("yyyy/MM/dd");
            else
                shown = (type.isEmpty() ? "number " : type + " ") + value;
            anyFormula = anyFormula || !formula.isEmpty();
            m_cells[ref] = shown + " " + s.format + (s.bold ? " bold" : "");
        }
    }
}
