#include "core/database.h"
#include "core/sqlvalues.h"
#include "demodata.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "settlement/cashbreakdown.h"
#include "support/golden.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "transfer/transferfile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace TestRuns;

namespace {

const char* const kIni = "[Transfer]\nClientCode=0012345678\nClientName=ｶ)ﾃｽﾄｾｲｻｸｼﾖ\n"
                         "BankCode=0901\nBankName=ﾃｽﾄｷﾞﾝｺｳ\nBranchCode=101\nBranchName=ﾎﾝﾃﾝ\n"
                         "AccountType=1\nAccountNumber=7654321\n";
const QDateTime kRun(QDate(2026, 3, 31), QTime(17, 0));

// A home-worker; bank "" leaves the account out, method 1 pays by transfer.
void addWorker(const char* code, const char* name, int method, const char* bank = "0005",
               const char* holder = "ﾔﾏﾀﾞ ﾊﾅｺ") {
    execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 支払方法, 銀行コード,"
                           " 支店コード, 預金種目, 口座番号, 口座名義, 削除フラグ)"
                           " VALUES (?, ?, ?, ?, '123', 1, '0001234', ?, 0)"),
            {code, QString::fromUtf8(name), method, bank, QString::fromUtf8(holder)});
}

void addRow(const QDateTime& run, const char* code, Yen total, bool cancelled = false) {
    execSql(
        QStringLiteral("INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日,"
                       " 精算対象最終日, 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 削除フラグ)"
                       " VALUES (?, ?, '2026-03-01', '2026-03-31', 1, ?, 0, ?, ?)"),
        {SqlValue::dateTime(run), code, total, total, cancelled ? 1 : 0});
}

// The file as text: printable ASCII as it is, any other byte as <XX>, a
// line after each CR LF.
QString shown(const QByteArray& file) {
    QString text;
    for (const char c : file) {
        const auto b = uchar(c);
        text += b >= 0x20 && b < 0x7F
                    ? QString(QChar(b))
                    : QStringLiteral("<%1>").arg(uint(b), 2, 16, QLatin1Char('0')).toUpper();
        if (b == 0x0A)
            text += QLatin1Char('\n');
    }
    return text;
}

// Reads a file back by the banks' rules; "" when it keeps them all.
QString formatProblems(const QByteArray& file) {
    const auto digits = [](const QByteArray& r, int from, int to) {
        for (int i = from - 1; i < to; ++i)
            if (r[i] < '0' || r[i] > '9')
                return false;
        return true;
    };
    if (file.size() % 122 != 0)
        return QStringLiteral("size %1 is no multiple of 122").arg(file.size());
    QList<QByteArray> records;
    for (qsizetype at = 0; at < file.size(); at += 122) {
        if (file.mid(at + 120, 2) != "\r\n")
            return QStringLiteral("record %1 is not ended by CR LF").arg(records.size() + 1);
        records << file.mid(at, 120);
    }
    QByteArray kinds;
    qint64 sum = 0;
    for (const QByteArray& r : records) {
        for (const char c : r) {
            const auto b = uchar(c);
            if (!(b == ' ' || QByteArray("().-/").contains(c) || (b >= '0' && b <= '9') ||
                  (b >= 'A' && b <= 'Z') || (b >= 0xB1 && b <= 0xDF)))
                return QStringLiteral("record %1 holds byte %2")
                    .arg(kinds.size() + 1)
                    .arg(uint(b), 0, 16);
        }
        kinds += r[0];
        const bool numeric = r[0] == '1' ? digits(r, 1, 14) && digits(r, 55, 62) &&
                                               digits(r, 78, 80) && digits(r, 96, 103)
                             : r[0] == '2' ? digits(r, 1, 5) && digits(r, 21, 23) &&
                                                 digits(r, 39, 50) && digits(r, 81, 112)
                             : r[0] == '8' ? digits(r, 1, 19)
                                           : true;
        if (!numeric)
            return QStringLiteral("record %1 has a number field that is not digits")
                .arg(kinds.size());
        if (r[0] == '2')
            sum += r.mid(80, 10).toLongLong();
    }
    if (!QRegularExpression(QStringLiteral("^12+89$")).match(QString::fromLatin1(kinds)).hasMatch())
        return QStringLiteral("records in the order %1").arg(QString::fromLatin1(kinds));
    const QByteArray trailer = records.at(records.size() - 2);
    if (trailer.mid(1, 6).toLongLong() != records.size() - 3 ||
        trailer.mid(7, 12).toLongLong() != sum)
        return QStringLiteral("the trailer says %1 records of %2 yen, not %3 of %4")
            .arg(trailer.mid(1, 6).toLongLong())
            .arg(trailer.mid(7, 12).toLongLong())
            .arg(records.size() - 3)
            .arg(sum);
    return {};
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT
  private slots:
    void fieldsKeepWhatBanksAccept() {
        const QString d = goldenCases("fields.txt", [](const QStringList& f) {
            QString kept;
            const QString error =
                errorOf([&] { kept = checkedFieldText(*personMaster().field(f[0]), f[1]); });
            return error == "(no error)" ? kept : error;
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void aRunGivesTheRecordsOfItsTransfers() {
        TestDatabase db;
        db.writeIni(QString::fromUtf8(kIni));
        addWorker("N01", "現金一郎", 0);
        addWorker("N02", "振込花子", 1, "0005", "ﾔﾏﾀﾞ ﾊﾅｺ");
        addWorker("N03", "振込次郎", 1, "0179", "ｽｽﾞｷ ｼﾞﾛｳ");
        addWorker("N04", "解除三郎", 1);
        addRow(kRun, "N01", 51234);
        addRow(kRun, "N02", 123456);
        addRow(kRun, "N03", 7890);
        addRow(kRun, "N04", 1000, true); // cancelled: neither paid nor counted
        const TransferBatch batch = loadTransferBatch(kRun);
        const QByteArray file = transferFileBytes(TransferSender::read(), "0403", batch);
        const QString d = goldenDifference("run.txt", shown(file));
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QCOMPARE(formatProblems(file), QString());
        // The cash table counts out only the one paid in cash.
        const QList<CashLine> cash = cashLinesOfRun(kRun, PaidFigure::Total);
        QVERIFY(cash.size() == 1 && cash[0].workerCode == "N01");
        db.writeIni(QString::fromUtf8(kIni) + "LineEnd=none\n");
        QCOMPARE(transferFileBytes(TransferSender::read(), "0403", batch),
                 QByteArray(file).replace("\r\n", ""));
    }

    void runsWithoutAFileAreRefusedWithTheReason() {
        TestDatabase db;
        db.writeIni(QString::fromUtf8(kIni));
        addWorker("N01", "現金一郎", 0);
        addWorker("N02", "口座欠子", 1, "", "");
        addRow(kRun, "N01", 100);
        addRow(kRun, "N02", 200);
        const QDateTime cancelled = kRun.addDays(1);
        addRow(cancelled, "N01", 100, true);
        const auto refusal = [](const QDateTime& run) {
            return errorOf([&] { loadTransferBatch(run); }).section('\n', 0, 1);
        };
        QCOMPARE(refusal(kRun),
                 QStringLiteral("振込で支払う内職者の口座情報が足りません。内職者"
                                "マスタで入力して下さい。\nN02 口座欠子（銀行コード、"
                                "口座名義）"));
        QCOMPARE(refusal(cancelled), QStringLiteral("この精算は解除されています。解除された精算の"
                                                    "振込データは作成できません。"));
        QCOMPARE(refusal(kRun.addDays(2)),
                 QStringLiteral("指定された日時には精算処理は行われていません。"));
        QVERIFY(!isTransferDay("0230") && isTransferDay("0229") && !isTransferDay("431"));
        db.writeIni("[Transfer]\nClientCode=12345\n");
        QVERIFY(errorOf([] { TransferSender::read(); }).contains("ClientCode"));
    }

    void theDemoRunGivesAFileAndItsYearAPageAWorker() {
        TestDatabase db;
        db.writeIni(QString::fromUtf8(kIni));
        DemoData::fill(gCon(), QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        const QString run = rows("SELECT MAX(精算日時) FROM seisan_t").value(0);
        const TransferBatch batch = loadTransferBatch(SqlValue::toDateTime(run));
        QVERIFY(batch.payees.size() >= 2 && batch.cashWorkers >= 2);
        const QByteArray file = transferFileBytes(TransferSender::read(), "1225", batch);
        QCOMPARE(formatProblems(file), QString());
        // The command writes the same bytes; a wrong day is a wrong command line.
        if (TestDatabase::onServer())
            return;
        DBClose();
        const AdminRun written =
            admin({"transfer", db.path(), run.left(10).replace('-', '/'), "--date", "1225"});
        QVERIFY2(written.exitCode == 0 && written.bytes == file, qPrintable(written.err));
        QCOMPARE(admin({"transfer", db.path(), run.left(10), "--date", "1332"}).exitCode, 2);
        // The demo year's statements: one PDF, a page for each home-worker paid.
        const QString pdf = QDir(db.dirPath()).filePath("yearly.pdf");
        const AdminRun yearly = admin({"yearly", db.path(), run.left(4), "--pdf", pdf});
        QVERIFY2(yearly.exitCode == 0, qPrintable(yearly.err));
        QCOMPARE(PdfTools::info(pdf).pages, int(batch.payees.size() + batch.cashWorkers));
    }
};

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
