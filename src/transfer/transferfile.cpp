#include "transfer/transferfile.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "transfer/bankkana.h"

#include <QDate>
#include <stdexcept>

namespace {

constexpr int kRecordBytes = 120;

// Kind N: digits right-aligned, zeros before.
QByteArray number(qint64 value, int width) {
    const QByteArray digits = QByteArray::number(value);
    if (value < 0 || digits.size() > width)
        throw AppError(
            QStringLiteral("金額 %1 円は振込データの%2桁に収まりません。").arg(value).arg(width));
    return QByteArray(width - digits.size(), '0') + digits;
}

QByteArray number(const QString& digits, int width) {
    return number(digits.toLongLong(), width);
}

// Kind C: text left-aligned, blanks after.
QByteArray text(const QString& value, int width) {
    const QByteArray bytes = BankKana::toJisBytes(value);
    if (bytes.size() > width)
        throw AppError(
            QStringLiteral("「%1」は振込データの%2文字に収まりません。").arg(value).arg(width));
    return bytes.leftJustified(width, ' ');
}

QByteArray record(const QByteArray& bytes) {
    if (bytes.size() != kRecordBytes)
        throw std::logic_error("a transfer record is not 120 bytes");
    return bytes;
}

// 顧客コード1: the home-worker's code where it is a number, else zeros.
QByteArray customerCode(const QString& code) {
    return BankFields::isDigits(code, int(code.size())) && code.size() <= 10 ? number(code, 10)
                                                                             : number(0, 10);
}

} // namespace

Yen TransferBatch::total() const {
    Yen sum = 0;
    for (const TransferPayee& p : payees)
        sum += p.amount;
    return sum;
}

TransferBatch loadTransferBatch(const QDateTime& run) {
    SqlQuery q(QStringLiteral(
        "SELECT s.内職者コード, s.合計金額, s.削除フラグ, n.内職者氏名, n.支払方法, n.銀行コード,"
        " n.支店コード, n.預金種目, n.口座番号, n.口座名義 FROM seisan_t s"
        " LEFT JOIN naishoku_m n ON s.内職者コード = n.内職者コード"
        " WHERE s.精算日時 = ? ORDER BY s.内職者コード"));
    q.bind(SqlValue::dateTime(run)).exec();
    TransferBatch batch;
    batch.run = run;
    bool anyRow = false, anyLive = false;
    QStringList incomplete;
    while (q.next()) {
        anyRow = true;
        if (q.integer(QStringLiteral("削除フラグ")) == 1)
            continue;
        anyLive = true;
        if (q.integer(QStringLiteral("支払方法")) != 1) {
            ++batch.cashWorkers;
            continue;
        }
        TransferPayee p;
        p.code = rtrim(q.str(QStringLiteral("内職者コード")));
        p.name = rtrim(q.str(QStringLiteral("内職者氏名")));
        p.amount = q.integer(QStringLiteral("合計金額"));
        p.account = {
            rtrim(q.str(QStringLiteral("銀行コード"))), rtrim(q.str(QStringLiteral("支店コード"))),
            q.isNull(QStringLiteral("預金種目"))
                ? QString()
                : QString::number(q.integer(QStringLiteral("預金種目"))),
            rtrim(q.str(QStringLiteral("口座番号"))), rtrim(q.str(QStringLiteral("口座名義")))};
        if (const QStringList missing = p.account.problems(); !missing.isEmpty())
            incomplete << QStringLiteral("%1 %2（%3）")
                              .arg(p.code, p.name, missing.join(QStringLiteral("、")));
        else if (p.amount > 0)
            batch.payees << p;
    }
    if (!anyRow)
        throw AppError(QStringLiteral("指定された日時には精算処理は行われていません。"));
    if (!anyLive)
        throw AppError(QStringLiteral("この精算は解除されています。解除された精算の振込データは"
                                      "作成できません。"));
    if (!incomplete.isEmpty())
        throw AppError(QStringLiteral("振込で支払う内職者の口座情報が足りません。内職者マスタで"
                                      "入力して下さい。\n") +
                       incomplete.join(QLatin1Char('\n')));
    return batch;
}

QSet<QString> workersPaidByTransfer() {
    SqlQuery q(QStringLiteral("SELECT 内職者コード FROM naishoku_m WHERE 支払方法 = 1"));
    q.exec();
    QSet<QString> codes;
    while (q.next())
        codes.insert(rtrim(q.str(QStringLiteral("内職者コード"))));
    return codes;
}

bool isTransferDay(const QString& mmdd) {
    // 2000 is a leap year, so 0229 is a day.
    return BankFields::isDigits(mmdd, 4) &&
           QDate(2000, mmdd.left(2).toInt(), mmdd.mid(2).toInt()).isValid();
}

QByteArray transferFileBytes(const TransferSender& s, const QString& mmdd,
                             const TransferBatch& batch) {
    if (!isTransferDay(mmdd))
        throw AppError(QStringLiteral("振込指定日は月日4桁（MMDD）で入力して下さい: %1").arg(mmdd));
    QList<QByteArray> records;
    records << record("1"
                      "21"
                      "0" +
                      number(s.clientCode, 10) + text(s.clientName, 40) + mmdd.toLatin1() +
                      number(s.bankCode, 4) + text(s.bankName, 15) + number(s.branchCode, 3) +
                      text(s.branchName, 15) + s.accountType.toLatin1() +
                      number(s.accountNumber, 7) + QByteArray(17, ' '));
    for (const TransferPayee& p : batch.payees) {
        const BankAccount& a = p.account;
        records << record("2" + number(a.bank, 4) + QByteArray(15, ' ') + number(a.branch, 3) +
                          QByteArray(15, ' ') + "0000" + a.type.toLatin1() + number(a.number, 7) +
                          text(a.holder, 30) + number(p.amount, 10) + "0" + customerCode(p.code) +
                          number(0, 10) + "7" + QByteArray(8, ' '));
    }
    records << record("8" + number(batch.payees.size(), 6) + number(batch.total(), 12) +
                      QByteArray(101, ' '));
    records << record("9" + QByteArray(119, ' '));
    const QByteArray end = s.recordEnds ? QByteArrayLiteral("\r\n") : QByteArray();
    QByteArray file;
    for (const QByteArray& r : records)
        file += r + end;
    return file;
}
