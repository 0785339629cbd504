#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"
#include "slips/slipfixtures.h"
#include "slips/sliplist.h"
#include "support/golden.h"
#include "support/testdatabase.h"

#include <QRandomGenerator>
#include <QTest>

using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::Slip;

namespace {

QString numbers(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& r : rows)
        out << r[SlipListCol::SlipNo].right(5);
    return out.join(QLatin1Char(' '));
}

const SlipSearch kAll{.hideDeleted = false, .hideDelivered = false};

} // namespace

class TestSlipList : public QObject {
    Q_OBJECT
  private slots:
    void filters() {
        TestDatabase db;
        SlipFixtures::addSixSlips(); // out of order: the list sorts by number
        const QString d = goldenCases("slip-filters.txt", [](const QStringList& f) {
            const auto box = [](const QString& text) {
                return text == "*" ? std::nullopt : std::optional(text == "-" ? "" : text);
            };
            const QString range = QString(f[3]).remove('(').remove(')');
            return numbers(loadSlipRows({.hideDeleted = f[0].contains("deleted"),
                                         .hideDelivered = f[0].contains("delivered"),
                                         .person = box(f[1]),
                                         .pno = box(f[2]),
                                         .byNumber = f[3] != "*" && !f[3].startsWith('('),
                                         .fromNo = range.section("..", 0, 0),
                                         .toNo = range.section("..", 1)}));
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void rangeOrder() {
        QVERIFY(slipRangeInOrder("260401-001", "260401-010"));
        QVERIFY(!slipRangeInOrder("260401-010", "260401-001"));
        QVERIFY(!slipRangeInOrder("260401-001", "260401-001 ")); // equal once trimmed
        QVERIFY(slipRangeInOrder("260401-001", ""));             // a bound left out
    }

    void rowsCarryTheDisplayTexts() {
        TestDatabase db;
        PriceFixtures::addMasters();
        addLine(1, "P-100", "W1", "N01", 1234.5, "2026/03/01");
        addLine(0, "P-100", "W1", "N01", 999, "2026/03/01"); // same start: the higher serial wins
        addSlip({.no = "260310-001",
                 .deliveredOn = "2026-03-20",
                 .deleted = true,
                 .price = 9,
                 .issued = 1234567,
                 .delivered = 1000,
                 .remark = "O'Brien 100%"});
        addSlip({.no = "260310-002", .person = "N99", .requested = ""});
        addSlip({.no = "260310-003", .requested = "2026-02-28"});
        const QList<QStringList> rows = loadSlipRows(kAll);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0],
                 (QStringList{"260310-001", "260310-001", "P-100", "部品ケース", "W1", "組立", "",
                              "山田花子", "1,234.500", "2026/03/10", "1,234,567", "2026/03/20",
                              "1,000", "", "O'Brien 100%", "削除"}));
        // No request date: no price, not a stop; an unknown home-worker: no name.
        QCOMPARE(rows[1].mid(SlipListCol::PersonName, 3), (QStringList{"", "", ""}));
        QCOMPARE(rows[2][SlipListCol::Price], "0.000"); // before the first line
    }

    // The list prices every row in its own statement; it must agree with
    // lookupPrice row by row, whatever the price lines look like.
    void listPriceIsTheLookupPrice() {
        TestDatabase db;
        QRandomGenerator random(7);
        auto someDate = [&] { return QDate(2024, 1, 1).addDays(random.bounded(900)); };
        const QStringList pnos{"P1", "P2", "P3 "}, wnos{"W1", "W2"}, persons{"N1", "N2", "N3"};
        SqlTransaction tx;
        qint64 serial = 0;
        for (const QString& p : pnos)
            for (const QString& w : wnos)
                for (const QString& n : persons)
                    for (int l = random.bounded(6); l > 0; --l) {
                        const int kind = random.bounded(10); // Null start, ended, deleted, twin
                        const QString start = kind == 0 ? QString() : formatDate(someDate());
                        addLine(++serial, rtrim(p), w, n, 10 + random.bounded(500) / 8.0, start,
                                kind == 1 ? formatDate(someDate()) : QString(), kind == 2);
                        if (kind == 3) // a live line with the same start, a lower serial
                            addLine(-serial, rtrim(p), w, n, 7.25, start);
                    }
        for (int i = 0; i < 3000; ++i) {
            const int k = random.bounded(20);
            Slip s{.no = QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')),
                   .pno = pnos[random.bounded(pnos.size())],
                   .wno = wnos[random.bounded(wnos.size())],
                   .person = persons[random.bounded(persons.size())],
                   .requested = k == 0 ? QString() : someDate().toString(Qt::ISODate)};
            if (k == 1)
                s.requested += " 00:00:00";
            if (k == 2)
                s.requested = "2024/05/01"; // not a stored date
            addSlip(s);
        }
        tx.commit();

        const QList<QStringList> rows = loadSlipRows(kAll);
        QCOMPARE(rows.size(), 3000);
        SqlQuery q("SELECT 製品図番, 作業コード, 内職者コード, 依頼日 FROM seihin_t"
                   " ORDER BY 製品伝票番号");
        q.exec();
        int priced = 0;
        for (const QStringList& row : rows) {
            QVERIFY(q.next());
            const QDate date = SqlValue::toDate(q.value("依頼日"));
            const PriceLookupResult r = date.isValid() ? lookupPrice(date, rtrim(q.str("製品図番")),
                                                                     rtrim(q.str("作業コード")),
                                                                     rtrim(q.str("内職者コード")))
                                                       : PriceLookupResult();
            QVERIFY2(row[SlipListCol::Price] == (date.isValid() ? r.text() : QString()),
                     qPrintable(row[SlipListCol::SlipNo]));
            priced += r.found;
        }
        QVERIFY(priced > 1000); // the data exercises found prices, not only misses
    }
};

QTEST_GUILESS_MAIN(TestSlipList)
#include "test_slip_list.moc"
