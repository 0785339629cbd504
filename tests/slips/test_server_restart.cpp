#include "core/screens/listgrid.h"
#include "core/session.h"
#include "masters/masterdef.h"
#include "masters/screens/masterlistscreen.h"
#include "slips/screens/frmproduct2.h"
#include "slips/slipfixtures.h"
#include "support/screenlog.h"
#include "support/testdatabase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// Screens across a restart of the server, as a crash would leave it (runs
// alone, on a server only: the restart cuts every connection to it).
using namespace GuiTest;
using namespace ScreenLog;

namespace {

void restartServer() {
    const QString dsn = qEnvironmentVariable("TARVEL_TEST_PG_DSN");
    const QString dir = QRegularExpression("host=(\\S+)").match(dsn).captured(1);
    QProcess p;
    p.start(TARVEL_SOURCE_DIR "/scripts/pg-cluster.sh", {"restart", dir});
    QVERIFY(p.waitForFinished(120000) && p.exitCode() == 0);
}

} // namespace

class TestServerRestart : public QObject {
    Q_OBJECT
  private slots:
    // A slip typed before the restart is saved at the second try, and a
    // list whose loading met the restart closes, then opens full.
    void screensConnectAgain() {
        if (!TestDatabase::onServer())
            QSKIP("needs the throwaway server of scripts/test.sh");
        MessageBox::setTestMode(true);
        TestDatabase db;
        db.writeIni("[Print]\nOutput=pdf\n");
        PriceFixtures::addMasters();
        PriceFixtures::addLine(1, "P-100", "W1", "N01", 12.5, "2026/01/01");
        gEmpCode = "001";
        QStringList log;
        {
            frmProduct2 entry(nullptr, nullptr, EditMode::Add);
            QVERIFY(showActive(&entry));
            type("N01");
            for (const char* text : {"P-100", "W1", "組立て", "20260315", "1234"}) {
                press(Qt::Key_Return);
                type(text);
            }
            press(Qt::Key_Return);
            restartServer();
            for (int attempt = 1; attempt <= 3 && entry.isVisible(); ++attempt) {
                click(&entry, "cmdUpd");
                log << QStringLiteral("save %1: %2")
                           .arg(attempt)
                           .arg(seen())
                           .replace(db.dirPath(), "<folder>");
            }
            log << QStringLiteral("slips: %1").arg(SlipFixtures::slipCount());
        }
        restartServer();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QString shown = "no list";
            onNextModal([&](QWidget* list) {
                shown = "list of " + child<ListGrid>(list, "grd1")->textMatrix(1, 1);
                list->close();
            });
            openMasterList(pnoMaster(), nullptr);
            log << QStringLiteral("drawings %1: %2, %3").arg(attempt).arg(seen(), shown);
        }
        const QString d = differs("server-restart.txt", log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
};

QTEST_MAIN(TestServerRestart)
#include "test_server_restart.moc"
