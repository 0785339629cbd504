#include "homework/screens/ledgerreport.h"

#include "core/conventions.h"
#include "core/numberformat.h"
#include "core/screens/reportband.h"
#include "core/screens/reportpainter.h"
#include "prices/pricelookup.h"

#include <QMarginsF>
#include <QPageSize>

namespace {

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int kLine = 300;
constexpr auto kRight = Qt::AlignRight | Qt::AlignVCenter;

struct Column {
    const char* heading;
    int width;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

// A table of one section: headings, then one band per row.
class Table {
  public:
    Table(const QList<Column>& columns) : m_columns(columns) {}

    ReportBand heading(const QString& title) const {
        ReportBand band(kLine * 2 + 60);
        band.text(QRect(0, 0, 6000, kLine), title, reportFont(kPGothic, 10, true));
        row(band, kLine + 30, headings(), reportFont(kPGothic, 9, true), true);
        band.setKeepWithNext(true);
        return band;
    }

    ReportBand line(const QStringList& cells) const {
        ReportBand band(kLine);
        row(band, 0, cells, reportFont(kGothic, 9), false);
        return band;
    }

  private:
    QStringList headings() const {
        QStringList texts;
        for (const Column& c : m_columns)
            texts << QString::fromUtf8(c.heading);
        return texts;
    }

    void row(ReportBand& band, int top, const QStringList& cells, const QFont& font,
             bool headingRow) const {
        int left = 0;
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const Column& c = m_columns[i];
            const QRect box(left + 60, top, c.width - 120, kLine);
            band.text(box, cells.value(i), font, headingRow ? Qt::AlignCenter : c.align);
            left += c.width;
        }
        band.rule(0, top + kLine, left, headingRow ? 15 : 5);
    }

    QList<Column> m_columns;
};

const Table kCommissions({{"委託年月日", 1500},
                          {"伝票番号", 1500},
                          {"業務の内容", 3300},
                          {"製品図番", 2600},
                          {"数量", 1300, kRight},
                          {"工賃単価", 1700, kRight},
                          {"納期", 1500},
                          {"工賃支払期日", 1700}});
const Table kReceipts({{"受領年月日", 1500}, {"伝票番号", 1500}, {"数量", 1300, kRight}});
const Table kPayments({{"支払年月日", 1500},
                       {"工賃の額", 2000, kRight},
                       {"消費税込の額", 2000, kRight},
                       {"備考", 3000}});

QString quantity(qint64 value) {
    return formatNumber(value, NumberPattern::QuantityList);
}

ReportBand pageHeader(const LedgerSelection& s, const QString& company, int width) {
    ReportBand band(1000);
    band.text(QRect(0, 0, width, 500), QStringLiteral("家内労働者帳簿"),
              reportFont(QStringLiteral("ＭＳ Ｐ明朝"), 16, true), Qt::AlignCenter);
    band.text(QRect(width - 2000, 0, 2000, 280), QStringLiteral("%p / %P"), reportFont(kGothic, 9),
              kRight);
    band.text(QRect(0, 600, 6000, 300),
              QStringLiteral("期間：%1～%2").arg(formatDate(s.first), formatDate(s.last)),
              reportFont(kPGothic, 10));
    band.text(QRect(width - 6000, 600, 6000, 300), company, reportFont(kPGothic, 11), kRight);
    band.rule(0, 950, width, 15);
    return band;
}

ReportBand person(const LedgerWorker& w, int width) {
    ReportBand band(kLine * 3 + 200);
    const QFont font = reportFont(kPGothic, 10);
    band.text(QRect(0, 100, 6000, kLine), QStringLiteral("氏名：%1（%2）").arg(w.name, w.code),
              reportFont(kPGothic, 11, true));
    band.text(QRect(6000, 100, 2500, kLine), QStringLiteral("性別：") + w.sex, font);
    band.text(QRect(8500, 100, 4000, kLine), QStringLiteral("生年月日：") + formatDate(w.birth),
              font);
    band.text(QRect(0, 100 + kLine, width, kLine), QStringLiteral("住所：") + w.address, font);
    band.text(QRect(0, 100 + 2 * kLine, width, kLine),
              QStringLiteral("作業場所在地：") +
                  (w.workplace.isEmpty() ? QStringLiteral("住所に同じ") : w.workplace),
              font);
    return band;
}

template <typename Row, typename Cells>
void section(BandedReport& report, const Table& table, const QString& title, const QList<Row>& rows,
             Cells cells) {
    report.addDetail(table.heading(title));
    if (rows.isEmpty())
        report.addDetail(table.line({QStringLiteral("（なし）")}));
    for (const Row& r : rows)
        report.addDetail(table.line(cells(r)));
}

} // namespace

BandedReport ledgerReport(const QList<LedgerWorker>& workers, const LedgerSelection& selection,
                          const QString& companyName) {
    BandedReport report(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                    QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    report.setTitle(QStringLiteral("家内労働者帳簿"));
    const int width = report.bodyTwips().width();
    report.setPageHeader(pageHeader(selection, companyName, width));
    for (const LedgerWorker& w : workers) {
        report.beginGroup(person(w, width), true);
        section(report, kCommissions, QStringLiteral("委託"), w.commissions,
                [](const LedgerCommission& c) {
                    return QStringList{formatDate(c.requested),
                                       c.slipNo,
                                       c.work,
                                       c.drawing,
                                       quantity(c.issued),
                                       priceListText(c.price),
                                       formatDate(c.deliveryDue),
                                       formatDate(c.paymentDue)};
                });
        section(report, kReceipts, QStringLiteral("製品の受領"), w.receipts,
                [](const LedgerReceipt& r) {
                    return QStringList{formatDate(r.received), r.slipNo, quantity(r.quantity)};
                });
        section(report, kPayments, QStringLiteral("工賃の支払"), w.payments,
                [](const LedgerPayment& p) {
                    return QStringList{
                        formatDate(p.run.date()), quantity(p.amount), quantity(p.total),
                        p.cancelled ? QStringLiteral("精算解除（支払取消）") : QString()};
                });
        report.endGroup(ReportBand(200));
    }
    return report;
}

void printLedger(PrintRun& run, const BandedReport& report, const LedgerSelection& selection) {
    printReport(run, report,
                QStringLiteral("ledger-%1-%2")
                    .arg(selection.first.toString(QStringLiteral("yyyyMMdd")),
                         selection.last.toString(QStringLiteral("yyyyMMdd"))));
}
