#include "core/conventions.h"
#include "settlement/screens/reports/reportstyle.h"
#include "settlement/screens/reports/settlementreports.h"

#include <algorithm>
#include <tuple>

using namespace ReportStyle;

namespace {

constexpr int kLine = 330; // one slip line

// Columns of the slip lines: left edge and width, in twips.
struct Column {
    int left;
    int width;
    QRect at(int top, int height) const { return QRect(left, top, width, height); }
};

struct Columns {
    Column requestDate{0, 1450};
    Column drawingNumber{1450, 2350};
    Column workItem{3800, 2700};
    Column unitPrice{6500, 1500};
    Column quantity{8000, 1000};
    Column amount;
    explicit Columns(int width) : amount{9000, width - 9000} {}
};

ReportBand groupHeader(const StatementLine& first, const Columns& c, int width) {
    ReportBand band(1700);
    band.text(QRect(0, 0, width, 560), QStringLiteral("製品加工高　精算表"), mincho(18, true),
              Qt::AlignCenter);
    band.rule(width / 2 - 2300, 600, width / 2 + 2300, 20);
    band.text(QRect(width - 3000, 0, 3000, 250), FormatDateTime(first.run), gothic(9),
              Qt::AlignRight | Qt::AlignVCenter);

    const QFont label = pGothic(11);
    band.text(QRect(0, 800, 3600, 320),
              QStringLiteral("精算日：　") + japaneseDate(first.run.date()), label);
    band.text(QRect(3700, 800, 2000, 320), QStringLiteral("コード：") + first.workerCode, label);
    band.text(QRect(5800, 800, width - 5800, 320),
              QStringLiteral("氏名：") + first.workerName + QStringLiteral("殿"), label);

    const QFont heading = pGothic(9, true);
    const int top = 1330;
    band.rule(0, top, width, 15);
    band.text(c.requestDate.at(top, kLine), QStringLiteral("依頼日"), heading, Qt::AlignCenter);
    band.text(c.drawingNumber.at(top, kLine), QStringLiteral("製品図番"), heading, Qt::AlignCenter);
    band.text(c.workItem.at(top, kLine), QStringLiteral("作業項目"), heading, Qt::AlignCenter);
    band.text(c.unitPrice.at(top, kLine), QStringLiteral("単価"), heading, Qt::AlignCenter);
    band.text(c.quantity.at(top, kLine), QStringLiteral("数量"), heading, Qt::AlignCenter);
    band.text(c.amount.at(top, kLine), QStringLiteral("金額小計"), heading, Qt::AlignCenter);
    band.rule(0, top + kLine, width, 15);
    // A statement never starts at the foot of a page without its first line.
    band.setKeepWithNext(true);
    return band;
}

ReportBand detail(const StatementLine& line, const Columns& c, int width) {
    ReportBand band(kLine);
    const QFont text = pGothic(9);
    const QFont figures = gothic(9);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.text(c.requestDate.at(0, kLine), FormatDate(line.requestDate), figures, Qt::AlignCenter);
    band.text(c.drawingNumber.at(0, kLine).adjusted(60, 0, 0, 0), line.drawingNumber, figures);
    band.text(c.workItem.at(0, kLine).adjusted(60, 0, 0, 0), line.workItem, text);
    band.text(c.unitPrice.at(0, kLine).adjusted(0, 0, -60, 0), yenPrice(line.price), figures,
              right);
    band.text(c.quantity.at(0, kLine).adjusted(0, 0, -60, 0), count(line.quantity), figures, right);
    band.text(c.amount.at(0, kLine).adjusted(0, 0, -60, 0), yen(line.amount), figures, right);
    band.rule(0, kLine, width, 5);
    return band;
}

// The total, the cut line and the receipt, kept together in one band.
ReportBand groupFooter(const StatementLine& first, Yen total, const QString& companyName,
                       int width) {
    ReportBand band(4900);
    const int middle = width / 2;
    band.text(QRect(width - 3200, 30, 1300, 400), QStringLiteral("合計"), pGothic(11, true),
              Qt::AlignCenter);
    band.text(QRect(width - 1900, 30, 1840, 400), yen(total), gothic(11, true),
              Qt::AlignRight | Qt::AlignVCenter);
    band.rule(width - 3200, 450, width, 20);

    band.rule(0, 930, middle - 600, 10, Qt::DashLine);
    band.text(QRect(middle - 600, 810, 1200, 240), QStringLiteral("ｷﾘﾄﾘ"), gothic(9),
              Qt::AlignCenter);
    band.rule(middle + 600, 930, width, 10, Qt::DashLine);

    band.box(QRect(0, 1250, width, 3600), 15);
    band.text(QRect(0, 1350, width, 600), QStringLiteral("領収書"), mincho(20, true),
              Qt::AlignCenter);
    const QFont dateFont = mincho(11);
    band.text(QRect(width - 3300, 2000, 600, 320), QStringLiteral("年"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);
    band.text(QRect(width - 2100, 2000, 600, 320), QStringLiteral("月"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);
    band.text(QRect(width - 900, 2000, 600, 320), QStringLiteral("日"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);

    band.text(QRect(300, 2450, 5000, 400), companyName, mincho(14), Qt::AlignCenter);
    band.text(QRect(5300, 2450, 500, 400), QStringLiteral("殿"), mincho(14), Qt::AlignCenter);
    band.rule(300, 2870, 5800, 10);

    band.text(QRect(middle - 3000, 3050, 1000, 500), QStringLiteral("金額"), mincho(14),
              Qt::AlignCenter);
    band.text(QRect(middle - 2000, 3050, 4500, 500), yen(total), gothic(16, true), Qt::AlignCenter);
    band.rule(middle - 3000, 3570, middle + 2500, 20);
    band.text(QRect(middle - 3000, 3700, 5500, 320), QStringLiteral("上記領収いたしました。"),
              mincho(11));

    band.text(QRect(width - 5300, 4200, 900, 400), QStringLiteral("氏名："), mincho(12));
    band.text(QRect(width - 4400, 4200, 3500, 400), first.workerName, mincho(12), Qt::AlignCenter);
    band.text(QRect(width - 800, 4200, 500, 400), QStringLiteral("印"), mincho(12),
              Qt::AlignCenter);
    band.rule(width - 5300, 4620, width - 300, 10);
    return band;
}

auto groupKey(const StatementLine& l) {
    return std::tie(l.run, l.workerCode, l.workerName);
}

} // namespace

BandedReport drptAccount(const QList<StatementLine>& lines, const ReportContext& context) {
    BandedReport report(a4(QPageLayout::Portrait));
    report.setTitle(QStringLiteral("製品加工高一覧表"));
    const int width = report.bodyTwips().width();
    const Columns columns(width);

    QList<StatementLine> sorted = lines;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return std::tie(a.run, a.workerCode, a.requestDate, a.drawingNumber, a.workCode) <
               std::tie(b.run, b.workerCode, b.requestDate, b.drawingNumber, b.workCode);
    });

    for (qsizetype i = 0; i < sorted.size();) {
        const StatementLine& first = sorted[i];
        // Each home-worker's statement and receipt on pages of its own.
        report.beginGroup(groupHeader(first, columns, width), true);
        Yen total = 0;
        for (; i < sorted.size() && groupKey(sorted[i]) == groupKey(first); ++i) {
            ReportBand line = detail(sorted[i], columns, width);
            // The total never starts a page without a line of its statement.
            const bool last =
                i + 1 == sorted.size() || !(groupKey(sorted[i + 1]) == groupKey(first));
            line.setKeepWithNext(last);
            report.addDetail(line);
            total += sorted[i].amount;
        }
        report.endGroup(groupFooter(first, total, context.companyName, width));
    }
    return report;
}
