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
    const QString person = flags.contains(QLatin1Char('o')) ? "N02" : "N01";
    addLine(serial, "P-100", "W1", person, 100.0, f.value(0), f.value(1),
            flags.contains(QLatin1Char('d')));
}

PriceInput filledInput() {
    PriceInput in;
    in.pno = "P-100";
    in.wno = "W1";
    in.person = "N01";
    in.priceText = "1,250.500";
    in.startText = "2003/04/01";
    return in;
}

} // namespace

class TestPriceRules : public QObject {
    Q_OBJECT
  private slots:
    void periodCollision() {
        // Existing lines (serials 1, 2, ... in order) as "start|end|flags"; the
        // input as mode (1 add, 2 edit, 3 copy), serial, start, end, deleted.
        const QStringList closed{"2003/04/01|2003/09/30|"}, open{"2003/04/01||"},
            later{"2003/10/01||"}, laterClosed{"2003/10/01|2003/12/31|"},
            two{"2003/04/01|2003/09/30|", "2003/10/01||"},
            gap{"2003/04/01|2003/04/30|", "2003/05/02||"}, deletedLine{"2003/04/01||d"},
            other{"2003/04/01||o"};
        const struct {
            const char* name;
            QStringList existing;
            int mode;
            qint64 serial;
            const char *start, *end;
            bool deleted, collides;
        } cases[] = {
            {"after a closed line", closed, 1, 0, "2003/10/01", "", false, false},
            {"starting on the older line's end", closed, 1, 0, "2003/09/30", "2003/12/31", false,
             true},
            {"inside a closed line", closed, 1, 0, "2003/05/01", "2003/05/31", false, true},
            {"after an open line", open, 1, 0, "2003/10/01", "", false, false},
            {"same start as an open line", open, 1, 0, "2003/04/01", "", false, true},
            {"same start, with an end", open, 1, 0, "2003/04/01", "2003/04/30", false, true},
            {"before an open line", open, 1, 0, "2003/01/01", "2003/03/31", false, false},
            {"end on the next start", later, 1, 0, "2003/04/01", "2003/10/01", false, true},
            {"end on a closed next start", laterClosed, 1, 0, "2003/04/01", "2003/10/01", false,
             true},
            {"end the day before", later, 1, 0, "2003/04/01", "2003/09/30", false, false},
            {"end the day before a closed one", laterClosed, 1, 0, "2003/04/01", "2003/09/30",
             false, false},
            {"no end before a later line", later, 1, 0, "2003/04/01", "", false, false},
            {"no end before a closed one", laterClosed, 1, 0, "2003/04/01", "", false, false},
            {"one-day period between two lines", gap, 1, 0, "2003/05/01", "2003/05/01", false,
             false},
            {"deleted line takes no part", deletedLine, 1, 0, "2003/04/01", "", false, false},
            {"other combination takes no part", other, 1, 0, "2003/04/01", "2003/12/31", false,
             false},
            {"editing keeps its own dates", two, 2, 1, "2003/04/01", "2003/09/30", false, false},
            {"editing an open line", two, 2, 2, "2003/10/01", "", false, false},
            {"editing into the next line", two, 2, 1, "2003/04/01", "2003/10/01", false, true},
            {"copying meets its source", two, 3, 1, "2003/04/01", "2003/09/30", false, true},
            {"copying an open line", two, 3, 2, "2003/10/01", "", false, true},
            {"marking deleted skips the check", two, 2, 1, "2003/10/01", "", true, false},
            {"adding a deleted line is checked", two, 1, 0, "2003/10/01", "", true, true},
        };
        for (const auto& c : cases) {
            TestDatabase db;
            for (int i = 0; i < c.existing.size(); ++i)
                addExisting(i + 1, c.existing[i]);
            PriceInput in = filledInput();
            in.mode = EditMode(c.mode);
            in.serial = c.serial;
            in.startText = QString::fromUtf8(c.start);
            in.endText = QString::fromUtf8(c.end);
            in.deleted = c.deleted;
            const PriceCheck check = CheckPriceInput(in);
            if (c.collides)
                QVERIFY2(check.message == "適用日付に重複があります。" &&
                             check.focus == PriceField::Start,
                         c.name);
            else
                QVERIFY2(check.ok(), c.name);
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
        in.endText = "2003/01/01"; // reversed too, but reported later
        const PriceInput full = filledInput();
        for (const Step& s : steps) {
            const PriceCheck check = CheckPriceInput(in);
            QCOMPARE(check.message, "入力必須項目です。");
            QCOMPARE(check.focus, s.focus);
            in.*s.field = full.*s.field;
        }
        QCOMPARE(CheckPriceInput(in).message, "日付の大小関係に誤りがあります。");
        in.endText.clear();
        QVERIFY(CheckPriceInput(in).ok());

        in.pno = "   "; // blanks are no code
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Pno);
    }

    void dateOrderIsCheckedBeforeTheDatabase() {
        TestDatabase db;
        PriceInput in = filledInput();
        in.startText = "2003/10/01";
        in.endText = "2003/09/30";
        DBClose(); // any query now would throw
        const PriceCheck check = CheckPriceInput(in);
        QCOMPARE(check.message, "日付の大小関係に誤りがあります。");
        QCOMPARE(check.focus, PriceField::Start);

        in.endText = in.startText; // a one-day period is fine, but needs the database
        QVERIFY_THROWS_EXCEPTION(DbError, CheckPriceInput(in));
    }

    void malformedValuesAreRefusedNotSaved() {
        TestDatabase db;
        PriceInput in = filledInput();
        in.startText = "2003/02/30";
        QCOMPARE(CheckPriceInput(in).message, "日付の入力に誤りがあります。");
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Start);
        in = filledInput();
        in.endText = "20031231";
        QCOMPARE(CheckPriceInput(in).focus, PriceField::End);
    }
};

QTEST_GUILESS_MAIN(TestPriceRules)
#include "test_price_rules.moc"
