#include "homework/screens/yearlyreport.h"

#include "core/ini.h"
#include "core/numberformat.h"
#include "core/screens/reportband.h"
#include "core/screens/reportpainter.h"

namespace {

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int kLine = 340;
constexpr auto kRight = Qt::AlignRight | Qt::AlignVCenter;
// Columns of the month table: month, slips, 工賃, 消費税, 合計.
constexpr int kColumns[] = {1400, 1400, 2200, 2000, 2200};

QString yen(Yen value) {
    return formatNumber(value, NumberPattern::AmountList);
}

ReportBand tableRow(const QStringList& cells, bool bold, int ruleTwips) {
    ReportBand band(kLine);
    const QFont font = bold ? reportFont(kPGothic, 10, true) : reportFont(kGothic, 10);
    int left = 0;
    for (int i = 0; i < 5; ++i) {
        band.text(QRect(left + 80, 0, kColumns[i] - 160, kLine), cells.value(i), font,
                  i == 0 ? Qt::AlignCenter : kRight);
        left += kColumns[i];
    }
    band.rule(0, kLine, left, ruleTwips);
    return band;
}

QStringList figures(const QString& label, const YearlyFigures& f) {
    return {label, formatNumber(f.slips, NumberPattern::AmountList), yen(f.amount), yen(f.tax),
            yen(f.total)};
}

ReportBand pageHeader(int width) {
    ReportBand band(700);
    band.text(QRect(0, 0, width, 500), QStringLiteral("年間工賃支払明細書"),
              reportFont(QStringLiteral("ＭＳ Ｐ明朝"), 16, true), Qt::AlignCenter);
    band.text(QRect(width - 2000, 0, 2000, 280), QStringLiteral("%p / %P"), reportFont(kGothic, 9),
              kRight);
    return band;
}

ReportBand parties(const YearlyStatement& st, const StatementIssuer& issuer, int width) {
    ReportBand band(kLine * 5 + 300);
    const QFont font = reportFont(kPGothic, 10);
    band.text(QRect(0, 0, width, kLine),
              QStringLiteral("%1年1月～12月の支払（精算日の月ごと）").arg(st.year), font);
    const int half = width / 2;
    if (!st.postalCode.isEmpty())
        band.text(QRect(0, kLine + 100, half, kLine), QStringLiteral("〒") + st.postalCode, font);
    band.text(QRect(0, 2 * kLine + 100, half, kLine), st.address, font);
    band.text(QRect(0, 3 * kLine + 150, half, kLine + 60),
              QStringLiteral("%1　様（%2）").arg(st.name, st.code), reportFont(kPGothic, 12, true));
    band.text(QRect(half, kLine + 100, half, kLine), QStringLiteral("支払者"), font, kRight);
    band.text(QRect(half, 2 * kLine + 100, half, kLine), issuer.address, font, kRight);
    band.text(QRect(half, 3 * kLine + 150, half, kLine + 60), issuer.name,
              reportFont(kPGothic, 12, true), kRight);
    return band;
}

ReportBand incomeNote(const YearlyStatement& st, int width) {
    ReportBand band(kLine * 2 + 200);
    const QString text = st.crossedLines.isEmpty()
                             ? QString()
                             : QStringLiteral("年間の合計が次の線に達しています: ") +
                                   st.crossedLines.join(QStringLiteral("、"));
    band.text(QRect(0, 200, width, kLine), text, reportFont(kPGothic, 10, true));
    band.text(QRect(0, 200 + kLine, width, kLine), QStringLiteral("解除された精算は含みません。"),
              reportFont(kPGothic, 9));
    return band;
}

} // namespace

StatementIssuer StatementIssuer::read() {
    return {IniRead(QStringLiteral("User"), QStringLiteral("Name")),
            IniRead(QStringLiteral("User"), QStringLiteral("Address"))};
}

BandedReport yearlyReport(const QList<YearlyStatement>& statements, const StatementIssuer& issuer) {
    BandedReport report;
    report.setTitle(QStringLiteral("年間工賃支払明細書"));
    const int width = report.bodyTwips().width();
    report.setPageHeader(pageHeader(width));
    for (const YearlyStatement& st : statements) {
        report.beginGroup(parties(st, issuer, width), true);
        report.addDetail(
            tableRow({QStringLiteral("月"), QStringLiteral("伝票枚数"), QStringLiteral("工賃"),
                      QStringLiteral("消費税"), QStringLiteral("合計")},
                     true, 15));
        for (int m = 0; m < 12; ++m)
            report.addDetail(tableRow(
                figures(QStringLiteral("%1月").arg(m + 1), st.months[size_t(m)]), false, 5));
        report.addDetail(tableRow(figures(QStringLiteral("年計"), st.yearTotal()), true, 15));
        report.endGroup(incomeNote(st, width));
    }
    return report;
}

void printYearly(PrintRun& run, const BandedReport& report, int year) {
    printReport(run, report, QStringLiteral("yearly-%1").arg(year));
}
