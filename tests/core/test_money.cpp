#include "core/apperror.h"
#include "core/money.h"

#include <QTest>
#include <limits>

namespace {

// Half-even rounding of mantissa × 10^-scale worked out on the decimal
// digits, independently of the integer arithmetic under test.
qint64 halfEvenByDigits(qint64 mantissa, int scale) {
    const Decimal exact = Decimal::fromScaled(mantissa, scale);
    const std::string fraction = exact.fractionDigits();
    qint64 whole = exact.wholeDigits().empty() ? 0 : std::stoll(exact.wholeDigits());
    const bool up = fraction > "5" || (fraction == "5" && whole % 2 == 1);
    if (up)
        ++whole;
    return exact.isNegative() ? -whole : whole;
}

UnitPrice price(const char* text) {
    return UnitPrice::parse(QString::fromUtf8(text));
}

} // namespace

class TestMoney : public QObject {
    Q_OBJECT
  private slots:
    void halvesGoToTheEvenNeighbourOrAwayFromZero() {
        const struct {
            qint64 num, den, even, away;
        } cases[] = {
            {1, 2, 0, 1},      {3, 2, 2, 2},       {5, 2, 2, 3},         {7, 2, 4, 4},
            {-1, 2, 0, -1},    {-3, 2, -2, -2},    {-5, 2, -2, -3},      {125, 10, 12, 13},
            {135, 10, 14, 14}, {2499, 1000, 2, 2}, {2501, 1000, 3, 3},   {-2501, 1000, -3, -3},
            {0, 7, 0, 0},      {14, 7, 2, 2},      {-4999, 10000, 0, 0},
        };
        for (const auto& c : cases) {
            QCOMPARE(roundHalfEven(c.num, c.den), c.even);
            QCOMPARE(roundHalfAway(c.num, c.den), c.away);
        }
        const __int128 huge = static_cast<__int128>(std::numeric_limits<qint64>::max()) * 4;
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfEven(huge, 2));
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfAway(-huge, 3));
        QCOMPARE(roundHalfEven(huge, 4), std::numeric_limits<qint64>::max());
    }

    void slipAmountsAndTaxAreRoundedExactly() {
        QCOMPARE(amountOf(price("12.5"), 1), 12);
        QCOMPARE(amountOf(price("13.5"), 1), 14);
        QCOMPARE(amountOf(price("1.25"), 2), 2);
        QCOMPARE(amountOf(price("0.0005"), 1000), 0); // 0.5
        QCOMPARE(amountOf(price("0.0015"), 1000), 2); // 1.5
        // Products that binary doubles land on the wrong side of the half.
        QCOMPARE(amountOf(price("10.05"), 90), 904);  // 904.5
        QCOMPARE(amountOf(price("19.15"), 90), 1724); // 1723.5
        QCOMPARE(amountOf(price("34.55"), 90), 3110); // 3109.5

        QCOMPARE(taxOf(price("10.5"), 1, 5), 1);  // 0.525
        QCOMPARE(taxOf(price("10.5"), 10, 5), 5); // 5.25
        QCOMPARE(taxOf(price("0.9"), 100, 5), 4); // 4.5
        QCOMPARE(taxOf(price("1.1"), 100, 5), 6); // 5.5
        QCOMPARE(taxOf(price("10"), 1, 5), 0);    // 0.5
        QCOMPARE(taxOf(price("30"), 1, 5), 2);    // 1.5
        QCOMPARE(taxOf(price("123.4567"), 0, 10), 0);
        QCOMPARE(taxOf(price("12.5"), 3, 10), 4); // 3.75
        QCOMPARE(taxOfAmount(25, 10), 2);         // 2.5
        QCOMPARE(taxOfAmount(35, 10), 4);         // 3.5

        // The shown product rounds the other way at an even half.
        QCOMPARE(shownAmountOf(price("12.5"), 1), 13);
        QCOMPARE(shownAmountOf(price("13.5"), 1), 14);
        QCOMPARE(shownAmountOf(price("10.05"), 90), 905);

        for (qint64 p = 0; p <= 30000; p += 37) {
            for (qint64 q : {1, 2, 3, 7, 10, 90, 200, 999}) {
                const UnitPrice up = UnitPrice::fromTenThousandths(p);
                QCOMPARE(amountOf(up, q), halfEvenByDigits(p * q, 4));
                QCOMPARE(amountOf(up, -q), halfEvenByDigits(-p * q, 4));
                QCOMPARE(taxOf(up, q, 5), halfEvenByDigits(p * q * 5, 6));
            }
        }
    }

    void largeValuesAreExactOrRefused() {
        const UnitPrice top = price("99,999,999.9999");
        QCOMPARE(top.tenThousandths(), Q_INT64_C(999999999999));
        QCOMPARE(amountOf(top, 999999), Q_INT64_C(99999899999900));
        QCOMPARE(shownAmountOf(top, 999999), Q_INT64_C(99999899999900));
        QCOMPARE(taxOf(top, 999999, 5), Q_INT64_C(4999994999995));
        QCOMPARE(FormatNumber(amountOf(top, 999999), NumberPattern::AmountList),
                 "99,999,899,999,900");

        const UnitPrice extreme = UnitPrice::fromTenThousandths(std::numeric_limits<qint64>::max());
        QVERIFY_THROWS_EXCEPTION(AppError, amountOf(extreme, 1000000));
        QVERIFY_THROWS_EXCEPTION(AppError, taxOf(extreme, -1000000, 5));
        QVERIFY_THROWS_EXCEPTION(AppError, shownAmountOf(extreme, 100000));
        QVERIFY_THROWS_EXCEPTION(AppError, UnitPrice::parse("999999999999999999"));
    }

    void unitPricesConvertBetweenDatabaseBoxAndScreen() {
        QCOMPARE(UnitPrice::fromDb(1234.5678).tenThousandths(), 12345678);
        QCOMPARE(UnitPrice::fromDb(1.2345).tenThousandths(), 12345); // 12344.999... in binary
        QCOMPARE(UnitPrice::fromDb(-0.00005).tenThousandths(), -1);
        QCOMPARE(UnitPrice::fromDb(0.0).tenThousandths(), 0);
        QCOMPARE(UnitPrice::fromDb(UnitPrice::fromTenThousandths(999999999999).toDb()),
                 UnitPrice::fromTenThousandths(999999999999));
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 UnitPrice::fromDb(std::numeric_limits<double>::infinity()));
        QVERIFY_THROWS_EXCEPTION(AppError, UnitPrice::fromDb(1e16));

        QCOMPARE(price("1,234.567").tenThousandths(), 12345670);
        QCOMPARE(price(" 1234.5678 ").tenThousandths(), 12345678);
        QCOMPARE(price("").tenThousandths(), 0);
        QCOMPARE(price("0.00005").tenThousandths(), 1);
        QCOMPARE(price("12.34564").tenThousandths(), 123456);
        QCOMPARE(price("7円").tenThousandths(), 70000);

        QCOMPARE(price("1,234.567").text(), "1,234.567");
        QCOMPARE(UnitPrice::fromTenThousandths(12345).text(), "1.235");
        QCOMPARE(UnitPrice::fromTenThousandths(12344).text(), "1.234");
        QCOMPARE(UnitPrice::fromTenThousandths(-12345).text(), "-1.235");
        QCOMPARE(UnitPrice().text(), "0.000");
        QCOMPARE(price("1234567").text(NumberPattern::PriceBox), "1,234,567.000");
        // The text a screen shows reads back as the same three-decimal price.
        QCOMPARE(UnitPrice::parse(price("98765.4321").text()), price("98765.432"));

        QCOMPARE(parseQuantity(" 1,234 "), 1234);
        QCOMPARE(parseQuantity(QString()), 0);
        QCOMPARE(parseQuantity("2.5"), 3);
        QCOMPARE(parseQuantity("12個"), 12);
        QVERIFY_THROWS_EXCEPTION(AppError, parseQuantity("99999999999999999999"));

        QVERIFY(price("1.5") < price("1.5001"));
        QCOMPARE(price("1.5"), price("1.50001")); // beyond four decimals
        QVERIFY(price("0").isZero());
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "test_money.moc"
