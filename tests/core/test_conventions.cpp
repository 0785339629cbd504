#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/money.h"
#include "core/phrasewrap.h"
#include "core/sqlvalues.h"
#include "support/golden.h"

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

// One argument of a case line: "[text]" stands for text exactly.
struct Args {
    const QStringList& f;
    QString operator()(int i) const {
        const QString s = f.value(i);
        return s.startsWith('[') && s.endsWith(']') ? s.mid(1, s.size() - 2) : s;
    }
    qint64 n(int i) const { return (*this)(i).toLongLong(); }
    double d(int i) const { return (*this)(i).toDouble(); }
    UnitPrice up(int i) const { return UnitPrice::parse((*this)(i)); }
};

QString num(qint64 value) {
    return QString::number(value);
}
QString exact(const QString& text) {
    return '[' + text + ']';
}
template <typename T> QString iso(const T& value) {
    return value.isValid() ? value.toString(Qt::ISODate) : QStringLiteral("invalid");
}

// The functions the case lines of conventions.txt name.
const QMap<QString, std::function<QString(const Args&)>> kConversions = {
    {"DateCheck", [](const Args& a) { return num(DateCheck(a(1))); }},
    {"leaveDateBox",
     [](const Args& a) {
         const LeaveResult r = leaveDateBox(a(1), a(2) == "required");
         const char* outcomes[] = {"Ok", "InvalidDate", "RequiredMissing"};
         return exact(r.text) + ' ' + outcomes[int(r.outcome)];
     }},
    {"NumFormat", [](const Args& a) { return exact(NumFormat(a(1), a.n(2))); }},
    {"readVal", [](const Args& a) { return Decimal::readVal(a(1)).toText(); }},
    {"fromDouble", [](const Args& a) { return Decimal::fromDouble(a.d(1)).toText(); }},
    {"fromScaled", [](const Args& a) { return Decimal::fromScaled(a.n(1), a.n(2)).toText(); }},
    {"roundedHalfAway",
     [](const Args& a) { return Decimal::readVal(a(1)).roundedHalfAway(a.n(2)).toText(); }},
    {"toScaled",
     [](const Args& a) {
         const std::optional<qint64> scaled = Decimal::readVal(a(1)).toScaled(a.n(2));
         return scaled ? num(*scaled) : QStringLiteral("none");
     }},
    {"formatNumber", [](const Args& a) { return formatNumber(a.d(1), a(2)); }},
    {"FormatInteger", [](const Args& a) { return formatNumber(a.n(1), a(2)); }},
    {"parseBoxDate", [](const Args& a) { return iso(parseBoxDate(a(1))); }},
    {"parseBoxDateTime", [](const Args& a) { return iso(parseBoxDateTime(a(1))); }},
    {"toDate", [](const Args& a) { return iso(SqlValue::toDate(a(1))); }},
    {"FixByteWidth", [](const Args& a) { return exact(FixByteWidth(a(1), a.n(2))); }},
    {"wrapAtPhrases",
     [](const Args& a) {
         return wrapAtPhrases(a(1), a.n(2)).replace('\n', QStringLiteral(" / "));
     }},
    {"round",
     [](const Args& a) {
         return num(roundHalfEven(a.n(1), a.n(2))) + ' ' + num(roundHalfAway(a.n(1), a.n(2)));
     }},
    {"amountOf", [](const Args& a) { return num(amountOf(a.up(1), a.n(2))); }},
    {"taxOf", [](const Args& a) { return num(taxOf(a.up(1), a.n(2), a.n(3))); }},
    {"taxOfAmount", [](const Args& a) { return num(taxOfAmount(a.n(1), a.n(2))); }},
    {"shownAmountOf", [](const Args& a) { return num(shownAmountOf(a.up(1), a.n(2))); }},
    {"parse", [](const Args& a) { return num(a.up(1).tenThousandths()); }},
    {"fromDb", [](const Args& a) { return num(UnitPrice::fromDb(a.d(1)).tenThousandths()); }},
    {"text",
     [](const Args& a) {
         const UnitPrice p = UnitPrice::fromTenThousandths(a.n(1));
         return a.f.size() > 2 ? p.text(a(2)) : p.text();
     }},
    {"parseQuantity", [](const Args& a) { return num(parseQuantity(a(1))); }},
};

} // namespace

class TestConventions : public QObject {
    Q_OBJECT
  private slots:
    void conversionsGiveWhatTheCaseTableSays() {
        const QString d = goldenCases("conventions.txt", [](const QStringList& f) {
            const auto conversion = kConversions.value(f[0]);
            if (!conversion)
                return QStringLiteral("no such function");
            try {
                return conversion(Args{f});
            } catch (const AppError&) {
                return QStringLiteral("error");
            }
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // A golden test must not pass on a file whose cases are all commented
    // out, nor on an empty page.
    void goldenHarnessFailsOnNothing() {
        QVERIFY(goldenCases("nocase.txt", [](const QStringList&) {
                    return QString();
                }).endsWith(QStringLiteral("no case")));
        QVERIFY(!goldenDifference("nocase.txt", QStringLiteral("\n")).isEmpty());
    }

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
                    QCOMPARE(formatScaled(m, scale, pattern),
                             formatNumber(Decimal::fromScaled(m, scale), pattern));
    }

    void datesAndTimesRoundTrip() {
        const QDate d(2003, 4, 1);
        QCOMPARE(formatDate(d) + formatDate(QDate()), "2003/04/01");
        QCOMPARE(parseBoxDate(formatDigitDate("20000229")), QDate(2000, 2, 29));
        const QDateTime t(QDate(2026, 4, 1), QTime(9, 5, 7));
        QCOMPARE(formatDateTime(t) + formatDateTime(QDateTime()), "2026/04/01 09:05:07");
        QCOMPARE(parseBoxDateTime(formatDateTime(t)), t);
        QCOMPARE(SqlValue::toDate(SqlValue::date(QDate(1800, 1, 1))), QDate(1800, 1, 1));
        QVERIFY(!SqlValue::toDate(QVariant(QMetaType::fromType<QString>())).isValid());
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

    void moneyIsExactOrRefused() {
        for (qint64 p = 0; p <= 30000; p += 37) {
            for (qint64 q : {1, 2, 3, 7, 10, 90, 200, 999}) {
                const UnitPrice up = UnitPrice::fromTenThousandths(p);
                QCOMPARE(amountOf(up, q), halfEvenByDigits(p * q, 4));
                QCOMPARE(amountOf(up, -q), halfEvenByDigits(-p * q, 4));
                QCOMPARE(taxOf(up, q, 5), halfEvenByDigits(p * q * 5, 6));
            }
        }
        const __int128 huge = static_cast<__int128>(std::numeric_limits<qint64>::max()) * 4;
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfEven(huge, 2));
        QVERIFY_THROWS_EXCEPTION(AppError, roundHalfAway(-huge, 3));
        QCOMPARE(roundHalfEven(huge, 4), std::numeric_limits<qint64>::max());
        const UnitPrice extreme = UnitPrice::fromTenThousandths(std::numeric_limits<qint64>::max());
        QVERIFY_THROWS_EXCEPTION(AppError, amountOf(extreme, 1000000));
        QVERIFY_THROWS_EXCEPTION(AppError, taxOf(extreme, -1000000, 5));
        QVERIFY_THROWS_EXCEPTION(AppError, shownAmountOf(extreme, 100000));
        // Stored and shown prices read back as the same price.
        QCOMPARE(UnitPrice::fromDb(UnitPrice::fromTenThousandths(999999999999).toDb()),
                 UnitPrice::fromTenThousandths(999999999999));
        QCOMPARE(UnitPrice::parse(price("98765.4321").text()), price("98765.432"));
        QVERIFY(price("1.5") < price("1.5001") && price("0").isZero());
    }
};

QTEST_GUILESS_MAIN(TestConventions)
#include "test_conventions.moc"
