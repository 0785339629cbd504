#include "core/screens/listgrid.h"
#include "core/session.h"
#include "slips/screens/frmdennouhin.h"
#include "slips/screens/frmproduct.h"
#include "slips/screens/frmproduct2.h"
#include "slips/slipfixtures.h"
#include "slips/slipscreenfixture.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTest>

using namespace SlipScreens;
using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::column;
using SlipFixtures::slipCount;
using Answer = MessageBox::Answer;

namespace {

const QString kAdd = "製品伝票を追加します。伝票は印刷しますか。\n\n"
                     "（はい）:伝票を印刷する。（いいえ）:伝票を印刷しない。";
const QString kUpdate = "製品伝票を更新します。伝票は印刷しますか。\n\n"
                        "（はい）:伝票を印刷する。（いいえ）:伝票を印刷しない。";
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
    QVERIFY(GuiTest::focused() == first || first->isAncestorOf(GuiTest::focused()));
    for (const QString& text : {QString("N01"), pno, QString("W1"), QString("組立て")}) {
        GuiTest::type(text);
        GuiTest::press(Qt::Key_Return);
    }
    QCOMPARE(GuiTest::focused(), box(entry, "txtDay_0"));
    GuiTest::type("20260315");
    GuiTest::press(Qt::Key_Return);
    GuiTest::type("1234");
    GuiTest::press(Qt::Key_Return);
}

} // namespace

class TestSlipEntryScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void addWithAPrice_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("print");
        QTest::newRow("cancel") << Answer::Cancel << false << false;
        QTest::newRow("no") << Answer::No << true << false;
        QTest::newRow("yes") << Answer::Yes << true << true;
    }
    void addWithAPrice() {
        QFETCH(Answer, answer);
        QFETCH(bool, saved);
        QFETCH(bool, print);
        TestDatabase db;
        setup(db);
        frmProduct list;
        frmProduct2 entry(&list, &list, EditMode::Add);
        QVERIFY(GuiTest::showActive(&entry));
        QCOMPARE(GuiTest::unnamedFields(&entry), QStringList());
        QCOMPARE(child<QLabel>(&entry, "lblMode")->text(), QStringLiteral("追　加"));
        QCOMPARE(box(&entry, "txtDet_0")->text(), QStringLiteral("260401-001"));
        QCOMPARE(box(&entry, "txtDay_0")->text(), QStringLiteral("2026/04/01"));
        typeNewSlip(&entry, "P-100");
        QCOMPARE(box(&entry, "txtMon_0")->text(), QStringLiteral("1,234"));
        QCOMPARE(box(&entry, "txtMon_1")->text(), QStringLiteral("12.500"));
        QCOMPARE(box(&entry, "txtMon_2")->text(), QStringLiteral("15,425"));
        QVERIFY(shownTexts().isEmpty());

        MessageBox::setNextAnswer(answer);
        click(&entry, "cmdUpd");
        QCOMPARE(MessageBox::shown().value(0).buttons, MessageBox::Buttons::YesNoCancel);
        QCOMPARE(shownTexts().value(0), kAdd);
        QCOMPARE(slipCount(), qint64(saved));
        QCOMPARE(entry.isVisible(), !saved);
        QCOMPARE(printed(db, "260401-001"), print);
        if (!saved)
            return;
        QCOMPARE(column("260401-001", "精算単価").toDouble(), 12.5);
        QCOMPARE(column("260401-001", "作業区分").toString(), QStringLiteral("組立て"));
        QCOMPARE(column("260401-001", "依頼日").toString(), QStringLiteral("2026-03-15"));
        QCOMPARE(column("260401-001", "社員コード").toString(), QStringLiteral("001"));
        QCOMPARE(child<ListGrid>(&list, "grd1")->textMatrix(1, 0), QStringLiteral("260401-001"));
    }

    void addWithoutAPrice_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<double>("stored"); // 精算単価, -1 when nothing is saved
        QTest::newRow("cancel") << Answer::Cancel << -1.0;
        QTest::newRow("no: saved at 0") << Answer::No << 0.0;
        QTest::newRow("yes: registered first") << Answer::Yes << 80.0;
    }
    void addWithoutAPrice() {
        QFETCH(Answer, answer);
        QFETCH(double, stored);
        TestDatabase db;
        setup(db);
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(GuiTest::showActive(&entry));
        typeNewSlip(&entry, "P-200");
        QCOMPARE(MessageBox::shown().value(0).icon, MessageBox::Icon::Exclamation);
        QCOMPARE(shownTexts(), QStringList{kNoPrice});
        QCOMPARE(box(&entry, "txtMon_1")->text(), QStringLiteral("0.000"));

        QStringList prefilled;
        if (answer == Answer::Yes)
            onNextModal([&](QWidget* prices) {
                for (const char* name : {"cboPno", "cboWNo", "cboPerson"})
                    prefilled << combo(prices, name)->currentText().left(5);
                box(prices, "txtMon")->setText("80.000");
                box(prices, "txtDay_0")->setText("2026/03/01");
                click(prices, "cmdUpd");
            });
        MessageBox::setNextAnswer(answer);
        click(&entry, "cmdUpd");
        QCOMPARE(shownTexts().value(0), kRegister); // and no print question
        QCOMPARE(slipCount(), qint64(stored >= 0));
        if (answer == Answer::Yes) {
            QCOMPARE(prefilled, (QStringList{"P-200", "W1   ", "N01  "}));
            QCOMPARE(box(&entry, "txtMon_1")->text(), QStringLiteral("80.000"));
        }
        if (stored >= 0)
            QCOMPARE(column("260401-001", "精算単価").toDouble(), stored);
        QVERIFY(!printed(db, "260401-001"));
    }

    void requiredFieldsComeFirst() {
        TestDatabase db;
        setup(db);
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(GuiTest::showActive(&entry));
        // A new slip is compared with "not deleted".
        child<QCheckBox>(&entry, "ChkDel")->click();
        QCOMPARE(shownTexts(), QStringList{kStatusChanges});
        child<QCheckBox>(&entry, "ChkDel")->click();
        QVERIFY(shownTexts().isEmpty());

        box(&entry, "txtDay_0")->clear();
        const QList<std::pair<QWidget*, QString>> order = {{combo(&entry, "cboPno"), "P-100"},
                                                           {combo(&entry, "cboWNo"), "W1"},
                                                           {combo(&entry, "cboPerson"), "N01"},
                                                           {box(&entry, "txtDay_0"), "2026/04/01"}};
        for (const auto& [field, text] : order) {
            click(&entry, "cmdUpd");
            QCOMPARE(shownTexts(), QStringList{kRequired}); // no question before it
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
        const auto edit = [](frmProduct2& entry) {
            QVERIFY(GuiTest::showActive(&entry));
            QCOMPARE(child<QLabel>(&entry, "lblMode")->text(), QStringLiteral("編　集"));
            QCOMPARE(box(&entry, "txtDay_2")->text(), QStringLiteral("2026/03/31"));
        };
        {
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            edit(entry);
            QCOMPARE(box(&entry, "txtMon_1")->text(), QStringLiteral("100.000")); // as paid
            QCOMPARE(box(&entry, "txtMon_2")->text(), QStringLiteral("123,400"));
            box(&entry, "txtMon_3")->setText("990");
            MessageBox::setNextAnswer(Answer::No);
            click(&entry, "cmdUpd");
            QCOMPARE(shownTexts(), QStringList{kUpdate});
            QVERIFY(!entry.isVisible());
        }
        QCOMPARE(column("260310-001", "納入数量").toInt(), 990);
        QCOMPARE(column("260310-001", "精算日時").toString(), kSettled);
        QCOMPARE(column("260310-001", "精算単価").toDouble(), 100.0);
        {
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            edit(entry);
            child<QCheckBox>(&entry, "ChkDel")->click();
            QCOMPARE(shownTexts(), QStringList{kStatusChanges});
            MessageBox::setNextAnswer(Answer::Cancel);
            click(&entry, "cmdUpd");
            QCOMPARE(MessageBox::shown().value(0).buttons, MessageBox::Buttons::OkCancel);
            QCOMPARE(shownTexts(), QStringList{kStatusQuestion});
            QVERIFY(entry.isVisible());
            QCOMPARE(column("260310-001", "削除フラグ").toInt(), 0);
            click(&entry, "cmdUpd"); // OK
            QCOMPARE(shownTexts(), QStringList{kStatusQuestion});
            QCOMPARE(column("260310-001", "削除フラグ").toInt(), 1);
            QCOMPARE(column("260310-001", "精算日時").toString(), kSettled);
        }
        {
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            edit(entry);
            box(&entry, "txtDay_2")->setFocus();
            GuiTest::type("0"); // clears a date
            GuiTest::press(Qt::Key_Tab);
            QCOMPARE(shownTexts(), QStringList{kStatusChanges});
            click(&entry, "cmdUpd");
            QCOMPARE(shownTexts(), QStringList{kStatusQuestion}); // no print question
        }
        QVERIFY(column("260310-001", "精算日時").isNull());
        QCOMPARE(column("260310-001", "精算単価").toDouble(), 120.0); // unsettled: re-priced
    }

    void aFullDayKeepsTheScreenOpen() {
        TestDatabase db;
        setup(db);
        addSlip({.no = "260401-999", .deleted = true});
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(GuiTest::showActive(&entry));
        QVERIFY(box(&entry, "txtDet_0")->text().isEmpty());
        typeNewSlip(&entry, "P-100");
        click(&entry, "cmdUpd");
        QCOMPARE(MessageBox::shown().value(1).icon, MessageBox::Icon::Exclamation);
        QCOMPARE(shownTexts(), (QStringList{kAdd, "本日の伝票番号は上限（999）に達しました。"}));
        QVERIFY(entry.isVisible());
        QCOMPARE(box(&entry, "txtMon_0")->text(), QStringLiteral("1,234"));
        QCOMPARE(slipCount(), qint64(1));
    }

    void deliveryThroughTheScanner() {
        TestDatabase db;
        setup(db);
        addSlip({.no = "260401-001"});
        frmDenNouhin scanner;
        QVERIFY(GuiTest::showActive(&scanner));
        QTest::keyClicks(GuiTest::focused(), "260401-001");
        onNextModal([](QWidget* entry) {
            QVERIFY(GuiTest::showActive(entry));
            box(entry, "txtMon_3")->setFocus();
            GuiTest::type("98");
            GuiTest::press(Qt::Key_Return);
            GuiTest::type("20260402");
            GuiTest::press(Qt::Key_Return);
            MessageBox::setNextAnswer(Answer::No);
            click(entry, "cmdUpd");
        });
        GuiTest::press(Qt::Key_Return);
        QCOMPARE(shownTexts(), QStringList{kUpdate});
        QCOMPARE(column("260401-001", "納入日").toString(), QStringLiteral("2026-04-02"));
        QCOMPARE(column("260401-001", "納入数量").toInt(), 98);
        QCOMPARE(scanner.focusWidget(), box(&scanner, "TextDno"));
        QVERIFY(box(&scanner, "TextDno")->text().isEmpty());
    }
};

QTEST_MAIN(TestSlipEntryScreen)
#include "test_slip_entry_screen.moc"
