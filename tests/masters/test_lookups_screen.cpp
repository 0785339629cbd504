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
        combo->setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
        return combo;
    }
    QComboBox* pno = add(QStringLiteral("cboPno"));
    QComboBox* wno = add(QStringLiteral("cboWNo"));
    QComboBox* person = add(QStringLiteral("cboPerson"));
    QComboBox* person0 = add(QStringLiteral("cboPerson_0"));
    QComboBox* person1 = add(QStringLiteral("cboPerson_1"));
};

void seed() {
    const QString drawing =
        QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, ?)");
    execSql(drawing, {QStringLiteral("P002"), QStringLiteral("部品B"), 0});
    execSql(drawing, {QStringLiteral("P001"), QStringLiteral("部品A"), 0});
    execSql(drawing, {QStringLiteral("P009"), QStringLiteral("廃番"), 1});
    execSql(
        QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES (?, ?, 0)"),
        {QStringLiteral("W1"), QStringLiteral("組立")});
    const QString person = QStringLiteral(
        "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES (?, ?, ?)");
    execSql(person, {QStringLiteral("N1"), QStringLiteral("あいうえおかきくけこさしすせそ"), 0});
    execSql(person, {QStringLiteral("N2"), QStringLiteral("佐藤"), 0});
    execSql(person, {QStringLiteral("N3"), QStringLiteral("削除済"), 1});
}

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

class TestLookupsScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void fillListsLiveRowsInFixedPitchFont() {
        TestDatabase db;
        seed();
        LookupForm f;
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QCOMPARE(itemsOf(f.pno), Lookup::items(Lookup::drawingNumbers()));
        QCOMPARE(f.pno->count(), 2);
        QCOMPARE(codeFromItem(f.pno->itemText(0)), QStringLiteral("P001"));
        QCOMPARE(LenByte(f.pno->itemText(1)), 62);
        QCOMPARE(f.pno->font().family(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(f.pno->font().pointSize(), 12);
        QVERIFY(f.pno->isVisibleTo(&f.form));

        QCOMPARE(LookupWorkCode(&f.form, 1), int(LookupFound));
        QCOMPARE(f.wno->count(), 1);
        QCOMPARE(LookupPerson(&f.form, 1), int(LookupFound));
        QCOMPARE(f.person->count(), 2);
        QCOMPARE(LenByte(f.person->itemText(0)), 32); // the 30-byte name is cut to 20

        // A fill appends: a second one lists every row twice.
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QCOMPARE(f.pno->count(), 4);
        QCOMPARE(f.pno->itemText(2), f.pno->itemText(0));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void lookUpReplacesTypedCodeWithTheItem() {
        TestDatabase db;
        seed();
        LookupForm f;
        f.pno->setEditText(QStringLiteral("P001"));
        QCOMPARE(LookupPno(&f.form, 2), int(LookupFound));
        const QString item = QStringLiteral("P001") + QString(16, ' ') + QChar(0x3000) +
                             QStringLiteral("部品A") + QString(35, ' ');
        QCOMPARE(f.pno->currentText(), item);
        QCOMPARE(LookupPno(&f.form, 2), int(LookupFound)); // a full item finds itself
        QCOMPARE(f.pno->currentText(), item);

        f.pno->setEditText(QStringLiteral("P009")); // deleted
        QCOMPARE(LookupPno(&f.form, 2), int(LookupNotFound));
        QCOMPARE(f.pno->currentText(), QStringLiteral("P009"));
        f.wno->setEditText(QStringLiteral("W2"));
        QCOMPARE(LookupWorkCode(&f.form, 2), int(LookupNotFound));
        f.wno->setEditText(QStringLiteral("W1"));
        QCOMPARE(LookupWorkCode(&f.form, 2), int(LookupFound));
        QCOMPARE(codeFromItem(f.wno->currentText()), QStringLiteral("W1"));

        f.person->setEditText(QStringLiteral("N3"));
        QCOMPARE(LookupPerson(&f.form, 2), int(LookupNotFound));
        f.person->setEditText(QStringLiteral("N2"));
        QCOMPARE(LookupPerson(&f.form, 2), int(LookupFound));
        QCOMPARE(LenByte(f.person->currentText()), 32);
        QVERIFY(MessageBox::shown().isEmpty());
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
        GuiTest::type(QStringLiteral("p00"));
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(f.pno->currentText(), QStringLiteral("p00"));
        QCOMPARE(LookupPno(&f.form, 2), int(LookupNotFound));

        // The separator of the items is never typed into a code, but a
        // picked item keeps it and may be edited.
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        GuiTest::type(QStringLiteral("P0　02"));
        QCOMPARE(f.pno->currentText(), QStringLiteral("P002"));
        f.pno->setCurrentIndex(0);
        f.pno->lineEdit()->end(false);
        GuiTest::type(QStringLiteral("x"));
        QCOMPARE(f.pno->currentText(), f.pno->itemText(0) + QStringLiteral("x"));
    }

    void arrayElementsAreTouchedOneAtATime() {
        TestDatabase db;
        seed();
        LookupForm f;
        QCOMPARE(LookupPerson(&f.form, 3, 0), int(LookupFound));
        QCOMPARE(f.person0->count(), 2);
        QCOMPARE(f.person1->count(), 0);
        QCOMPARE(f.person->count(), 0);
        QCOMPARE(LookupPerson(&f.form, 3, 1), int(LookupFound));
        QCOMPARE(f.person1->count(), 2);
        QCOMPARE(f.person0->count(), 2);

        f.person0->setEditText(QStringLiteral("N1"));
        f.person1->setEditText(QStringLiteral("N2"));
        QCOMPARE(LookupPerson(&f.form, 4, 1), int(LookupFound));
        QCOMPARE(f.person0->currentText(), QStringLiteral("N1"));
        QCOMPARE(codeFromItem(f.person1->currentText()), QStringLiteral("N2"));
        QCOMPARE(LookupPerson(&f.form, 4, 0), int(LookupFound));
        QVERIFY(f.person0->currentText().startsWith(QStringLiteral("N1        ")));
        QCOMPARE(LookupPerson(&f.form, 4, 2), int(LookupFailed)); // no such element
    }

    void databaseErrorIsReportedAndNeverCountsAsFound() {
        TestDatabase db;
        seed();
        LookupForm f;
        execSql(QStringLiteral("ALTER TABLE zuban_m RENAME TO zuban_old"));
        f.pno->setEditText(QStringLiteral("P001"));
        QCOMPARE(LookupPno(&f.form, 2), int(LookupFailed));
        QCOMPARE(f.pno->currentText(), QStringLiteral("P001"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::Ok);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("zuban_m")));
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFailed));
        QCOMPARE(f.pno->count(), 0);
        QVERIFY(f.pno->isVisibleTo(&f.form));

        MessageBox::clearShown();
        QWidget bare;
        QCOMPARE(LookupWorkCode(&bare, 1), int(LookupFailed));
        QCOMPARE(LookupPerson(&f.form, 5), int(LookupFailed));
        QCOMPARE(LookupPno(&f.form, 3), int(LookupFailed));
        QCOMPARE(MessageBox::shown().size(), 3);
    }
};

QTEST_MAIN(TestLookupsScreen)
#include "test_lookups_screen.moc"
