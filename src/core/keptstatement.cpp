#include "core/keptstatement.h"

#include "core/database.h"
#include "core/sqlquery.h"

#include <QHash>
#include <QPointer>
#include <QSqlDriver>
#include <memory>

SqlQuery& keptStatement(const QString& sql) {
    static QHash<QString, std::shared_ptr<SqlQuery>> kept;
    static QPointer<QSqlDriver> preparedOn;
    QSqlDriver* driver = gCon().driver();
    if (!preparedOn || preparedOn != driver) {
        kept.clear();
        preparedOn = driver;
    }
    std::shared_ptr<SqlQuery>& slot = kept[sql];
    if (!slot)
        slot = std::make_shared<SqlQuery>(sql);
    return *slot;
}
