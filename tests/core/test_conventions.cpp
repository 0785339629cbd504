#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"

#include <QRandomGenerator>
#include <QTest>
#include <limits>

class TestConventions : public QObject {
    Q_OBJECT
  private slots:
    void keyFilterAcceptsOnlyWhatEachModeHolds() {
        const QString extras = "/,.-";
        const QString accepted[] = {QString(), "/", ",", ",.", "-"};
        for (int mode = 1; mode <= 5; ++mode) {
            for (char d = '0'; d <= '9'; ++d)
                QCOMPARE(KeyCheck(mode, QLatin1Char(d)), 0);
            QCOMPARE(KeyCheck(mode, Backspace), 0);
            for (QChar c : extras)
                QCOMPARE(KeyCheck(mode, c), accepted[mode - 1].contains(c) ? 0 : 1);
            for (QChar c : "aZ +\r\t１")
                QCOMPARE(KeyCheck(mode, c), 1);
        }
        for (int mode : {0, 6, -1}) {
            QCOMPARE(KeyCheck(mode, QLatin1Char('5')), 1);
            QCOMPARE(KeyCheck(mode, Backspace), 1);
        }
    }

    void dateCheckFollowsTheCalendarAndTheBounds() {
        const char* valid[] = {"20040229", "20000229", "18000101", "21001231",
                               "20030131", "20030430", "20031231", "19991130"};
        for (const char* t : valid)
            QVERIFY2(DateCheck(QLatin1String(t)) == 0, t);
        const char* invalid[] = {"21000229", "19000229",  "17991231", "21010101",  "20030229",
                                 "20030431", "20030132",  "20030001", "20031301",  "20030100",
                                 "2003041",  "200304011", "2003a401", "20030401x", " 2003040",
                                 "",         "+2003040",  "2003-4-1"};
        for (const char* t : invalid)
            QVERIFY2(DateCheck(QLatin1String(t)) == 1, t);
    }

    void leavingADateBox() {
        auto check = [](const char* in, bool required, const char* text, LeaveOutcome outcome) {
            const LeaveResult r = leaveDateBox(QString::fromUtf8(in), required);
            QCOMPARE(r.text, QString::fromUtf8(text));
            QCOMPARE(r.outcome, outcome);
        };
        check(" 20040229 ", true, "2004/02/29", LeaveOutcome::Ok);
        check(" 0 ", false, "", LeaveOutcome::Ok); // typing 0 clears
        check("", false, "", LeaveOutcome::Ok);
        check("   ", true, "", LeaveOutcome::RequiredMissing);
        check("2003/04/01", false, "", LeaveOutcome::Ok);
        check("20030431", true, "20030431", LeaveOutcome::InvalidDate); // kept for correction
        check("00", false, "00", LeaveOutcome::InvalidDate);
    }

    void numFormatReadsAndRoundsLikeTheBoxShows() {
        QCOMPARE(NumFormat("   ", 0), QString());
        // A separator does not end the number.
        QCOMPARE(NumFormat("12,345,678", 0), "12,345,678");
        // Otherwise reading stops at the first character it cannot read.
        QCOMPARE(NumFormat("12x5", 0), "12");
        QCOMPARE(NumFormat("abc", 3), "0.000");
        QCOMPARE(NumFormat("1.2.3", 3), "1.200");
        // Rounding half away from zero.
        QCOMPARE(NumFormat("-12.5", 0), "-13");
        QCOMPARE(NumFormat("0.0005", 3), "0.001");
        QCOMPARE(NumFormat("0.00049999", 3), "0.000");
        QCOMPARE(NumFormat("999.9995", 3), "1,000.000");
        QCOMPARE(NumFormat("-0.0004", 3), "0.000");
    }

    void integerFormattingAgreesWithTheExactDecimalPath() {
        using namespace NumberPattern;
        QStringList patterns = {Whole, PriceBox, PriceList, QuantityList, SlipAmount, SlipTotal};
        patterns << Count << AmountList << Subtotal << Sequence << "#.##"
                 << "0.0#";
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
        QCOMPARE(FormatNumber(2.5, Whole), "3");
        QCOMPARE(FormatNumber(-2.5, Whole), "-3");
        QCOMPARE(FormatNumber(2.4999, QuantityList), "2");
        QCOMPARE(FormatNumber(-0.4, Whole), "0");
        // 1.0005 is stored as 1.000499999...; shown as the decimal it stands for.
        QCOMPARE(FormatNumber(1.0005, PriceList), "1.001");
        QCOMPARE(FormatNumber(0.1 + 0.2, PriceBox), "0.300");
        QCOMPARE(FormatNumber(1.25e-7, PriceList), "0.000");
        QCOMPARE(FormatNumber(1e20, AmountList), "100,000,000,000,000,000,000");
        QCOMPARE(FormatNumber(-1234567.8915, PriceList), "-1,234,567.892");
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 FormatNumber(std::numeric_limits<double>::quiet_NaN(), Whole));

        // "#" places never limit the digits shown.
        QCOMPARE(FormatNumber(0, Count), "0");
        QCOMPARE(FormatNumber(123456789, Count), "123,456,789");
        QCOMPARE(FormatNumber(-1000000, Subtotal), "-1,000,000");
        QCOMPARE(FormatNumber(std::numeric_limits<qint64>::min(), AmountList),
                 "-9,223,372,036,854,775,808");
        QCOMPARE(FormatNumber(4, Sequence), "004");
        QCOMPARE(FormatNumber(1234, Sequence), "1234");
    }

    void datesAndTimesRoundTrip() {
        const QDate d(2003, 4, 1);
        QCOMPARE(FormatDate(d), "2003/04/01");
        QCOMPARE(FormatDate(QDate()), QString());
        QCOMPARE(ParseBoxDate(" 2003/04/01 "), d);
        QCOMPARE(ParseBoxDate(FormatDigitDate("20000229")), QDate(2000, 2, 29));
        QVERIFY(!ParseBoxDate("2003/02/30").isValid());
        QVERIFY(!ParseBoxDate("2003/4/1").isValid());
        QVERIFY(!ParseBoxDate("20030401").isValid());
        QVERIFY(!ParseBoxDate(QString()).isValid());

        const QDateTime t(QDate(2026, 4, 1), QTime(9, 5, 7));
        QCOMPARE(FormatDateTime(t), "2026/04/01 09:05:07");
        QCOMPARE(FormatDateTime(QDateTime()), QString());
        QCOMPARE(ParseBoxDateTime(FormatDateTime(t)), t);
        QVERIFY(!ParseBoxDateTime("2026/04/01").isValid());
        QVERIFY(!ParseBoxDateTime("2026/04/01 25:00:00").isValid());
    }

    void readingNumbersExactly() {
        QCOMPARE(Decimal::readVal("  -12.50abc").toText(), "-12.5");
        QCOMPARE(Decimal::readVal(",5").toText(), "0");
        QCOMPARE(Decimal::readVal(".25").toText(), "0.25");
        QCOMPARE(Decimal::readVal("-").toText(), "0");
        QCOMPARE(Decimal::readVal("007.0100").toText(), "7.01");
        QCOMPARE(Decimal::fromDouble(-0.0).toText(), "0");
        QCOMPARE(Decimal::fromDouble(5e-4).toText(), "0.0005");
        QCOMPARE(Decimal::fromScaled(std::numeric_limits<qint64>::min(), 4).toText(),
                 "-922337203685477.5808");
        QCOMPARE(Decimal::readVal("9.99").roundedHalfAway(1).toText(), "10");

        QCOMPARE(Decimal::readVal("9223372036854775807").toScaled(0),
                 std::optional<qint64>(std::numeric_limits<qint64>::max()));
        QCOMPARE(Decimal::readVal("-9223372036854775808").toScaled(0),
                 std::optional<qint64>(std::numeric_limits<qint64>::min()));
        QVERIFY(!Decimal::readVal("9223372036854775808").toScaled(0));
        QVERIFY(!Decimal::readVal("922337203685478").toScaled(4));
        QCOMPARE(Decimal::readVal("1.23456").toScaled(4), std::optional<qint64>(12346));
        QCOMPARE(Decimal::readVal("-1.23455").toScaled(4), std::optional<qint64>(-12346));
    }

    void byteWidthsCountWholeCharacters() {
        // Half-width katakana (the ends of its range) take one byte, their
        // neighbours and the other Japanese characters two.
        QCOMPARE(LenByte("a製Ａ　\uFF60\uFF61\uFF9F\uFFA0"), 13);
        QCOMPARE(FixByteWidth("abc", 5), "abc  ");
        QCOMPARE(FixByteWidth("ab製品", 5), "ab製 ");
        QCOMPARE(FixByteWidth("abc", 0), QString());
        QCOMPARE(FixByteWidth("abcdef", 4), "abcd");
        const QString emoji = "😀";
        const QChar high(0xD83D), low(0xDE00);
        QCOMPARE(LenByte("a😀\u0301\uFE0F"), 7);
        QCOMPARE(LenByte(QString(low)), 2); // half a pair still takes room
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
        QCOMPARE(FixByteWidth(emoji + emoji, 3), emoji + " ");
    }
};

QTEST_GUILESS_MAIN(TestConventions)
#include "test_conventions.moc"
