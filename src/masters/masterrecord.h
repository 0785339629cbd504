#pragma once

#include "masters/masterdef.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One master record as its edit screen shows it: the text of every field
// by column (a date as "YYYY/MM/DD", "" for none) and the deleted mark.
struct MasterRecord {
    QHash<QString, QString> texts;
    bool deleted = false;
    // A password is never loaded: its box starts empty, an empty box keeps
    // the stored one, and this removes it.
    bool clearPassword = false;

    QString text(const QString& column) const { return texts.value(column); }
};

// The record whose code is key, deleted or not; nothing when there is none.
// Throws DbError.
std::optional<MasterRecord> loadMasterRecord(const MasterDef& def, const QString& key);

// Whether a record with that code exists, deleted or not. Throws DbError,
// so a failed test can never be taken for "does not exist".
bool masterRecordExists(const MasterDef& def, const QString& key);

// Writers. Every text is stored with its trailing blanks removed, together
// with 最終更新日時 from the clock and, where the table has it, 社員コード =
// gEmpCode. A blank code or a malformed date is refused with AppError;
// database failures throw DbError.
void insertMasterRecord(const MasterDef& def, const MasterRecord& record);
// Rewrites every field but the code of the record whose code is key; false
// when no such record exists any more. A password is stored as its hash,
// in the same transaction.
bool updateMasterRecord(const MasterDef& def, const QString& key, const MasterRecord& record);

// The rows of a master list: column 0 the code again, then listColumns
// (dates as "YYYY/MM/DD", a password as "＊＊＊＊" when one is set), then
// the deleted mark "削除" or "". In code
// order; hideDeleted leaves out rows marked deleted. Throws DbError.
QList<QStringList> masterListRows(const MasterDef& def, bool hideDeleted);

// The text a field keeps of what was typed, trailing blanks removed: a bank
// name converted to bank kana. Throws AppError with what the field needs
// when the text breaks its kind's rule (digits, choices, bank kana).
QString checkedFieldText(const MasterField& field, const QString& typed);

// "YYYY/MM/DD" of a stored date, "" for Null or unreadable.
QString displayDate(const QVariant& stored);
