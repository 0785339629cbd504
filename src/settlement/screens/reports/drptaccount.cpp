#include "core/conventions.h"
#include "settlement/screens/reports/reportstyle.h"
#include "settlement/screens/reports/settlementreports.h"

#include <algorithm>
#include <optional>
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
    band.text(QRect(width - 3000, 0, 3000, 250), formatDateTime(first.run), gothic(9),
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
    band.text(c.requestDate.at(0, kLine), formatDate(line.requestDate), figures, Qt::AlignCenter);
    band.text(c.drawingNumber.at(0, kLine).adjusted(60, 0, 0, 0), line.drawingNumber, figures);
    band.text(c.workItem.at(0, kLine).adjusted(60, 0, 0, 0), line.workItem, text);
    band.text(c.unitPrice.at(0, kLine).adjusted(0, 0, -60, 0), yenPrice(line.price), figures,
              right);
    band.text(c.quantity.at(0, kLine).adjusted(0, 0, -60, 0), count(line.quantity), figures, right);
    band.text(c.amount.at(0, kLine).adjusted(0, 0, -60, 0), yen(line.amount), figures, right);
    band.rule(0, kLine, width, 5);
    return band;
}

// The figures closing a statement: with tax the stored 小計, 消費税 and
// 合計; paid without tax the one 合計 of the slips.
struct ClosingLine {
    QString label;
    Yen amount;
};

QList<ClosingLine> closingLines(Yen slipTotal, const std::optional<SettledFigures>& settled,
                                PaidFigure paid) {
    if (paid == PaidFigure::Amount || !settled)
        return {{QStringLiteral("合計"), slipTotal}};
    return {{QStringLiteral("小計"), slipTotal},
            {QStringLiteral("消費税"), settled->tax},
            {QStringLiteral("合計"), settled->total}};
}

// The totals, the cut line and the receipt, kept together in one band.
ReportBand groupFooter(const StatementLine& first, const QList<ClosingLine>& closing,
                       const QString& companyName, int width) {
    constexpr int kClosingLine = 400;
    const int closingHeight = int(closing.size()) * kClosingLine;
    const int shift = closingHeight - kClosingLine; // the receipt moves down as lines are added
    ReportBand band(4900 + shift);
    const int middle = width / 2;
    for (qsizetype i = 0; i < closing.size(); ++i) {
        const int top = 30 + int(i) * kClosingLine;
        const bool last = i + 1 == closing.size();
        band.text(QRect(width - 3200, top, 1300, kClosingLine), closing[i].label, pGothic(11, last),
                  Qt::AlignCenter);
        band.text(QRect(width - 1900, top, 1840, kClosingLine), yen(closing[i].amount),
                  gothic(11, last), Qt::AlignRight | Qt::AlignVCenter);
    }
    band.rule(width - 3200, 50 + closingHeight, width, 20);

    band.rule(0, 930 + shift, middle - 600, 10, Qt::DashLine);
    band.text(QRect(middle - 600, 810 + shift, 1200, 240), QStringLiteral("ｷﾘﾄﾘ"), gothic(9),
              Qt::AlignCenter);
    band.rule(middle + 600, 930 + shift, width, 10, Qt::DashLine);

    const int top = 1250 + shift; // of the receipt
    band.box(QRect(0, top, width, 3600), 15);
    band.text(QRect(0, top + 100, width, 600), QStringLiteral("領収書"), mincho(20, true),
              Qt::AlignCenter);
    const QFont dateFont = mincho(11);
    band.text(QRect(width - 3300, top + 750, 600, 320), QStringLiteral("年"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);
    band.text(QRect(width - 2100, top + 750, 600, 320), QStringLiteral("月"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);
    band.text(QRect(width - 900, top + 750, 600, 320), QStringLiteral("日"), dateFont,
              Qt::AlignRight | Qt::AlignVCenter);

    band.text(QRect(300, top + 1200, 5000, 400), companyName, mincho(14), Qt::AlignCenter);
    band.text(QRect(5300, top + 1200, 500, 400), QStringLiteral("殿"), mincho(14), Qt::AlignCenter);
    band.rule(300, top + 1620, 5800, 10);

    const ClosingLine& paid = closing.last();
    band.text(QRect(middle - 3000, top + 1800, 1000, 500), QStringLiteral("金額"), mincho(14),
              Qt::AlignCenter);
    band.text(QRect(middle - 2000, top + 1800, 4500, 500), yen(paid.amount), gothic(16, true),
              Qt::AlignCenter);
    band.rule(middle - 3000, top + 2320, middle + 2500, 20);
    // The home-worker signs for the tax as well as for the total.
    if (closing.size() > 1)
        band.text(QRect(middle + 2600, top + 1950, 3200, 320),
                  QStringLiteral("（内消費税 %1）").arg(yen(closing[closing.size() - 2].amount)),
                  mincho(10));
    band.text(QRect(middle - 3000, top + 2450, 5500, 320), QStringLiteral("上記領収いたしました。"),
              mincho(11));

    band.text(QRect(width - 5300, top + 2950, 900, 400), QStringLiteral("氏名："), mincho(12));
    band.text(QRect(width - 4400, top + 2950, 3500, 400), first.workerName, mincho(12),
              Qt::AlignCenter);
    band.text(QRect(width - 800, top + 2950, 500, 400), QStringLiteral("印"), mincho(12),
              Qt::AlignCenter);
    band.rule(width - 5300, top + 3370, width - 300, 10);
    return band;
}

auto groupKey(const StatementLine& l) {
    return std::tie(l.run, l.workerCode, l.workerName);
}

} // namespace

BandedReport drptAccount(const QList<StatementLine>& lines,
                         const QMap<QString, SettledFigures>& settled,
                         const ReportContext& context) {
    BandedReport report(a4(QPageLayout::Portrait));
    report.setTitle(QStringLiteral("製品加工高精算表"));
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
        const auto figures = settled.find(first.workerCode);
        const std::optional<SettledFigures> stored =
            figures == settled.end() ? std::nullopt : std::optional(*figures);
        report.endGroup(groupFooter(first, closingLines(total, stored, context.paid),
                                    context.companyName, width));
    }
    return report;
}
