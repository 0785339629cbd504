#include "core/bytetext.h"
#include "core/screens/fields.h"
#include "core/screens/messagebox.h"
#include "core/sqlquery.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace {
// A screen with every code combo box the lookups serve.
struct LookupForm {
    QWidget form;
    QComboBox* add(const QString& name) {
        auto* combo = new QComboBox(&form);
        combo->setObjectName(name);
        combo->setEditable(true);
        return combo;
    }
    QComboBox* pno = add("cboPno");
    QComboBox* wno = add("cboWNo");
    QComboBox* person = add("cboPerson");
    QComboBox* person0 = add("cboPerson_0");
    QComboBox* person1 = add("cboPerson_1");
};

void seed() {
    const QString drawing = "INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, ?)";
    execSql(drawing, {"P002", "部品B", 0});
    execSql(drawing, {"P001", "部品A", 0});
    execSql(drawing, {"P009", "廃番", 1});
    execSql("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES ('W1', '組立', 0)");
    const QString person =
        "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES (?, ?, ?)";
    execSql(person, {"N1", "あいうえおかきくけこさしすせそ", 0});
    execSql(person, {"N2", "佐藤", 0});
    execSql(person, {"N3", "削除済", 1});
}
} // namespace

class TestLookupsScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void fillsAppendLiveRowsInFixedPitchFont() {
        TestDatabase db;
        seed();
        LookupForm f;
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QCOMPARE(f.pno->count(), 2);
        QCOMPARE(f.pno->itemText(0), Lookup::items(Lookup::drawingNumbers()).value(0));
        QCOMPARE(f.pno->font().family() + QString::number(f.pno->font().pointSize()),
                 "ＭＳ ゴシック12");
        QCOMPARE(LookupWorkCode(&f.form, 1), int(LookupFound));
        QCOMPARE(f.wno->count(), 1);
        // Each element of an array alone.
        QCOMPARE(LookupPerson(&f.form, 3, 1), int(LookupFound));
        QCOMPARE(f.person1->count() * 10 + f.person0->count() + f.person->count(), 20);
        QCOMPARE(LookupPerson(&f.form, 1), int(LookupFound));
        QCOMPARE(LenByte(f.person->itemText(0)), 32); // the 30-byte name is cut to 20
        // A second fill lists every row twice.
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QCOMPARE(f.pno->count(), 4);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void lookUpReplacesTypedCodeWithTheItem() {
        TestDatabase db;
        seed();
        LookupForm f;
        const struct {
            QComboBox* combo;
            int mode, index;
            const char *typed, *code; // code "": not found, the text stays
        } cases[] = {
            {f.pno, 2, 0, "P001", "P001"}, {f.pno, 2, 0, "P009", ""},
            {f.wno, 2, 0, "W2", ""},       {f.wno, 2, 0, "W1", "W1"},
            {f.person, 2, 0, "N3", ""},    {f.person, 2, 0, "N2", "N2"},
            {f.person1, 4, 1, "N2", "N2"}, {f.person0, 4, 0, "N1", "N1"},
        };
        for (const auto& c : cases) {
            c.combo->setEditText(c.typed);
            const int result = c.combo == f.pno   ? LookupPno(&f.form, c.mode)
                               : c.combo == f.wno ? LookupWorkCode(&f.form, c.mode)
                                                  : LookupPerson(&f.form, c.mode, c.index);
            const bool found = *c.code != 0;
            QCOMPARE(result, int(found ? LookupFound : LookupNotFound));
            // Found: the whole item with its name; else the typed text stays.
            QCOMPARE(codeFromItem(c.combo->currentText()), found ? c.code : c.typed);
            QCOMPARE(c.combo->currentText() == c.typed, !found);
        }
        QCOMPARE(f.person1->currentText().left(2), "N2");         // the other element untouched
        QCOMPARE(LookupPerson(&f.form, 4, 2), int(LookupFailed)); // no such element
        QCOMPARE(LookupPno(&f.form, 3), int(LookupFailed));       // no such mode
        QCOMPARE(MessageBox::shown().size(), 2);
    }

    void codeCombosKeepTheTypedCode() {
        TestDatabase db;
        seed();
        LookupForm f;
        setupCodeCombo(f.pno);
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QVERIFY(GuiTest::showActive(&f.form));
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        // Completion would make this the first item, matched regardless of case.
        GuiTest::type("p00");
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(f.pno->currentText(), "p00");

        // The separator of the items is never typed into a code, but a
        // picked item keeps it and may be edited.
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        GuiTest::type("P0　02");
        QCOMPARE(f.pno->currentText(), "P002");
        f.pno->setCurrentIndex(0);
        f.pno->lineEdit()->end(false);
        GuiTest::type("x");
        QCOMPARE(f.pno->currentText(), f.pno->itemText(0) + "x");
    }

    void databaseErrorIsReportedAndNeverCountsAsFound() {
        TestDatabase db;
        LookupForm f;
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        f.pno->setEditText("P001");
        QCOMPARE(LookupPno(&f.form, 2), int(LookupFailed));
        QCOMPARE(f.pno->currentText(), "P001");
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFailed));
        QCOMPARE(f.pno->count(), 0);
        QWidget bare;
        QCOMPARE(LookupWorkCode(&bare, 1), int(LookupFailed));
        QCOMPARE(MessageBox::shown().size(), 3);
        QVERIFY(MessageBox::shown().first().text.contains("zuban_m"));
    }
};

QTEST_MAIN(TestLookupsScreen)
#include "test_lookups_screen.moc"
