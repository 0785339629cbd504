#include "app/frmmenu.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/screens/appsetup.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "masters/masterdef.h"
#include "slips/slipfixtures.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace GuiTest;

namespace {

const QStringList kAlwaysOn = {"cmdNouhin", "cmdProduct", "cmdExit"};
const QStringList kFullMenuOnly = {"cmdAccount",  "cmdEMP", "cmdPerson", "cmdWorkCd",
                                   "cmdWrkPrice", "cmdPNo", "cmdLedger"};

} // namespace

class TestMenu : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    void cleanup() { FrmMenu::setEndProgram(nullptr); }

    void accessSettingDecidesTheButtons() {
        TestDatabase t;
        const std::pair<QString, bool> cases[] = {
            {"[Access]\nUID=0\n[User]\nName=株式会社　見本\n", true},
            {"[Access]\nUID = 0 \n", true},
            {"[Access]\nUID=1\n[User]\nName=株式会社　見本\n", false},
            {"[Access]\nUID=00\n", false},
            {"[Access]\nDSN=x\n", false}, // no UID key
            {"[User]\nUID=0\n", false},   // UID under another section
        };
        for (const auto& [ini, full] : cases) {
            t.writeIni(ini);
            FrmMenu menu;
            for (const QString& name : kAlwaysOn + kFullMenuOnly)
                QVERIFY2(child<QPushButton>(&menu, name)->isEnabled() ==
                             (full || kAlwaysOn.contains(name)),
                         qPrintable(ini + name));
            QCOMPARE(child<QLabel>(&menu, "SystemUserName")->text(),
                     ini.contains("Name=") ? "株式会社　見本" : "");
        }
    }

    void everyButtonOpensItsScreen() {
        TestDatabase t;
        t.writeIni("[Access]\nUID=0\n");
        FrmMenu menu;
        const std::pair<QString, QString> buttons[] = {
            {"cmdNouhin", "frmDenNouhin"},      {"cmdAccount", "frmAccount"},
            {"cmdProduct", "frmProduct"},       {"cmdWrkPrice", "frmWrkPriceMnt"},
            {"cmdPNo", pnoMaster().listScreen}, {"cmdWorkCd", workCodeMaster().listScreen},
            {"cmdEMP", empMaster().listScreen}, {"cmdPerson", personMaster().listScreen},
            {"cmdLedger", "frmLedger"}};
        for (const auto& [button, screen] : buttons) {
            QString opened;
            onNextModal([&opened](QWidget* s) {
                opened = s->objectName();
                QTest::keyClick(s, Qt::Key_Escape);
                s->close();
            });
            click(&menu, button);
            QCOMPARE(opened, screen);
            QVERIFY(!QApplication::activeModalWidget());
        }
    }

    void exitAndEscapeCloseTheConnectionAndEndTheProgram() {
        for (const bool byEscape : {false, true}) {
            TestDatabase t;
            t.writeIni("[Access]\nUID=0\n");
            int ends = 0;
            bool openAtEnd = true;
            FrmMenu::setEndProgram([&] {
                ++ends;
                openAtEnd = DBIsOpen();
            });
            FrmMenu menu;
            QVERIFY(showActive(&menu));
            QVERIFY(DBIsOpen());
            if (byEscape)
                QTest::keyClick(child<QPushButton>(&menu, "cmdPNo"), Qt::Key_Escape);
            else
                QTest::mouseClick(child<QPushButton>(&menu, "cmdExit"), Qt::LeftButton);
            QCOMPARE(ends, 1);
            QVERIFY(!openAtEnd);
            QVERIFY(!DBIsOpen());
            QVERIFY(!menu.isVisible());
            QVERIFY(MessageBox::shown().isEmpty()); // no question asked
        }
    }

    void lateUnsettledSlipsAreWarnedOfAndOpenInTheSlipSearch() {
        TestDatabase t(QDateTime(QDate(2026, 4, 1), QTime(9, 0)));
        t.writeIni(QStringLiteral("[Access]\nUID=0\n"));
        SlipFixtures::addSlip({.no = "260227-001", .deliveredOn = "2026-02-27"}); // paid by 03-31
        SlipFixtures::addSlip({.no = "260302-001", .deliveredOn = "2026-03-02"}); // by 04-30
        FrmMenu menu;
        QVERIFY(GuiTest::showActive(&menu));
        const auto text = [&menu](const char* name) {
            return menu.findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        QCOMPARE(text("lblPayWarning"),
                 QStringLiteral(
                     "支払期限を過ぎた未精算の伝票が 1 枚あります（最も古い納入日 2026/02/27）"));
        QCOMPARE(text("lblDueSoon"), QString());
        QStringList listed;
        QTimer::singleShot(0, [&listed] {
            QWidget* search = QApplication::activeModalWidget();
            auto* grid = search->findChild<ListGrid*>(QStringLiteral("grd1"));
            for (int row = 1; row < grid->rows(); ++row)
                listed << grid->textMatrix(row, 1);
            listed.removeAll(QString()); // the layout's empty rows
            search->close();
        });
        QTest::mouseClick(GuiTest::child<QPushButton>(&menu, QStringLiteral("cmdOverdue")),
                          Qt::LeftButton);
        QCOMPARE(listed, QStringList{QStringLiteral("260227-001")});

        t.writeIni(QStringLiteral("[HomeWork]\nPayDay=翌々月10日\n"));
        FrmMenu wrongTerms;
        QVERIFY(wrongTerms.findChild<QLabel*>(QStringLiteral("lblPayWarning"))
                    ->text()
                    .contains(QStringLiteral("[HomeWork] PayDay")));
        QVERIFY(GuiTest::child<QPushButton>(&wrongTerms, QStringLiteral("cmdOverdue"))->isHidden());
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
