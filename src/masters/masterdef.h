#pragma once

#include "core/listcolumns.h"

#include <QList>
#include <QString>
#include <QStringList>

// What distinguishes the four masters (drawing numbers, work codes,
// employees, home-workers): table, fields, list columns and the texts of
// their screens. One list screen and one edit screen serve all four.

// Digits: exactly byteLimit digits or nothing; Choice: one of `choices`
// by its leading digit, stored as a number; BankKana: a name as banks hold
// it, converted when the box is left.
enum class FieldKind { Text, Password, Date, Digits, Choice, BankKana };

struct MasterField {
    QString column;  // column of the table
    QString heading; // lblHed caption on the edit screen
    QString box;     // objectName of the edit box: txtDet_<n> or txtDay_0
    int byteLimit;   // key-press limit in bytes (LenByte); date boxes: digits
    int maxChars;    // the box's own maximum length
    bool imeOn;      // hiragana input for names and remarks, off for codes
    bool required;
    FieldKind kind = FieldKind::Text;
    QStringList choices = {}; // "0 現金", ... for a Choice
};

struct MasterMessages {
    QString addQuestion;
    QString existsQuestion;
    QString addFailed;
    QString editQuestion;
    QString editFailed;
};

struct MasterDef {
    QString table;
    QString title;             // Label2 caption of both screens
    QString listScreen;        // objectName of the list screen
    QString editScreen;        // objectName of the edit screen
    ListDefinition list;       // the list screen's grid and export
    bool hasEmpAudit;          // the table records 社員コード of the last writer
    QList<MasterField> fields; // in tab order; the first is the key
    QStringList listColumns;   // grid columns 1.. before the deleted mark
    MasterMessages messages;
    QString dateNote; // caption of Label1 next to a date box, "" when none

    const MasterField& key() const { return fields.first(); }
    const MasterField* field(const QString& column) const;
};

const MasterDef& pnoMaster();
const MasterDef& workCodeMaster();
const MasterDef& empMaster();
const MasterDef& personMaster();
const QList<const MasterDef*>& allMasters();
