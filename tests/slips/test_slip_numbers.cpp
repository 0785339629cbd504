#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/session.h"
#include "slips/slipfixtures.h"
#include "slips/slipnumber.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "support/testdatabase.h"

#include <QProcess>
#include <QSet>
#include <QTest>
#include <cstdio>

using SlipFixtures::addSlip;

namespace {

const QDateTime kNow(QDate(2026, 4, 1), QTime(9, 30, 0)); // numbers start 260401-
const SlipInput kSlip{
    .pno = "P-100", .wno = "W1", .person = "N01", .requestDate = "2026/04/01", .issued = "10"};
constexpr int kSavesPerWriter = 150;

// Run as a child process: issues slips as fast as it can and prints how
// many saves failed and why.
int issueSlipsConcurrently(const QString& path) {
    Clock::setFixed(kNow);
    DBOpenPath(path);
    gEmpCode = "E001";
    int failed = 0;
    QString reason;
    for (int i = 0; i < kSavesPerWriter; ++i) {
        try {
            InsertSlip(kSlip);
        } catch (const AppError& e) {
            ++failed;
            reason = e.text();
        }
    }
    std::printf("%d %s\n", failed, reason.toUtf8().constData());
    return 0;
}

} // namespace

class TestSlipNumbers : public QObject {
    Q_OBJECT
  private slots:
    void nextNumberOfTheDay_data() {
        QTest::addColumn<QStringList>("existing"); // "-" before a number: deleted
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of the day") << QStringList() << "260401-001";
        QTest::newRow("after 003, deleted")
            << QStringList{"260401-001", "-260401-003"} << "260401-004";
        QTest::newRow("other days ignored")
            << QStringList{"260331-017", "260402-005", "270401-009"} << "260401-001";
        QTest::newRow("the 999th") << QStringList{"260401-998"} << "260401-999";
        QTest::newRow("day full") << QStringList{"-260401-999"} << "";
    }
    void nextNumberOfTheDay() {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        TestDatabase db(kNow);
        for (QString no : existing) {
            const bool deleted = no.startsWith('-');
            addSlip({.no = no.remove(0, deleted ? 1 : 0), .deleted = deleted});
        }
        QCOMPARE(NewSlipNo(), expected);
        // Saving takes that number, or refuses and writes nothing.
        const qint64 before = SlipFixtures::slipCount();
        QString saved;
        try {
            saved = InsertSlip(kSlip);
        } catch (const AppError& e) {
            saved = e.text();
        }
        QCOMPARE(saved, expected.isEmpty() ? SlipText::DayFull : expected);
        QCOMPARE(SlipFixtures::slipCount(), before + (expected.isEmpty() ? 0 : 1));
    }

    void numberShownAtOpeningIsTakenAgainAtSave() {
        TestDatabase db(kNow);
        const SlipRecord opened = NewSlipRecord();
        QCOMPARE(opened.slipNo + " " + opened.requestDate, QStringLiteral("260401-001 2026/04/01"));
        addSlip({.no = "260401-001"}); // another program saved meanwhile
        QCOMPARE(InsertSlip(kSlip), QStringLiteral("260401-002"));
    }

    void twoProgramsSavingAtOnceNeverShareANumber() {
        TestDatabase t(kNow);
        QList<QProcess*> writers;
        for (int i = 0; i < 2; ++i) {
            auto* p = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("TARVEL_SLIP_WRITER", t.path());
            p->setProcessEnvironment(env);
            p->start(QCoreApplication::applicationFilePath(), {});
            writers << p;
        }
        for (QProcess* p : writers) {
            QVERIFY(p->waitForFinished(120000));
            const QString report = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
            QVERIFY2(p->exitCode() == 0 && report == "0", qPrintable(report));
        }
        qDeleteAll(writers);
        SqlQuery q("SELECT 製品伝票番号 FROM seihin_t");
        q.exec();
        QSet<QString> numbers;
        while (q.next())
            numbers.insert(q.str("製品伝票番号"));
        QCOMPARE(numbers.size(), 2 * kSavesPerWriter); // the key refuses a shared number
        QVERIFY(numbers.contains("260401-300"));
    }
};

int main(int argc, char** argv) {
    const QString writerPath = qEnvironmentVariable("TARVEL_SLIP_WRITER");
    if (!writerPath.isEmpty())
        return issueSlipsConcurrently(writerPath);
    QCoreApplication app(argc, argv);
    TestSlipNumbers test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_slip_numbers.moc"
