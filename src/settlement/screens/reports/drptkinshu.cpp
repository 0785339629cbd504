#include "core/conventions.h"
#include "settlement/screens/reports/reportstyle.h"
#include "settlement/screens/reports/settlementreports.h"

#include <algorithm>

using namespace ReportStyle;

namespace {

constexpr int kLine = 330;

const std::array<QString, CashKinds> kHeadings = {
    QStringLiteral("1万円札"), QStringLiteral("5千円札"), QStringLiteral("千円札"),
    QStringLiteral("500円玉"), QStringLiteral("100円玉"), QStringLiteral("50円玉"),
    QStringLiteral("10円玉"),  QStringLiteral("5円玉"),   QStringLiteral("1円玉")};

// Left edges of the columns: code, name, amount, then the nine counts; the
// last entry is the right edge of the table.
struct Columns {
    std::array<int, 3 + CashKinds + 1> edges{};
    explicit Columns(int width) {
        edges[0] = 0;
        edges[1] = 1500;
        edges[2] = 4700;
        edges[3] = 6600;
        const int countWidth = (width - edges[3]) / CashKinds;
        for (int k = 1; k <= CashKinds; ++k)
            edges[3 + k] = edges[3] + k * countWidth;
    }
    QRect cell(int column, int top, int height, int padding = 0) const {
        return QRect(edges[column] + padding, top, edges[column + 1] - edges[column] - 2 * padding,
                     height);
    }
    int right() const { return edges.back(); }
};

void columnRules(ReportBand& band, const Columns& c, int top, int bottom) {
    for (int edge : c.edges)
        band.verticalRule(edge, top, bottom, 10);
}

ReportBand pageHeader(const QString& timeStampText, const ReportContext& context, const Columns& c,
                      int width) {
    ReportBand band(1900);
    band.framedText(QRect(width / 2 - 1500, 0, 3000, 620), QStringLiteral("金種表"),
                    mincho(18, true), Qt::AlignCenter, 20);
    band.text(QRect(0, 100, 5500, 420), context.companyName, mincho(13));
    const QFont small = gothic(9);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.text(QRect(width - 3000, 0, 3000, 280), QStringLiteral("Page: %p / %P"), small, right);
    band.text(QRect(0, 850, 1200, 300), QStringLiteral("精算日時:"), pGothic(10));
    band.text(QRect(1200, 850, 3500, 300), timeStampText, gothic(10));
    band.text(QRect(width - 2500, 850, 1300, 300), QStringLiteral("精算日:"), pGothic(10), right);
    band.text(QRect(width - 1200, 850, 1200, 300), formatDate(context.printedOn), gothic(10),
              right);

    const int top = 1350;
    const int bottom = top + 520;
    const QFont heading = pGothic(9, true);
    band.rule(0, top, c.right(), 15);
    band.text(c.cell(0, top, 520), QStringLiteral("内職者コード"), heading, Qt::AlignCenter);
    band.text(c.cell(1, top, 520), QStringLiteral("内職者氏名"), heading, Qt::AlignCenter);
    band.text(c.cell(2, top, 520), QStringLiteral("支払金額"), heading, Qt::AlignCenter);
    for (int k = 0; k < CashKinds; ++k)
        band.text(c.cell(3 + k, top, 520), kHeadings[k], heading, Qt::AlignCenter);
    band.rule(0, bottom, c.right(), 15);
    columnRules(band, c, top, bottom);
    return band;
}

ReportBand detail(const CashLine& line, const Columns& c) {
    ReportBand band(kLine);
    const QFont figures = gothic(9);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.text(c.cell(0, 0, kLine, 60), line.workerCode, figures);
    band.text(c.cell(1, 0, kLine, 60), line.workerName, pGothic(9));
    band.text(c.cell(2, 0, kLine, 60), yen(line.amount), figures, right);
    for (int k = 0; k < CashKinds; ++k)
        band.text(c.cell(3 + k, 0, kLine, 60), QString::number(line.counts[k]), figures, right);
    band.rule(0, kLine, c.right(), 5);
    columnRules(band, c, 0, kLine);
    return band;
}

ReportBand reportFooter(const QList<CashLine>& lines, const Columns& c) {
    Yen total = 0;
    CashCounts counts{};
    for (const CashLine& line : lines) {
        total += line.amount;
        for (int k = 0; k < CashKinds; ++k)
            counts[k] += line.counts[k];
    }
    ReportBand band(420);
    const QFont figures = gothic(9, true);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.rule(0, 30, c.right(), 10);
    band.text(c.cell(1, 30, 360, 60), QStringLiteral("合計"), pGothic(9, true), Qt::AlignCenter);
    band.text(c.cell(2, 30, 360, 60), yen(total), figures, right);
    for (int k = 0; k < CashKinds; ++k)
        band.text(c.cell(3 + k, 30, 360, 60), QString::number(counts[k]), figures, right);
    band.rule(0, 390, c.right(), 15);
    columnRules(band, c, 0, 390);
    return band;
}

} // namespace

BandedReport drptKinshu(const QString& timeStampText, const QList<CashLine>& lines,
                        const ReportContext& context) {
    BandedReport report(a4(QPageLayout::Landscape));
    report.setTitle(QStringLiteral("金種表"));
    const int width = report.bodyTwips().width();
    const Columns columns(width);

    QList<CashLine> sorted = lines;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.workerCode < b.workerCode; });

    report.setPageHeader(pageHeader(timeStampText, context, columns, width));
    for (const CashLine& line : sorted)
        report.addDetail(detail(line, columns));
    report.setReportFooter(reportFooter(sorted, columns));
    return report;
}
