#include "settlement/settlementcriteria.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "masters/lookup.h"

QString workerBound(const QString& text) {
    return Lookup::key(Lookup::homeWorkers(), text);
}

void checkCriteria(const SettlementCriteria& criteria) {
    if (criteria.firstDay.isNull() || criteria.lastDay.isNull())
        throw AppError(ConventionText::Required);
    if (!criteria.firstDay.isValid() || !criteria.lastDay.isValid())
        throw AppError(ConventionText::BadDate);
    if (criteria.lastDay < criteria.firstDay)
        throw AppError(QStringLiteral("日付の大小関係に誤りがあります。"));
    const QString first = workerBound(criteria.firstWorker);
    const QString last = workerBound(criteria.lastWorker);
    if (!first.isEmpty() && !last.isEmpty() && first > last)
        throw AppError(QStringLiteral("大小関係に誤りがあります。"));
}
