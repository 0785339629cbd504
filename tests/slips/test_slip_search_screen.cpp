#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/listgrid.h"
#include "slips/screens/frmdennouhin.h"
#include "slips/screens/frmproduct.h"
#include "slips/slipfixtures.h"
#include "support/guitest.h"
#include "support/screenlog.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTest>

using namespace GuiTest;
using namespace ScreenLog;

namespace {

void addSlips() {
    PriceFixtures::addMasters();
    SlipFixtures::addSixSlips();
}

// The listed numbers, their last five characters.
QString listed(frmProduct& screen) {
    auto* grid = child<ListGrid>(&screen, "grd1");
    QStringList out;
    for (int r = 1; r < grid->rows() && !grid->textMatrix(r, 0).isEmpty(); ++r)
        out << grid->textMatrix(r, 0).right(5);
    return out.join(QLatin1Char(' '));
}

QString label(QWidget* entry) {
    return child<QLabel>(entry, "lblMode")->text() + box(entry, "txtDet_0")->text();
}

} // namespace

class TestSlipSearchScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    // One case per kind of filter box; the list's own test has the rest.
    void filtersReachTheList() {
        TestDatabase db;
        addSlips();
        frmProduct s;
        const QString d = goldenCases("search-filters.txt", [&s](const QStringList& f) {
            child<QCheckBox>(&s, "ChkDel")->setChecked(f[0].contains("deleted"));
            child<QCheckBox>(&s, "chkFin")->setChecked(f[0].contains("delivered"));
            child<QCheckBox>(&s, "chkPerson")->setChecked(f[1] != "*");
            child<QCheckBox>(&s, "ChkPno")->setChecked(f[2] != "*");
            child<QCheckBox>(&s, "chkOrder")->setChecked(f[3] != "*");
            combo(&s, "cboPerson")->setEditText(f[1] == "-" ? "" : f[1]);
            combo(&s, "cboPno")->setEditText(f[2] == "-" ? "" : f[2]);
            box(&s, "txtDet_0")->setText(f[3].section("..", 0, 0));
            box(&s, "txtDet_1")->setText(f[3].section("..", 1));
            click(&s, "cmdSelect");
            return listed(s) +
                   QStringLiteral(", %1 rows, ").arg(child<ListGrid>(&s, "grd1")->rows()) + seen();
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void filterBoxesFollowTheirCheckBoxes() {
        TestDatabase db;
        addSlips();
        frmProduct screen;
        QVERIFY(showActive(&screen));
        QCOMPARE(unnamedFields(&screen), QStringList());
        for (const char* name : {"cboPerson", "cboPno", "txtDet_0", "txtDet_1"})
            QVERIFY2(!child<QWidget>(&screen, name)->isEnabled(), name); // until checked
        auto* byPerson = child<QCheckBox>(&screen, "chkPerson");
        byPerson->setChecked(true);
        combo(&screen, "cboPerson")->setEditText("N01");
        byPerson->setChecked(false);
        QVERIFY(combo(&screen, "cboPerson")->currentText().isEmpty());

        // Slip numbers: digits and "-", ten at most; the range must rise.
        child<QCheckBox>(&screen, "chkOrder")->setChecked(true);
        QLineEdit* from = box(&screen, "txtDet_0");
        QLineEdit* to = box(&screen, "txtDet_1");
        from->setFocus();
        QTest::keyClicks(from, "26a0401-0055");
        QCOMPARE(from->text(), "260401-005");
        QTest::keyClick(from, Qt::Key_Return);
        QTest::keyClicks(to, "260401-005"); // equal bounds
        QTest::keyClick(to, Qt::Key_Return);
        QCOMPARE(takeShown(), QStringList{"大小関係に誤りがあります。"});
        QCOMPARE(focused(), to);
        to->setText("260401-006");
        from->setText("260401-009"); // changed after the upper bound was left
        click(&screen, "cmdSelect");
        QCOMPARE(takeShown(), QStringList{"大小関係に誤りがあります。"});
    }

    void activationEditorAndReprint() {
        TestDatabase db;
        db.writeIni("[Print]\nOutput=pdf\n[User]\nName=株式会社デモ精工\n");
        addSlips();
        execSql("UPDATE seihin_t SET 依頼日 = '2026-04-01' WHERE 製品伝票番号 LIKE '260402%'");
        frmProduct screen;
        QVERIFY(showActive(&screen));
        auto* grid = child<ListGrid>(&screen, "grd1");
        QVERIFY(box(&screen, "txtReqDay")->text() == "2026/04/01" && focused() == grid);

        // Each way into the entry screen, and back: today again, the grid focused.
        QStringList opened;
        const auto openWith = [&](const std::function<void()>& action) {
            box(&screen, "txtReqDay")->setText("2026/03/10");
            onNextModal([&](QWidget* entry) {
                opened << label(entry);
                QTest::keyClick(entry, Qt::Key_Escape);
            });
            action();
            QVERIFY(box(&screen, "txtReqDay")->text() == "2026/04/01" &&
                    screen.focusWidget() == grid);
        };
        openWith([&] { click(&screen, "cmdIns"); });
        grid->selectRow(2);
        openWith([&] { click(&screen, "cmdUpd"); });
        openWith([&] { emit grid->rowDoubleClicked(2); });
        child<QCheckBox>(&screen, "chkPerson")->setChecked(true); // lists nothing
        click(&screen, "cmdSelect");
        grid->selectRow(1); // a row of the empty layout
        QVERIFY(!child<QPushButton>(&screen, "cmdUpd")->isEnabled());
        openWith([&] { emit grid->rowDoubleClicked(1); });
        QCOMPARE(opened, (QStringList{"追　加260401-005", "編　集260402-001", "編　集260402-001",
                                      "追　加260401-005"}));

        // 伝票印刷: every slip requested that day, after the question.
        const QDir print(QDir(db.dirPath()).filePath("print"));
        MessageBox::setNextAnswer(MessageBox::Answer::No);
        click(&screen, "CommandDenpyo");
        QCOMPARE(seen(), "[- YesNo] 指定された依頼日の伝票をすべて印刷します｡ ");
        QVERIFY(print.entryList(QDir::Files).isEmpty());
        click(&screen, "CommandDenpyo");
        QCOMPARE(print.entryList(QDir::Files), (QStringList{"260402-001.pdf", "260402-002.pdf"}));
    }

    void deliveryScreenOpensTheScannedSlip() {
        TestDatabase db;
        addSlips();
        frmDenNouhin screen;
        QVERIFY(showActive(&screen) && !FormBehaviour::of(&screen));
        QCOMPARE(unnamedFields(&screen), QStringList());
        QLineEdit* scan = box(&screen, "TextDno");
        // The entry screen is walked as the clerk does: 納入数量, 納入日, save.
        QStringList opened;
        const auto scanIn = [&](const QString& typed, bool deliver = false) {
            QTest::keyClicks(scan, typed);
            onNextModal([&, deliver](QWidget* entry) {
                opened << label(entry);
                if (!deliver) {
                    entry->close();
                    return;
                }
                QVERIFY(showActive(entry));
                box(entry, "txtMon_3")->setFocus();
                for (const char* text : {"98", "20260402"}) {
                    type(text);
                    press(Qt::Key_Return);
                }
                MessageBox::setNextAnswer(MessageBox::Answer::No);
                click(entry, "cmdUpd");
            });
            QTest::keyClick(scan, Qt::Key_Return);
            QVERIFY2(scan->text().isEmpty() && screen.focusWidget() == scan, qPrintable(typed));
        };
        scanIn("260401-001", true);
        QCOMPARE(SlipFixtures::column("260401-001", "納入日").toString() + "|" +
                     SlipFixtures::column("260401-001", "納入数量").toString(),
                 "2026-04-02|98");
        scanIn("260401-003"); // deleted
        scanIn("260402-002 ");
        QCOMPARE(opened, (QStringList{"編　集260401-001", "編　集260401-003", "編　集260402-002"}));
        takeShown();
        scanIn("260401-999"); // no screen opens
        QCOMPARE(seen(), "[x Ok] 伝票(260401-999)は登録されていません。");
        QCOMPARE(opened.size(), 3);
        QTest::keyClick(scan, Qt::Key_Escape); // only the close button closes it
        QVERIFY(screen.isVisible());
    }
};

QTEST_MAIN(TestSlipSearchScreen)
#include "test_slip_search_screen.moc"
