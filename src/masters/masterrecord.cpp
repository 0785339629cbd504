#include "masters/masterrecord.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/employeepassword.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "transfer/bankaccount.h"

namespace {

const QString kDeleted = QStringLiteral("削除フラグ");
const QString kUpdated = QStringLiteral("最終更新日時");
const QString kEmp = QStringLiteral("社員コード");

// The columns the program reads and writes as they are: all but a password.
QList<MasterField> plainFields(const MasterDef& def) {
    QList<MasterField> fields;
    for (const MasterField& f : def.fields)
        if (f.kind != FieldKind::Password)
            fields << f;
    return fields;
}

QStringList fieldColumns(const QList<MasterField>& fields) {
    QStringList columns;
    for (const MasterField& f : fields)
        columns << f.column;
    return columns;
}

const MasterField* passwordField(const MasterDef& def) {
    for (const MasterField& f : def.fields)
        if (f.kind == FieldKind::Password)
            return &f;
    return nullptr;
}

// After the row is written: a typed password replaces the stored one.
void storePassword(const MasterDef& def, const QString& code, const MasterRecord& record) {
    const MasterField* f = passwordField(def);
    if (!f)
        return;
    const QString typed = rtrim(record.text(f->column));
    if (record.clearPassword || !typed.isEmpty())
        storeEmployeePassword(code, record.clearPassword ? QString() : typed);
}

QString listColumn(const MasterDef& def, const QString& column) {
    const MasterField* f = def.field(column);
    return f && f->kind == FieldKind::Password ? passwordMaskColumn().on(gCon()) : column;
}

// The value to store for one field; a date box holds "YYYY/MM/DD" or "".
QVariant storedValue(const MasterField& field, const MasterRecord& record) {
    const QString text = checkedFieldText(field, record.text(field.column));
    if (field.kind == FieldKind::Choice)
        return text.isEmpty() ? QVariant(QMetaType::fromType<int>()) : QVariant(text.toInt());
    if (field.kind != FieldKind::Date)
        return text;
    if (text.isEmpty())
        return SqlValue::date(QDate());
    const QDate date = parseBoxDate(text);
    if (!date.isValid())
        throw AppError(ConventionText::BadDate);
    return SqlValue::date(date);
}

QString fieldText(const MasterField& field, const SqlQuery& q) {
    if (field.kind == FieldKind::Date)
        return displayDate(q.value(field.column));
    return rtrim(FieldStr(q, field.column));
}

// Audit columns and their values, in that order.
QStringList auditColumns(const MasterDef& def) {
    QStringList columns{kUpdated, kDeleted};
    if (def.hasEmpAudit)
        columns << kEmp;
    return columns;
}

QVariantList auditValues(const MasterDef& def, const MasterRecord& record) {
    QVariantList values{SqlValue::dateTime(Clock::now()), record.deleted ? 1 : 0};
    if (def.hasEmpAudit)
        values << gEmpCode;
    return values;
}

} // namespace

QString checkedFieldText(const MasterField& field, const QString& typed) {
    const QString text = rtrim(typed);
    if (text.isEmpty())
        return text;
    switch (field.kind) {
    case FieldKind::Digits:
        if (!BankFields::isDigits(text, field.byteLimit))
            throw AppError(QStringLiteral("%1は%2桁の数字で入力して下さい。")
                               .arg(field.column)
                               .arg(field.byteLimit));
        return text;
    case FieldKind::Choice:
        for (const QString& choice : field.choices)
            if (choice.section(QLatin1Char(' '), 0, 0) == text)
                return text;
        throw AppError(QStringLiteral("%1は %2 のどれかを入力して下さい。")
                           .arg(field.column, field.choices.join(QStringLiteral("、"))));
    case FieldKind::BankKana:
        return BankFields::holderFromTyped(text);
    default:
        return text;
    }
}

QString displayDate(const QVariant& stored) {
    return formatDate(SqlValue::toDate(stored));
}

std::optional<MasterRecord> loadMasterRecord(const MasterDef& def, const QString& key) {
    const QList<MasterField> fields = plainFields(def);
    SqlQuery q(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 = ?")
                   .arg(fieldColumns(fields).join(QStringLiteral(", ")), kDeleted, def.table,
                        def.key().column));
    q.bind(key).exec();
    if (!q.next())
        return std::nullopt;
    MasterRecord record;
    for (const MasterField& f : fields)
        record.texts.insert(f.column, fieldText(f, q));
    record.deleted = FieldNum(q, kDeleted) == 1;
    return record;
}

bool masterRecordExists(const MasterDef& def, const QString& key) {
    SqlQuery q(
        QStringLiteral("SELECT 1 AS found FROM %1 WHERE %2 = ?").arg(def.table, def.key().column));
    q.bind(rtrim(key)).exec();
    return q.next();
}

void insertMasterRecord(const MasterDef& def, const MasterRecord& record) {
    if (rtrim(record.text(def.key().column)).isEmpty())
        throw AppError(ConventionText::Required);
    const QList<MasterField> fields = plainFields(def);
    QStringList columns = fieldColumns(fields) + auditColumns(def);
    QVariantList values;
    for (const MasterField& f : fields)
        values << storedValue(f, record);
    values << auditValues(def, record);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    SqlTransaction tx;
    execSql(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(def.table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        values);
    storePassword(def, rtrim(record.text(def.key().column)), record);
    tx.commit();
}

bool updateMasterRecord(const MasterDef& def, const QString& key, const MasterRecord& record) {
    if (key.isEmpty())
        return false;
    QStringList sets;
    QVariantList values;
    for (const MasterField& f : plainFields(def).mid(1)) {
        sets << f.column + QStringLiteral(" = ?");
        values << storedValue(f, record);
    }
    for (const QString& c : auditColumns(def))
        sets << c + QStringLiteral(" = ?");
    values << auditValues(def, record) << key;
    SqlTransaction tx;
    if (execSql(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                    .arg(def.table, sets.join(QStringLiteral(", ")), def.key().column),
                values) == 0)
        return false;
    storePassword(def, key, record);
    tx.commit();
    return true;
}

QList<QStringList> masterListRows(const MasterDef& def, bool hideDeleted) {
    QStringList selected;
    for (const QString& c : def.listColumns)
        selected << listColumn(def, c);
    QString sql = QStringLiteral("SELECT %1, %2 FROM %3")
                      .arg(selected.join(QStringLiteral(", ")), kDeleted, def.table);
    if (hideDeleted)
        sql += QStringLiteral(" WHERE (COALESCE(削除フラグ, 0) <> 1)");
    sql += QStringLiteral(" ORDER BY %1").arg(def.key().column);
    SqlQuery q(sql);
    q.exec();
    QList<bool> isDate;
    for (const QString& c : def.listColumns) {
        const MasterField* f = def.field(c);
        isDate << (f && f->kind == FieldKind::Date);
    }
    QList<QStringList> rows;
    while (q.next()) {
        QStringList cells;
        cells.reserve(def.listColumns.size() + 2);
        cells << QString(); // the hidden key column, a copy of the code
        for (qsizetype i = 0; i < def.listColumns.size(); ++i) {
            const QString& c = def.listColumns.at(i);
            cells << (isDate.at(i) ? displayDate(q.value(c)) : rtrim(FieldStr(q, c)));
        }
        cells[0] = cells.at(1);
        cells << (FieldNum(q, kDeleted) == 1 ? QStringLiteral("削除") : QString());
        rows << cells;
    }
    return rows;
}
