#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/session.h"
#include "slips/slipfixtures.h"
#include "slips/slipnumber.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "support/testdatabase.h"
#include "support/writercopies.h"

#include <QSet>
#include <QTest>

using SlipFixtures::addSlip;

namespace {

const QDateTime kNow(QDate(2026, 4, 1), QTime(9, 30, 0)); // numbers start 260401-
const SlipInput kSlip{
    .pno = "P-100", .wno = "W1", .person = "N01", .requestDate = "2026/04/01", .issued = "10"};
constexpr int kSavesPerWriter = 150;

// One copy's part of the race: issues slips as fast as it can.
void issueSlipsConcurrently(const QString& path, int) {
    Clock::setFixed(kNow);
    DBOpenPath(path);
    gEmpCode = "E001";
    WriterCopies::reportFailures(kSavesPerWriter, [](int) { InsertSlip(kSlip); });
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
        QCOMPARE(opened.slipNo + " " + opened.requestDate, "260401-001 2026/04/01");
        addSlip({.no = "260401-001"}); // another program saved meanwhile
        QCOMPARE(InsertSlip(kSlip), "260401-002");
    }

    void twoProgramsSavingAtOnceNeverShareANumber() {
        TestDatabase t(kNow);
        for (const QString& report : WriterCopies::run(t.path(), 2))
            QVERIFY2(report == "0", qPrintable(report));
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
    if (int code = 0; WriterCopies::runIfCopy(issueSlipsConcurrently, code))
        return code;
    QCoreApplication app(argc, argv);
    TestSlipNumbers test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_slip_numbers.moc"
