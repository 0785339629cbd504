#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/listgrid.h"
#include "slips/screens/frmdennouhin.h"
#include "slips/screens/frmproduct.h"
#include "slips/slipfixtures.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTest>

using namespace GuiTest;

namespace {

// What the clerk sets before 抽出.
struct Filters {
    bool hideDeleted = true, hideDelivered = true;
    std::optional<QString> person{}, pno{}; // checked filter with this text
    std::optional<std::pair<QString, QString>> range{};
};

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

Q_DECLARE_METATYPE(Filters)

class TestSlipSearchScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void filtersReachTheList_data() {
        QTest::addColumn<Filters>("filters");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start state") << Filters() << "1-001 2-001 2-002";
        QTest::newRow("drawing number item, all shown")
            << Filters{false, false, {}, "P-200               　カバー"} << "1-003 2-001";
        QTest::newRow("checked, box empty") << Filters{false, false, ""} << "";
        QTest::newRow("together") << Filters{.person = "N01",
                                             .pno = "P-100",
                                             .range = {{"260401-001", "260402-002"}}}
                                  << "1-001 2-002";
    }
    void filtersReachTheList() {
        QFETCH(Filters, filters);
        TestDatabase db;
        addSlips();
        frmProduct s;
        child<QCheckBox>(&s, "ChkDel")->setChecked(filters.hideDeleted);
        child<QCheckBox>(&s, "chkFin")->setChecked(filters.hideDelivered);
        child<QCheckBox>(&s, "chkPerson")->setChecked(filters.person.has_value());
        child<QCheckBox>(&s, "ChkPno")->setChecked(filters.pno.has_value());
        child<QCheckBox>(&s, "chkOrder")->setChecked(filters.range.has_value());
        combo(&s, "cboPerson")->setEditText(filters.person.value_or(QString()));
        combo(&s, "cboPno")->setEditText(filters.pno.value_or(QString()));
        if (filters.range) {
            box(&s, "txtDet_0")->setText(filters.range->first);
            box(&s, "txtDet_1")->setText(filters.range->second);
        }
        click(&s, "cmdSelect");
        QFETCH(QString, expected);
        QCOMPARE(listed(s), expected);
        QVERIFY(takeShown().isEmpty());
        // One row per slip found; none found keeps the empty layout.
        const int rows = child<ListGrid>(&s, "grd1")->rows();
        QVERIFY(expected.isEmpty() ? rows > 1 : rows == expected.count(' ') + 2);
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
        QCOMPARE(MessageBox::shown().value(0).buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(takeShown(), QStringList{"指定された依頼日の伝票をすべて印刷します｡ "});
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
        QTest::keyClicks(scan, "260401-999");
        QTest::keyClick(scan, Qt::Key_Return);
        QVERIFY(scan->text().isEmpty());
        QCOMPARE(takeShown(), QStringList{"伝票(260401-999)は登録されていません。"});
        QTest::keyClick(scan, Qt::Key_Escape); // only the close button closes it
        QVERIFY(screen.isVisible());
    }
};

QTEST_MAIN(TestSlipSearchScreen)
#include "test_slip_search_screen.moc"
