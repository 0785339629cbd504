#include "support/pdftools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

namespace PdfTools {

namespace {

constexpr double kTwipsPerPoint = 20;

QString run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000))
        qFatal("%s did not finish", qPrintable(tool));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString range(int page) {
    return QString::number(page);
}

} // namespace

QString missing(const QStringList& tools) {
    for (const QString& tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    return QString();
}

Info info(const QString& pdf) {
    const QString text = run("pdfinfo", {pdf});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
    Info out;
    if (pages.hasMatch())
        out.pages = pages.captured(1).toInt();
    if (size.hasMatch())
        out.size =
            QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble()) * kTwipsPerPoint;
    return out;
}

QString textIn(const QList<Word>& words, const QRectF& area) {
    QList<Word> inside;
    for (const Word& w : words)
        if (area.contains(w.box.center()))
            inside << w;
    // Reading order: line by line (tops within a few points), left to right.
    std::sort(inside.begin(), inside.end(), [](const Word& a, const Word& b) {
        if (qAbs(a.box.top() - b.box.top()) > 60)
            return a.box.top() < b.box.top();
        return a.box.left() < b.box.left();
    });
    QString text;
    for (const Word& w : inside)
        text += w.text;
    return text;
}

QList<Word> words(const QString& pdf, int page) {
    const QString html =
        run("pdftotext", {"-bbox", "-f", range(page), "-l", range(page), pdf, "-"});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    QList<Word> out;
    for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
        const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        out.append({text, QRectF(from * kTwipsPerPoint, to * kTwipsPerPoint)});
    }
    return out;
}

QStringList barcodes(const QString& pdf, const QRectF& area, int dpi, int page) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    const QRect pixels = QRectF(area.topLeft() * dpi / 1440, area.size() * dpi / 1440).toRect();
    run("pdftoppm", {"-r", QString::number(dpi), "-f", range(page), "-l", range(page), "-x",
                     QString::number(pixels.x()), "-y", QString::number(pixels.y()), "-W",
                     QString::number(pixels.width()), "-H", QString::number(pixels.height()),
                     "-singlefile", "-png", pdf, stem});
    return run("zbarimg", {"--nodbus", "--raw", "-q", stem + QStringLiteral(".png")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace PdfTools
