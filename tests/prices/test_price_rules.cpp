#include "core/apperror.h"
#include "core/database.h"
#include "prices/pricefixtures.h"
#include "prices/priceinput.h"
#include "support/testdatabase.h"

#include <QTest>

using PriceFixtures::addLine;

namespace {

// An existing line, written "start|end|flags" where flags may hold "d"
// (deleted) and "o" (other combination).
void addExisting(qint64 serial, const QString& line) {
    const QStringList f = line.split(QLatin1Char('|'));
    const QString flags = f.value(2);
    const QString person =
        flags.contains(QLatin1Char('o')) ? QStringLiteral("N02") : QStringLiteral("N01");
    addLine(serial, QStringLiteral("P-100"), QStringLiteral("W1"), person, 100.0, f.value(0),
            f.value(1), flags.contains(QLatin1Char('d')));
}

PriceInput filledInput() {
    PriceInput in;
    in.pno = QStringLiteral("P-100");
    in.wno = QStringLiteral("W1");
    in.person = QStringLiteral("N01");
    in.priceText = QStringLiteral("1,250.500");
    in.startText = QStringLiteral("2003/04/01");
    return in;
}

} // namespace

class TestPriceRules : public QObject {
    Q_OBJECT
  private slots:
    void periodCollision_data() {
        QTest::addColumn<QStringList>("existing"); // serials 1, 2, ... in order
        QTest::addColumn<int>("mode");
        QTest::addColumn<qint64>("serial");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<bool>("collides");

        const QStringList closed{QStringLiteral("2003/04/01|2003/09/30|")};
        QTest::newRow("after a closed line") << closed << 1 << qint64(0) << "2003/10/01"
                                             << "" << false << false;
        QTest::newRow("starting on the older line's end")
            << closed << 1 << qint64(0) << "2003/09/30"
            << "2003/12/31" << false << true;
        QTest::newRow("inside a closed line") << closed << 1 << qint64(0) << "2003/05/01"
                                              << "2003/05/31" << false << true;

        const QStringList open{QStringLiteral("2003/04/01||")};
        QTest::newRow("after an open line") << open << 1 << qint64(0) << "2003/10/01"
                                            << "" << false << false;
        QTest::newRow("same start as an open line") << open << 1 << qint64(0) << "2003/04/01"
                                                    << "" << false << true;
        QTest::newRow("same start as an open line, with an end")
            << open << 1 << qint64(0) << "2003/04/01"
            << "2003/04/30" << false << true;
        QTest::newRow("before an open line, ending the day before")
            << open << 1 << qint64(0) << "2003/01/01"
            << "2003/03/31" << false << false;

        for (const QString& later :
             {QStringLiteral("2003/10/01||"), QStringLiteral("2003/10/01|2003/12/31|")}) {
            const QStringList l{later};
            const QByteArray tag = later.endsWith(QLatin1String("||")) ? "open" : "closed";
            QTest::newRow("end on the next start, " + tag) << l << 1 << qint64(0) << "2003/04/01"
                                                           << "2003/10/01" << false << true;
            QTest::newRow("end the day before the next start, " + tag)
                << l << 1 << qint64(0) << "2003/04/01"
                << "2003/09/30" << false << false;
            QTest::newRow("no end before a later line, " + tag)
                << l << 1 << qint64(0) << "2003/04/01"
                << "" << false << false;
        }

        QTest::newRow("one-day period between two lines")
            << QStringList{QStringLiteral("2003/04/01|2003/04/30|"), QStringLiteral("2003/05/02||")}
            << 1 << qint64(0) << "2003/05/01"
            << "2003/05/01" << false << false;
        QTest::newRow("deleted line takes no part")
            << QStringList{QStringLiteral("2003/04/01||d")} << 1 << qint64(0) << "2003/04/01"
            << "" << false << false;
        QTest::newRow("other combination takes no part")
            << QStringList{QStringLiteral("2003/04/01||o")} << 1 << qint64(0) << "2003/04/01"
            << "2003/12/31" << false << false;

        const QStringList two{QStringLiteral("2003/04/01|2003/09/30|"),
                              QStringLiteral("2003/10/01||")};
        QTest::newRow("editing keeps its own dates") << two << 2 << qint64(1) << "2003/04/01"
                                                     << "2003/09/30" << false << false;
        QTest::newRow("editing an open line keeps its own start")
            << two << 2 << qint64(2) << "2003/10/01"
            << "" << false << false;
        QTest::newRow("editing into the next line") << two << 2 << qint64(1) << "2003/04/01"
                                                    << "2003/10/01" << false << true;
        QTest::newRow("copying always meets its source") << two << 3 << qint64(1) << "2003/04/01"
                                                         << "2003/09/30" << false << true;
        QTest::newRow("copying an open line meets its source")
            << two << 3 << qint64(2) << "2003/10/01"
            << "" << false << true;
        QTest::newRow("marking a line deleted skips the check")
            << two << 2 << qint64(1) << "2003/10/01"
            << "" << true << false;
        QTest::newRow("adding a deleted line is still checked")
            << two << 1 << qint64(0) << "2003/10/01"
            << "" << true << true;
    }

    void periodCollision() {
        QFETCH(QStringList, existing);
        QFETCH(int, mode);
        QFETCH(qint64, serial);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, deleted);
        QFETCH(bool, collides);

        TestDatabase db;
        for (int i = 0; i < existing.size(); ++i)
            addExisting(i + 1, existing[i]);
        PriceInput in = filledInput();
        in.mode = EditMode(mode);
        in.serial = serial;
        in.startText = start;
        in.endText = end;
        in.deleted = deleted;
        const PriceCheck check = CheckPriceInput(in);
        if (collides) {
            QCOMPARE(check.message, QStringLiteral("適用日付に重複があります。"));
            QCOMPARE(check.focus, PriceField::Start);
        } else {
            QVERIFY2(check.ok(), qPrintable(check.message));
        }
    }

    void requiredFieldsAreCheckedInScreenOrder() {
        TestDatabase db;
        struct Step {
            QString PriceInput::*field;
            PriceField focus;
        };
        const QList<Step> steps{{&PriceInput::pno, PriceField::Pno},
                                {&PriceInput::wno, PriceField::WNo},
                                {&PriceInput::person, PriceField::Person},
                                {&PriceInput::priceText, PriceField::Mon},
                                {&PriceInput::startText, PriceField::Start}};
        PriceInput in;
        in.endText = QStringLiteral("2003/01/01"); // reversed too, but reported later
        const PriceInput full = filledInput();
        for (const Step& s : steps) {
            const PriceCheck check = CheckPriceInput(in);
            QCOMPARE(check.message, QStringLiteral("入力必須項目です。"));
            QCOMPARE(check.focus, s.focus);
            in.*s.field = full.*s.field;
        }
        QCOMPARE(CheckPriceInput(in).message, QStringLiteral("日付の大小関係に誤りがあります。"));
        in.endText.clear();
        QVERIFY(CheckPriceInput(in).ok());

        in.pno = QStringLiteral("   "); // blanks are no code
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Pno);
    }

    void dateOrderIsCheckedBeforeTheDatabase() {
        TestDatabase db;
        PriceInput in = filledInput();
        in.startText = QStringLiteral("2003/10/01");
        in.endText = QStringLiteral("2003/09/30");
        DBClose(); // any query now would throw
        const PriceCheck check = CheckPriceInput(in);
        QCOMPARE(check.message, QStringLiteral("日付の大小関係に誤りがあります。"));
        QCOMPARE(check.focus, PriceField::Start);

        in.endText = in.startText; // a one-day period is fine, but needs the database
        QVERIFY_THROWS_EXCEPTION(DbError, CheckPriceInput(in));
    }

    void malformedValuesAreRefusedNotSaved() {
        TestDatabase db;
        PriceInput in = filledInput();
        in.startText = QStringLiteral("2003/02/30");
        QCOMPARE(CheckPriceInput(in).message, QStringLiteral("日付の入力に誤りがあります。"));
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Start);
        in = filledInput();
        in.endText = QStringLiteral("20031231");
        QCOMPARE(CheckPriceInput(in).focus, PriceField::End);
    }
};

QTEST_GUILESS_MAIN(TestPriceRules)
#include "test_price_rules.moc"
