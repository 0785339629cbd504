#include "core/screens/listgrid.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "slips/screens/frmproduct.h"
#include "slips/screens/frmproduct2.h"
#include "slips/slipfixtures.h"
#include "slips/sliptexts.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QTest>

using namespace GuiTest;
using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::column;
using SlipFixtures::slipCount;
using Answer = MessageBox::Answer;

namespace {

const QString kRegister =
    "単価が未登録です。作業単価マスタでの入力が必要です。作業単価を登録しますか？";
const QString kNoPrice = "単価が未登録です。作業単価マスタでの入力が必要です。";
const QString kStatusQuestion = "伝票ステータスが変わります。製品伝票を変更しますか？";
const QString kStatusChanges = "伝票ステータスが変更されます。";
const QString kRequired = "入力必須項目です。";
const QString kSettled = "2026-03-31 17:45:12";

void setup(TestDatabase& db) {
    db.writeIni("[Print]\nOutput=pdf\n[User]\nName=株式会社デモ精工\n");
    PriceFixtures::addMasters();
    addLine(1, "P-100", "W1", "N01", 12.5, "2026/01/01");
    gEmpCode = "001";
}

bool printed(const TestDatabase& db, const QString& slipNo) {
    return QFile::exists(QDir(db.dirPath()).filePath("print/" + slipNo + ".pdf"));
}

// Walks the add screen with the keyboard from its first field.
void typeNewSlip(QWidget* entry, const QString& pno) {
    QComboBox* first = combo(entry, "cboPerson");
    QVERIFY(focused() == first || first->isAncestorOf(focused()));
    for (const QString& text : {QString("N01"), pno, QString("W1"), QString("組立て")}) {
        type(text);
        press(Qt::Key_Return);
    }
    QCOMPARE(focused(), box(entry, "txtDay_0"));
    type("20260315");
    press(Qt::Key_Return);
    type("1234");
    press(Qt::Key_Return);
}

} // namespace

class TestSlipEntryScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void add_data() {
        QTest::addColumn<QString>("pno"); // P-100 has a price, P-200 none
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<double>("stored"); // 精算単価, -1 when nothing is saved
        QTest::addColumn<bool>("print");
        QTest::newRow("priced, cancel") << "P-100" << Answer::Cancel << -1.0 << false;
        QTest::newRow("priced, no") << "P-100" << Answer::No << 12.5 << false;
        QTest::newRow("priced, yes") << "P-100" << Answer::Yes << 12.5 << true;
        QTest::newRow("no price, cancel") << "P-200" << Answer::Cancel << -1.0 << false;
        QTest::newRow("no price, no: saved at 0") << "P-200" << Answer::No << 0.0 << false;
        QTest::newRow("no price, yes: registered") << "P-200" << Answer::Yes << 80.0 << false;
    }
    void add() {
        QFETCH(QString, pno);
        QFETCH(Answer, answer);
        QFETCH(double, stored);
        QFETCH(bool, print);
        TestDatabase db;
        setup(db);
        frmProduct list;
        frmProduct2 entry(&list, &list, EditMode::Add);
        QVERIFY(showActive(&entry));
        QCOMPARE(unnamedFields(&entry), QStringList());
        // The next number and today are offered.
        QCOMPARE(box(&entry, "txtDet_0")->text() + box(&entry, "txtDay_0")->text(),
                 "260401-0012026/04/01");
        typeNewSlip(&entry, pno);
        const bool priced = pno == "P-100";
        QCOMPARE(box(&entry, "txtMon_0")->text() + "|" + box(&entry, "txtMon_1")->text() + "|" +
                     box(&entry, "txtMon_2")->text(),
                 priced ? "1,234|12.500|15,425" : "1,234|0.000|0");
        if (!priced)
            QCOMPARE(MessageBox::shown().value(0).icon, MessageBox::Icon::Exclamation);
        QCOMPARE(takeShown(), priced ? QStringList() : QStringList{kNoPrice});

        QStringList prefilled;
        if (!priced && answer == Answer::Yes)
            onNextModal([&](QWidget* prices) {
                for (const char* name : {"cboPno", "cboWNo", "cboPerson"})
                    prefilled << combo(prices, name)->currentText().left(5);
                box(prices, "txtMon")->setText("80.000");
                box(prices, "txtDay_0")->setText("2026/03/01");
                click(prices, "cmdUpd");
            });
        MessageBox::setNextAnswer(answer);
        click(&entry, "cmdUpd");
        QCOMPARE(MessageBox::shown().value(0).buttons, MessageBox::Buttons::YesNoCancel);
        QCOMPARE(takeShown().value(0), priced ? SlipText::AddQuestion : kRegister);
        if (!prefilled.isEmpty())
            QCOMPARE(prefilled, (QStringList{"P-200", "W1   ", "N01  "}));
        QCOMPARE(slipCount(), qint64(stored >= 0));
        QCOMPARE(entry.isVisible(), stored < 0);
        QCOMPARE(printed(db, "260401-001"), print);
        if (stored < 0)
            return;
        QCOMPARE(column("260401-001", "精算単価").toDouble(), stored);
        // What was typed; the store's own test has the other columns.
        QCOMPARE(column("260401-001", "作業区分").toString() +
                     column("260401-001", "依頼日").toString(),
                 "組立て2026-03-15");
        QCOMPARE(child<ListGrid>(&list, "grd1")->textMatrix(1, 0), QStringLiteral("260401-001"));
    }

    void requiredFieldsComeFirst() {
        TestDatabase db;
        setup(db);
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(showActive(&entry));
        // A new slip is compared with "not deleted".
        child<QCheckBox>(&entry, "ChkDel")->click();
        QCOMPARE(takeShown(), QStringList{kStatusChanges});
        child<QCheckBox>(&entry, "ChkDel")->click();
        QVERIFY(takeShown().isEmpty());

        box(&entry, "txtDay_0")->clear();
        const QList<std::pair<QWidget*, QString>> order = {{combo(&entry, "cboPno"), "P-100"},
                                                           {combo(&entry, "cboWNo"), "W1"},
                                                           {combo(&entry, "cboPerson"), "N01"},
                                                           {box(&entry, "txtDay_0"), "2026/04/01"}};
        for (const auto& [field, text] : order) {
            click(&entry, "cmdUpd");
            QCOMPARE(takeShown(), QStringList{kRequired}); // no question before it
            QWidget* focused = entry.focusWidget();
            QVERIFY2(focused == field || field->isAncestorOf(focused), qPrintable(text));
            if (auto* c = qobject_cast<QComboBox*>(field))
                c->setEditText(text);
            else
                static_cast<QLineEdit*>(field)->setText(text);
        }
        QCOMPARE(slipCount(), qint64(0));
    }

    void aSettledSlipKeepsItsStampAndPrice() {
        TestDatabase db;
        setup(db);
        addLine(2, "P-100", "W1", "N01", 120, "2026/03/01");
        addSlip({.no = "260310-001",
                 .deliveredOn = "2026-03-20",
                 .settledAt = kSettled,
                 .price = 100,
                 .issued = 1234,
                 .delivered = 1000});
        {
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            QVERIFY(showActive(&entry));
            // As paid, not at the 120 now in force.
            QCOMPARE(box(&entry, "txtDay_2")->text() + "|" + box(&entry, "txtMon_1")->text() + "|" +
                         box(&entry, "txtMon_2")->text(),
                     "2026/03/31|100.000|123,400");
            box(&entry, "txtMon_3")->setText("990");
            MessageBox::setNextAnswer(Answer::No);
            click(&entry, "cmdUpd");
            QCOMPARE(takeShown(), QStringList{SlipText::UpdateQuestion});
            QVERIFY(!entry.isVisible());
        }
        QCOMPARE(column("260310-001", "納入数量").toString() +
                     column("260310-001", "精算日時").toString(),
                 "990" + kSettled);
        QCOMPARE(column("260310-001", "精算単価").toDouble(), 100.0);
        {
            // Each status change is announced; the save asks OK / Cancel and never prints.
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            QVERIFY(showActive(&entry));
            child<QCheckBox>(&entry, "ChkDel")->click();
            box(&entry, "txtDay_2")->setFocus();
            type("0"); // clears a date
            press(Qt::Key_Tab);
            QCOMPARE(takeShown(), (QStringList{kStatusChanges, kStatusChanges}));
            MessageBox::setNextAnswer(Answer::Cancel);
            click(&entry, "cmdUpd");
            QCOMPARE(MessageBox::shown().value(0).buttons, MessageBox::Buttons::OkCancel);
            QCOMPARE(column("260310-001", "削除フラグ").toInt(), 0);
            click(&entry, "cmdUpd"); // OK
            QCOMPARE(takeShown(), (QStringList{kStatusQuestion, kStatusQuestion}));
            QVERIFY(!printed(db, "260310-001"));
        }
        QCOMPARE(column("260310-001", "削除フラグ").toInt(), 1);
        QVERIFY(column("260310-001", "精算日時").isNull());
        QCOMPARE(column("260310-001", "精算単価").toDouble(), 120.0); // unsettled: re-priced
    }

    void aPaidSlipKeepsWhatWasPaidFor_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");  // a check box is clicked
        QTest::addColumn<bool>("cancelled"); // the run that paid it was taken back
        QTest::addColumn<bool>("locked");
        const QList<std::pair<const char*, const char*>> paidFor = {
            {"cboPerson", "N02"}, {"cboPno", "P-200"}, {"cboWNo", "W2"}, {"txtDay_0", "2026/03/11"},
            {"txtMon_3", "999"},  {"txtDay_2", ""},    {"ChkDel", ""}};
        for (const auto& [field, value] : paidFor)
            QTest::newRow(field) << field << value << false << true;
        for (const auto& [field, value] :
             QList<std::pair<const char*, const char*>>{{"txtDet_1", "検品"},
                                                        {"txtDay_1", "2026/03/25"},
                                                        {"txtDet_2", "L-9"},
                                                        {"txtDet_3", "メモ"},
                                                        {"txtMon_0", "5"}})
            QTest::newRow(field) << field << value << false << false;
        QTest::newRow("cancelled run") << "txtMon_3"
                                       << "999" << true << false;
    }
    void aPaidSlipKeepsWhatWasPaidFor() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, cancelled);
        QFETCH(bool, locked);
        TestDatabase db;
        setup(db);
        addSlip({.no = "260310-001",
                 .deliveredOn = "2026-03-20",
                 .settledAt = kSettled,
                 .price = 12.5,
                 .delivered = 1000});
        execSql("INSERT INTO seisan_t (精算日時, 内職者コード, 削除フラグ) VALUES (?, 'N01', ?)",
                {kSettled, cancelled ? 1 : 0});
        frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
        QVERIFY(showActive(&entry));
        QWidget* w = child<QWidget>(&entry, field);
        QCOMPARE(w->isEnabled(), !locked);
        QCOMPARE(w->toolTip(), locked ? SlipText::PaidField : QString());
        if (auto* c = qobject_cast<QComboBox*>(w))
            c->setEditText(value);
        else if (auto* b = qobject_cast<QCheckBox*>(w))
            b->setChecked(!b->isChecked());
        else
            static_cast<QLineEdit*>(w)->setText(value);
        if (!locked)
            MessageBox::setNextAnswer(Answer::No);
        click(&entry, "cmdUpd");
        QCOMPARE(takeShown(),
                 QStringList{locked ? SlipText::PaidLocked : SlipText::UpdateQuestion});
        QCOMPARE(entry.isVisible(), locked);
        // A save stamps 最終更新日時.
        QCOMPARE(column("260310-001", "最終更新日時").toString() == "2026-01-01 00:00:00", locked);
    }

    void aFullDayKeepsTheScreenOpen() {
        TestDatabase db;
        setup(db);
        addSlip({.no = "260401-999", .deleted = true});
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(showActive(&entry) && box(&entry, "txtDet_0")->text().isEmpty());
        typeNewSlip(&entry, "P-100");
        click(&entry, "cmdUpd");
        QCOMPARE(MessageBox::shown().value(1).icon, MessageBox::Icon::Exclamation);
        QCOMPARE(takeShown(),
                 (QStringList{SlipText::AddQuestion, "本日の伝票番号は上限（999）に達しました。"}));
        QVERIFY(entry.isVisible());
        QCOMPARE(box(&entry, "txtMon_0")->text(), QStringLiteral("1,234"));
        QCOMPARE(slipCount(), qint64(1));
    }
};

QTEST_MAIN(TestSlipEntryScreen)
#include "test_slip_entry_screen.moc"
