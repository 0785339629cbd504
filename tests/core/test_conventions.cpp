#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/money.h"
#include "core/sqlvalues.h"

#include <QRandomGenerator>
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

class TestConventions : public QObject {
    Q_OBJECT
  private slots:
    void keyFilterAcceptsOnlyWhatEachModeHolds() {
        const QString accepted[] = {QString(), "/", ",", ",.", "-"};
        for (int mode = -1; mode <= 6; ++mode) {
            const bool known = mode >= 1 && mode <= 5;
            for (QChar c : QStringLiteral("09\b/,.-:aZ +\r\t１")) {
                const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
                QCOMPARE(KeyCheck(mode, c),
                         known && (digit || c == Backspace || accepted[mode - 1].contains(c)) ? 0
                                                                                              : 1);
            }
        }
    }

    void dateCheckFollowsTheCalendarAndTheBounds() {
        for (const char* t : {"20040229", "20000229", "18000101", "21001231", "20030131",
                              "20030430", "20031231", "19991130"})
            QVERIFY2(DateCheck(QLatin1String(t)) == 0, t);
        for (const char* t :
             {"21000229", "19000229", "17991231", "21010101", "20030229", "20030431", "20030132",
              "20030001", "20031301", "20030100", "2003041", "200304011", "2003a401", "20030401x",
              " 2003040", "", "+2003040", "2003-4-1"})
            QVERIFY2(DateCheck(QLatin1String(t)) == 1, t);
        // What a date box keeps when it is left: typing 0 clears, a wrong
        // date stays for correction.
        const std::tuple<const char*, const char*, bool, LeaveOutcome> leaves[] = {
            {" 20040229 ", "2004/02/29", true, LeaveOutcome::Ok},
            {" 0 ", "", false, LeaveOutcome::Ok},
            {"   ", "", true, LeaveOutcome::RequiredMissing},
            {"2003/04/01", "", false, LeaveOutcome::Ok},
            {"20030431", "20030431", true, LeaveOutcome::InvalidDate},
            {"00", "00", false, LeaveOutcome::InvalidDate}};
        for (const auto& [in, text, required, outcome] : leaves) {
            const LeaveResult r = leaveDateBox(QString::fromUtf8(in), required);
            QVERIFY2(r.text == QString::fromUtf8(text) && r.outcome == outcome, in);
        }
    }

    void numbersAreReadAndRoundedLikeTheBoxShows() {
        // A separator does not end the number, anything else unreadable does;
        // halves go away from zero.
        const std::tuple<const char*, int, const char*> boxes[] = {
            {"   ", 0, ""},         {"12,345,678", 0, "12,345,678"}, {"12x5", 0, "12"},
            {"abc", 3, "0.000"},    {"1.2.3", 3, "1.200"},           {"-12.5", 0, "-13"},
            {"0.0005", 3, "0.001"}, {"0.00049999", 3, "0.000"},      {"999.9995", 3, "1,000.000"},
            {"-0.0004", 3, "0.000"}};
        for (const auto& [in, decimals, shown] : boxes)
            QCOMPARE(NumFormat(in, decimals), QString::fromUtf8(shown));
        const QStringList read = {"  -12.50abc", "-12.5", ",5", "0",        ".25",
                                  "0.25",        "-",     "0",  "007.0100", "7.01"};
        for (int i = 0; i < read.size(); i += 2)
            QCOMPARE(Decimal::readVal(read[i]).toText(), read[i + 1]);
        QCOMPARE(Decimal::fromDouble(-0.0).toText(), "0");
        QCOMPARE(Decimal::fromDouble(5e-4).toText(), "0.0005");
        QCOMPARE(Decimal::fromScaled(std::numeric_limits<qint64>::min(), 4).toText(),
                 "-922337203685477.5808");
        QCOMPARE(Decimal::readVal("9.99").roundedHalfAway(1).toText(), "10");
        using Scaled = std::optional<qint64>;
        QCOMPARE(Decimal::readVal("9223372036854775807").toScaled(0),
                 Scaled(std::numeric_limits<qint64>::max()));
        QCOMPARE(Decimal::readVal("-9223372036854775808").toScaled(0),
                 Scaled(std::numeric_limits<qint64>::min()));
        QVERIFY(!Decimal::readVal("9223372036854775808").toScaled(0));
        QVERIFY(!Decimal::readVal("922337203685478").toScaled(4));
        QCOMPARE(Decimal::readVal("1.23456").toScaled(4), Scaled(12346));
        QCOMPARE(Decimal::readVal("-1.23455").toScaled(4), Scaled(-12346));
    }

    void integerFormattingAgreesWithTheExactDecimalPath() {
        using namespace NumberPattern;
        const QStringList patterns = {Whole,      PriceBox,  PriceList, QuantityList,
                                      SlipAmount, SlipTotal, Count,     AmountList,
                                      Subtotal,   Sequence,  "#.##",    "0.0#"};
        QRandomGenerator random(7);
        QList<qint64> mantissas = {0, 1, -1, 5, -5, 15, 25, 4999, 5000, -5000, 9995};
        mantissas << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::min() + 1;
        for (int i = 0; i < 2000; ++i)
            mantissas << qint64(random.generate64() >> random.bounded(1, 63)) * (i % 2 ? 1 : -1);
        for (const QString& pattern : patterns)
            for (int scale = 0; scale <= 6; ++scale)
                for (qint64 m : mantissas)
                    QCOMPARE(FormatScaled(m, scale, pattern),
                             FormatNumber(Decimal::fromScaled(m, scale), pattern));
    }

    void numberPatternsRoundHalvesAwayFromZero() {
        using namespace NumberPattern;
        // 1.0005 is stored as 1.000499999...; shown as the decimal it stands
        // for. "#" places never limit the digits shown.
        const std::tuple<double, QString, const char*> cases[] = {
            {2.5, Whole, "3"},
            {-2.5, Whole, "-3"},
            {2.4999, QuantityList, "2"},
            {-0.4, Whole, "0"},
            {1.0005, PriceList, "1.001"},
            {0.1 + 0.2, PriceBox, "0.300"},
            {1.25e-7, PriceList, "0.000"},
            {1e20, AmountList, "100,000,000,000,000,000,000"},
            {-1234567.8915, PriceList, "-1,234,567.892"},
            {0, Count, "0"},
            {123456789, Count, "123,456,789"},
            {-1000000, Subtotal, "-1,000,000"},
            {4, Sequence, "004"},
            {1234, Sequence, "1234"}};
        for (const auto& [value, pattern, shown] : cases)
            QCOMPARE(FormatNumber(value, pattern), QString::fromUtf8(shown));
        QCOMPARE(FormatNumber(std::numeric_limits<qint64>::min(), AmountList),
                 "-9,223,372,036,854,775,808");
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 FormatNumber(std::numeric_limits<double>::quiet_NaN(), Whole));
    }

    void datesAndTimesRoundTrip() {
        const QDate d(2003, 4, 1);
        QCOMPARE(FormatDate(d) + FormatDate(QDate()), "2003/04/01");
        QCOMPARE(ParseBoxDate(" 2003/04/01 "), d);
        QCOMPARE(ParseBoxDate(FormatDigitDate("20000229")), QDate(2000, 2, 29));
        for (const char* bad : {"2003/02/30", "2003/4/1", "20030401", ""})
            QVERIFY2(!ParseBoxDate(QString::fromLatin1(bad)).isValid(), bad);
        const QDateTime t(QDate(2026, 4, 1), QTime(9, 5, 7));
        QCOMPARE(FormatDateTime(t) + FormatDateTime(QDateTime()), "2026/04/01 09:05:07");
        QCOMPARE(ParseBoxDateTime(FormatDateTime(t)), t);
        QVERIFY(!ParseBoxDateTime("2026/04/01").isValid());
        QVERIFY(!ParseBoxDateTime("2026/04/01 25:00:00").isValid());

        // Stored dates; a date-time's date part.
        QCOMPARE(SqlValue::toDate("2004-02-29"), QDate(2004, 2, 29));
        QCOMPARE(SqlValue::toDate("2026-12-31 23:59:59"), QDate(2026, 12, 31));
        QCOMPARE(SqlValue::toDate(SqlValue::date(QDate(1800, 1, 1))), QDate(1800, 1, 1));
        QVERIFY(!SqlValue::toDate(QVariant(QMetaType::fromType<QString>())).isValid());
        for (const char* bad : {"", "2003-4-01", "2003/04/01", "20030401", "2003-02-29",
                                "2003-13-01", "2003-04-3x", "x003-04-01", "2003-04"})
            QVERIFY2(!SqlValue::toDate(QString::fromLatin1(bad)).isValid(), bad);
        QVERIFY(!SqlValue::date(QDate()).isValid() || SqlValue::date(QDate()).isNull());
    }

    void byteWidthsCountWholeCharacters() {
        // Half-width katakana (the ends of its range) take one byte, their
        // neighbours and the other Japanese characters two; half a
        // surrogate pair still takes room.
        const QString emoji = "😀";
        const QChar high(0xD83D), low(0xDE00);
        QCOMPARE(LenByte("a製Ａ　\uFF60\uFF61\uFF9F\uFFA0"), 13);
        QCOMPARE(LenByte("a😀\u0301\uFE0F"), 7);
        QCOMPARE(LenByte(QString(low)), 2);
        const QStringList fixed = {"abc",   "5",    "abc  ",       "ab製品", "5",
                                   "ab製 ", "abc",  "0",           "",       "abcdef",
                                   "4",     "abcd", emoji + emoji, "3",      emoji + " "};
        for (int i = 0; i < fixed.size(); i += 3)
            QCOMPARE(FixByteWidth(fixed[i], fixed[i + 1].toInt()), fixed[i + 2]);
        // No cut runs past its width or splits a pair.
        for (const QString& text :
             {emoji + emoji + emoji, QStringLiteral("a😀😀"), high + QStringLiteral("ab"),
              QStringLiteral("製") + low + emoji}) {
            for (int width = 1; width <= 6; ++width) {
                const QString cut = leftBytes(text, width);
                QVERIFY(LenByte(cut) <= width && text.startsWith(cut));
                QVERIFY(!cut.endsWith(high) || !text.mid(cut.size()).startsWith(low));
                QCOMPARE(LenByte(FixByteWidth(text, width)), width);
            }
        }
    }
    void halvesGoToTheEvenNeighbourOrAwayFromZero() {
        // numerator, denominator, half to even, half away from zero
        const std::array<qint64, 4> cases[] = {
            {1, 2, 0, 1},      {3, 2, 2, 2},       {5, 2, 2, 3},         {7, 2, 4, 4},
            {-1, 2, 0, -1},    {-3, 2, -2, -2},    {-5, 2, -2, -3},      {125, 10, 12, 13},
            {135, 10, 14, 14}, {2499, 1000, 2, 2}, {2501, 1000, 3, 3},   {-2501, 1000, -3, -3},
            {0, 7, 0, 0},      {14, 7, 2, 2},      {-4999, 10000, 0, 0},
        };
        for (const auto& [num, den, even, away] : cases) {
            QCOMPARE(roundHalfEven(num, den), even);
            QCOMPARE(roundHalfAway(num, den), away);
        }
        const __int128 huge = static_cast<__int128>(std::numeric_limits<qint64>::max()) * 4;
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfEven(huge, 2));
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfAway(-huge, 3));
        QCOMPARE(roundHalfEven(huge, 4), std::numeric_limits<qint64>::max());
    }

    void slipAmountsAndTaxAreRoundedExactly() {
        // price, quantity, tax percent (0: the amount), rounded half to even.
        // Some products that binary doubles land on the wrong side of the half.
        const std::tuple<const char*, qint64, int, Yen> cases[] = {
            {"12.5", 1, 0, 12},     {"13.5", 1, 0, 14},     {"1.25", 2, 0, 2},
            {"0.0005", 1000, 0, 0}, {"0.0015", 1000, 0, 2}, {"10.05", 90, 0, 904},
            {"19.15", 90, 0, 1724}, {"34.55", 90, 0, 3110}, {"10.5", 1, 5, 1},
            {"10.5", 10, 5, 5},     {"0.9", 100, 5, 4},     {"1.1", 100, 5, 6},
            {"10", 1, 5, 0},        {"30", 1, 5, 2},        {"123.4567", 0, 10, 0},
            {"12.5", 3, 10, 4}};
        for (const auto& [p, q, percent, yen] : cases)
            QCOMPARE(percent ? taxOf(price(p), q, percent) : amountOf(price(p), q), yen);
        QCOMPARE(taxOfAmount(25, 10) + taxOfAmount(35, 10), 6); // 2.5, 3.5
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
        // 1.2345 is 12344.999... in binary.
        const std::pair<double, qint64> stored[] = {
            {1234.5678, 12345678}, {1.2345, 12345}, {-0.00005, -1}, {0.0, 0}};
        for (const auto& [value, tenThousandths] : stored)
            QCOMPARE(UnitPrice::fromDb(value).tenThousandths(), tenThousandths);
        QCOMPARE(UnitPrice::fromDb(UnitPrice::fromTenThousandths(999999999999).toDb()),
                 UnitPrice::fromTenThousandths(999999999999));
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 UnitPrice::fromDb(std::numeric_limits<double>::infinity()));
        QVERIFY_THROWS_EXCEPTION(AppError, UnitPrice::fromDb(1e16));

        const std::pair<const char*, qint64> typed[] = {
            {"1,234.567", 12345670}, {" 1234.5678 ", 12345678}, {"", 0},
            {"0.00005", 1},          {"12.34564", 123456},      {"7円", 70000}};
        for (const auto& [text, tenThousandths] : typed)
            QCOMPARE(price(text).tenThousandths(), tenThousandths);
        const std::pair<qint64, const char*> shown[] = {{12345670, "1,234.567"},
                                                        {12345, "1.235"},
                                                        {12344, "1.234"},
                                                        {-12345, "-1.235"},
                                                        {0, "0.000"}};
        for (const auto& [tenThousandths, text] : shown)
            QCOMPARE(UnitPrice::fromTenThousandths(tenThousandths).text(), text);
        QCOMPARE(price("1234567").text(NumberPattern::PriceBox), "1,234,567.000");
        // The text a screen shows reads back as the same three-decimal price.
        QCOMPARE(UnitPrice::parse(price("98765.4321").text()), price("98765.432"));

        const std::pair<const char*, qint64> quantities[] = {
            {" 1,234 ", 1234}, {"", 0}, {"2.5", 3}, {"12個", 12}};
        for (const auto& [text, quantity] : quantities)
            QCOMPARE(parseQuantity(text), quantity);
        QVERIFY_THROWS_EXCEPTION(AppError, parseQuantity("99999999999999999999"));

        QVERIFY(price("1.5") < price("1.5001"));
        QCOMPARE(price("1.5"), price("1.50001")); // beyond four decimals
        QVERIFY(price("0").isZero());
    }
};

QTEST_GUILESS_MAIN(TestConventions)
#include "test_conventions.moc"
