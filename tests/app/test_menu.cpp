#include "app/frmmenu.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/screens/appsetup.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "slips/slipfixtures.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kAlwaysOn = {QStringLiteral("cmdNouhin"), QStringLiteral("cmdProduct"),
                               QStringLiteral("cmdExit")};
const QStringList kFullMenuOnly = {QStringLiteral("cmdAccount"),  QStringLiteral("cmdEMP"),
                                   QStringLiteral("cmdPerson"),   QStringLiteral("cmdWorkCd"),
                                   QStringLiteral("cmdWrkPrice"), QStringLiteral("cmdPNo")};

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
        struct Case {
            QString ini;
            bool full;
        };
        const QList<Case> cases = {
            {QStringLiteral("[Access]\nUID=0\n[User]\nName=株式会社　見本\n"), true},
            {QStringLiteral("[Access]\nUID = 0 \n"), true},
            {QStringLiteral("[Access]\nUID=1\n[User]\nName=株式会社　見本\n"), false},
            {QStringLiteral("[Access]\nUID=\n"), false},
            {QStringLiteral("[Access]\nUID=00\n"), false},
            {QStringLiteral("[Access]\nDSN=x\n"), false}, // no UID key
            {QStringLiteral("[User]\nUID=0\n"), false},   // UID under another section
        };
        for (const Case& c : cases) {
            t.writeIni(c.ini);
            FrmMenu menu;
            for (const QString& name : kAlwaysOn)
                QVERIFY2(GuiTest::child<QPushButton>(&menu, name)->isEnabled(),
                         qPrintable(c.ini + name));
            for (const QString& name : kFullMenuOnly)
                QVERIFY2(GuiTest::child<QPushButton>(&menu, name)->isEnabled() == c.full,
                         qPrintable(c.ini + name));
            const QString user = menu.findChild<QLabel*>(QStringLiteral("SystemUserName"))->text();
            QCOMPARE(user, c.ini.contains(QStringLiteral("Name="))
                               ? QStringLiteral("株式会社　見本")
                               : QString());
        }
    }

    void exitAndEscapeCloseTheConnectionAndEndTheProgram() {
        for (const bool byEscape : {false, true}) {
            TestDatabase t;
            t.writeIni(QStringLiteral("[Access]\nUID=0\n"));
            int ends = 0;
            bool openAtEnd = true;
            FrmMenu::setEndProgram([&] {
                ++ends;
                openAtEnd = DBIsOpen();
            });
            FrmMenu menu;
            QVERIFY(GuiTest::showActive(&menu));
            QVERIFY(DBIsOpen());
            if (byEscape)
                QTest::keyClick(GuiTest::child<QPushButton>(&menu, QStringLiteral("cmdPNo")),
                                Qt::Key_Escape);
            else
                QTest::mouseClick(GuiTest::child<QPushButton>(&menu, QStringLiteral("cmdExit")),
                                  Qt::LeftButton);
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

    void tabAndEnterFollowTheButtonOrder() {
        TestDatabase t;
        t.writeIni(QStringLiteral("[Access]\nUID=0\n"));
        int ends = 0;
        FrmMenu::setEndProgram([&ends] { ++ends; });
        FrmMenu menu;
        QVERIFY(GuiTest::showActive(&menu));
        const QStringList order = {QStringLiteral("cmdNouhin"),  QStringLiteral("cmdAccount"),
                                   QStringLiteral("cmdProduct"), QStringLiteral("cmdWrkPrice"),
                                   QStringLiteral("cmdPerson"),  QStringLiteral("cmdEMP"),
                                   QStringLiteral("cmdWorkCd"),  QStringLiteral("cmdPNo"),
                                   QStringLiteral("cmdLedger"),  QStringLiteral("cmdExit")};
        // Enter walks the button order and never presses a button.
        GuiTest::child<QPushButton>(&menu, order.first())->setFocus();
        for (int i = 1; i < order.size(); ++i) {
            GuiTest::press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
        }
        QCOMPARE(ends, 0);
        QVERIFY(DBIsOpen());
        GuiTest::press(Qt::Key_Space); // on 終　了
        QCOMPARE(ends, 1);
        QVERIFY(!DBIsOpen());
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
