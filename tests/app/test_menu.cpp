#include "app/frmmenu.h"
#include "core/database.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "masters/masterdef.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace GuiTest;

namespace {

const QStringList kAlwaysOn = {"cmdNouhin", "cmdProduct", "cmdExit"};
const QStringList kFullMenuOnly = {"cmdAccount", "cmdEMP",      "cmdPerson",
                                   "cmdWorkCd",  "cmdWrkPrice", "cmdPNo"};

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
            {"cmdEMP", empMaster().listScreen}, {"cmdPerson", personMaster().listScreen}};
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
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
