#include "settlement/screens/reports/reportstyle.h"
#include "settlement/screens/reports/settlementreports.h"

#include <algorithm>
#include <tuple>

using namespace ReportStyle;

namespace {

constexpr int kLine = 330;
constexpr int kTableWidth = 7500;

// The table is centred: class, amount, quantity.
struct Columns {
    int left;
    explicit Columns(int width) : left((width - kTableWidth) / 2) {}
    QRect drawingClass(int top, int height) const { return QRect(left, top, 2900, height); }
    QRect amount(int top, int height) const { return QRect(left + 2900, top, 2600, height); }
    QRect quantity(int top, int height) const { return QRect(left + 5500, top, 2000, height); }
    int right() const { return left + kTableWidth; }
};

Decimal yenOfTenThousandths(qint64 value) {
    return Decimal::fromScaled(value, 4);
}

ReportBand pageHeader(const ReportContext& context, int width) {
    ReportBand band(1150);
    band.text(QRect(0, 0, width, 560), QStringLiteral("製品図番別精算金額一覧表"), mincho(18, true),
              Qt::AlignCenter);
    band.rule(width / 2 - 2300, 600, width / 2 + 2300, 20);
    band.text(QRect(width - 2000, 0, 2000, 280), QStringLiteral("%p / %P"), gothic(9),
              Qt::AlignRight | Qt::AlignVCenter);
    band.text(QRect(width - 5500, 700, 5500, 380), context.companyName, mincho(12),
              Qt::AlignRight | Qt::AlignVCenter);
    return band;
}

ReportBand groupHeader(const PnoLine& first, const Columns& c) {
    ReportBand band(1000);
    band.text(QRect(c.left, 150, 5000, 320),
              QStringLiteral("精算日：") + japaneseDate(first.settlementDate), pGothic(11));
    const QFont heading = pGothic(9, true);
    const int top = 620;
    band.rule(c.left, top, c.right(), 15);
    band.text(c.drawingClass(top, kLine), QStringLiteral("製品図番区分"), heading, Qt::AlignCenter);
    band.text(c.amount(top, kLine), QStringLiteral("精算金額"), heading, Qt::AlignCenter);
    band.text(c.quantity(top, kLine), QStringLiteral("個数"), heading, Qt::AlignCenter);
    band.rule(c.left, top + kLine, c.right(), 15);
    band.setKeepWithNext(true);
    return band;
}

ReportBand detail(const PnoLine& line, const Columns& c) {
    ReportBand band(kLine);
    const QFont figures = gothic(9);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.text(c.drawingClass(0, kLine).adjusted(200, 0, 0, 0), line.drawingClass, figures);
    band.text(c.amount(0, kLine).adjusted(0, 0, -100, 0),
              yen(yenOfTenThousandths(line.amountTenThousandths)), figures, right);
    band.text(c.quantity(0, kLine).adjusted(0, 0, -100, 0), count(line.quantity), figures, right);
    band.rule(c.left, kLine, c.right(), 5);
    return band;
}

ReportBand groupFooter(qint64 amount, qint64 quantity, const Columns& c) {
    ReportBand band(450);
    const QFont figures = gothic(9, true);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    band.rule(c.left, 30, c.right(), 10);
    band.text(c.drawingClass(50, 360), QStringLiteral("合計"), pGothic(9, true), Qt::AlignCenter);
    band.text(c.amount(50, 360).adjusted(0, 0, -100, 0), yen(yenOfTenThousandths(amount)), figures,
              right);
    band.text(c.quantity(50, 360).adjusted(0, 0, -100, 0), count(quantity), figures, right);
    band.rule(c.left, 430, c.right(), 15);
    return band;
}

} // namespace

BandedReport drptPnoAccount(const QList<PnoLine>& lines, const ReportContext& context) {
    BandedReport report(a4(QPageLayout::Portrait));
    report.setTitle(QStringLiteral("製品図番別精算金額一覧表"));
    const int width = report.bodyTwips().width();
    const Columns columns(width);
    report.setPageHeader(pageHeader(context, width));

    // One line per date and class, whatever the rows repeat.
    QList<PnoLine> merged;
    QList<PnoLine> sorted = lines;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return std::tie(a.settlementDate, a.drawingClass) <
               std::tie(b.settlementDate, b.drawingClass);
    });
    for (const PnoLine& line : sorted) {
        if (!merged.isEmpty() && merged.last().settlementDate == line.settlementDate &&
            merged.last().drawingClass == line.drawingClass) {
            merged.last().amountTenThousandths += line.amountTenThousandths;
            merged.last().quantity += line.quantity;
        } else {
            merged.append(line);
        }
    }

    for (qsizetype i = 0; i < merged.size();) {
        const QDate date = merged[i].settlementDate;
        report.beginGroup(groupHeader(merged[i], columns));
        qint64 amount = 0;
        qint64 quantity = 0;
        for (; i < merged.size() && merged[i].settlementDate == date; ++i) {
            report.addDetail(detail(merged[i], columns));
            amount += merged[i].amountTenThousandths;
            quantity += merged[i].quantity;
        }
        report.endGroup(groupFooter(amount, quantity, columns));
    }
    return report;
}
