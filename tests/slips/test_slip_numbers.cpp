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

SlipInput newSlip() {
    SlipInput in;
    in.pno = QStringLiteral("P-100");
    in.wno = QStringLiteral("W1");
    in.person = QStringLiteral("N01");
    in.requestDate = QStringLiteral("2026/04/01");
    in.issued = QStringLiteral("10");
    return in;
}

constexpr int kSavesPerWriter = 150;

// Run as a child process: issues slips as fast as it can and prints how
// many saves failed and why.
int issueSlipsConcurrently(const QString& path) {
    Clock::setFixed(kNow);
    DBOpenPath(path);
    gEmpCode = QStringLiteral("E001");
    int failed = 0;
    QString reason;
    for (int i = 0; i < kSavesPerWriter; ++i) {
        try {
            InsertSlip(newSlip());
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
        QTest::addColumn<QStringList>("existing"); // "-" before a number marks it deleted
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of the day") << QStringList() << "260401-001";
        QTest::newRow("after 003, deleted")
            << QStringList{"260401-001", "-260401-003"} << "260401-004";
        QTest::newRow("other days ignored")
            << QStringList{"260331-017", "260402-005", "270401-009"} << "260401-001";
        QTest::newRow("the 999th") << QStringList{"260401-998"} << "260401-999";
        QTest::newRow("day full") << QStringList{"260401-999"} << "";
    }
    void nextNumberOfTheDay() {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        TestDatabase db(kNow);
        for (QString no : existing) {
            const bool deleted = no.startsWith(QLatin1Char('-'));
            addSlip({.no = no.remove(0, deleted ? 1 : 0), .deleted = deleted});
        }
        QCOMPARE(NewSlipNo(), expected);
    }

    void insertTakesTheNumberAtSaveAndStopsWhenTheDayIsFull() {
        TestDatabase db(kNow);
        const SlipRecord opened = NewSlipRecord();
        QCOMPARE(opened.requestDate, QStringLiteral("2026/04/01"));
        addSlip({.no = QStringLiteral("260401-001")}); // another program saved meanwhile
        QCOMPARE(InsertSlip(newSlip()), QStringLiteral("260401-002"));
        QCOMPARE(opened.slipNo, QStringLiteral("260401-001"));

        addSlip({.no = QStringLiteral("260401-999"), .deleted = true});
        const qint64 before = SlipFixtures::slipCount();
        try {
            InsertSlip(newSlip());
            QFAIL("the 1000th slip of a day must be refused");
        } catch (const AppError& e) {
            QCOMPARE(e.text(), SlipText::DayFull);
        }
        QCOMPARE(SlipFixtures::slipCount(), before);
        QCOMPARE(NewSlipRecord().slipNo, QString()); // the screen opens without a number
        // The next day starts again at 001.
        Clock::setFixed(kNow.addDays(1));
        QCOMPARE(InsertSlip(newSlip()), QStringLiteral("260402-001"));
    }

    void twoProgramsSavingAtOnceNeverShareANumber() {
        TestDatabase t(kNow);
        QList<QProcess*> writers;
        for (int i = 0; i < 2; ++i) {
            auto* p = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TARVEL_SLIP_WRITER"), t.path());
            p->setProcessEnvironment(env);
            p->start(QCoreApplication::applicationFilePath(), {});
            writers << p;
        }
        for (QProcess* p : writers) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            const QString report = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
            QVERIFY2(report == QStringLiteral("0"), qPrintable(report));
        }
        qDeleteAll(writers);
        SqlQuery q(QStringLiteral("SELECT 製品伝票番号 FROM seihin_t"));
        q.exec();
        QSet<QString> numbers;
        int rows = 0;
        while (q.next()) {
            numbers.insert(q.str(QStringLiteral("製品伝票番号")));
            ++rows;
        }
        QCOMPARE(rows, 2 * kSavesPerWriter);
        QCOMPARE(numbers.size(), rows);
        QVERIFY(numbers.contains(QStringLiteral("260401-300")));
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
