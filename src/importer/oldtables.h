#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The old database's business tables as the import reads them: each column
// with the rule that turns its exported text into a stored value. The two
// report work tables are left behind: they are emptied before every print.
namespace OldTables {

enum class Kind {
    Text,      // trailing blanks removed, as the program reads every text
    Date,      // 'YYYY-MM-DD'; a time of day other than midnight is refused
    BirthDate, // a Date that is not after today
    DateTime,  // 'YYYY-MM-DD HH:MM:SS'
    Flag,      // 0/1; True, -1, Yes, はい count as 1; Null as 0
    Price,     // four decimals, fixed point
    Yen,       // whole yen
    Whole,     // a whole number (price serials, slip counts)
    Quantity,  // a whole number, never negative
};

struct Column {
    QString name;
    Kind kind;
    bool optional = false; // only newer exports have it; Null when absent
};

// Which master a column of a price line or slip names.
struct Reference {
    QString column;
    QString master; // table whose key it must be
};

struct Table {
    QString name;
    QList<Column> columns;
    QStringList key;
    QList<Reference> references;

    int indexOf(const QString& column) const;
};

// In the order they are written: masters before the lines that name them.
const QList<Table>& tables();
const Table* find(const QString& name);

} // namespace OldTables
