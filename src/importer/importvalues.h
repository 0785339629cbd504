#pragma once

#include "importer/oldtables.h"

#include <QString>
#include <QVariant>

namespace ImportValue {

// The stored value of one exported field (a null QString is Null), or why
// it cannot be taken: `problem` is then the reason for the report.
struct Result {
    QVariant value;
    QString problem;
};

Result convert(OldTables::Kind kind, const QString& raw);

} // namespace ImportValue
