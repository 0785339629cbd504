#include "listexports.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "prices/pricelist.h"
#include "settlement/settlementlist.h"
#include "slips/sliplist.h"

#include <functional>

namespace {

QDate parseDay(const QString& text) {
    QString t = text.trimmed();
    if (t.size() == 8)
        return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    return QDate::fromString(t.replace(QLatin1Char('-'), QLatin1Char('/')),
                             QStringLiteral("yyyy/MM/dd"));
}

QString slipPeriodProblem(const QString& first, const QString& last) {
    if (first.isEmpty() && last.isEmpty())
        return {};
    const QDate from = parseDay(first), to = parseDay(last);
    if (!from.isValid() || !to.isValid() || from > to)
        return QStringLiteral("納入日の範囲 FIRST LAST を YYYY-MM-DD か YYYYMMDD で、"
                              "FIRST <= LAST となるよう指定して下さい。");
    return {};
}

RunDesignation runOf(const QString& first, const QString& last) {
    QString run = first.trimmed().replace(QLatin1Char('-'), QLatin1Char('/'));
    if (!last.isEmpty())
        run += QLatin1Char(' ') + last.trimmed();
    return designateRun(run);
}

const QString kRunProblem =
    QStringLiteral("精算日（YYYY/MM/DD）か精算日時（\"YYYY/MM/DD hh:mm:ss\"）を"
                   "指定して下さい。");

QList<QStringList> slipRows(const QString& first, const QString& last) {
    SlipSearch search;
    if (first.isEmpty() && last.isEmpty())
        return loadSlipRows(search);
    if (const QString problem = slipPeriodProblem(first, last); !problem.isEmpty())
        throw AppError(problem);
    const QDate from = parseDay(first), to = parseDay(last);
    search.hideDelivered = false;
    QList<QStringList> rows;
    const QString a = formatDate(from), b = formatDate(to);
    for (const QStringList& row : loadSlipRows(search)) {
        const QString delivered = row.value(SlipListCol::DeliveryDate);
        if (!delivered.isEmpty() && delivered >= a && delivered <= b)
            rows << row;
    }
    return rows;
}

QList<QStringList> settlementRows(const QString& first, const QString& last) {
    const RunDesignation designation = runOf(first, last);
    if (!designation.isUsable())
        throw AppError(kRunProblem);
    QList<QStringList> rows;
    for (const SettlementRow& r : LoadSettlementList(designation, false))
        rows << settlementListCells(r);
    return rows;
}

QList<QStringList> masterRows(const MasterDef& def) {
    return masterListRows(def, true);
}

QList<QStringList> priceRows() {
    QList<QStringList> rows;
    for (const PriceListRow& r : loadPriceRows(true, true, Clock::today()))
        rows << r.cells();
    return rows;
}

// A list the command writes: its name on the command line, its definition
// and the loader of its rows for the selection.
struct ExportedList {
    QString what;
    const ListDefinition& definition;
    std::function<QList<QStringList>(const QString& first, const QString& last)> rows;
};

const QList<ExportedList>& exportedLists() {
    static const QList<ExportedList> lists = {
        {QStringLiteral("drawings"), pnoMaster().list,
         [](const QString&, const QString&) { return masterRows(pnoMaster()); }},
        {QStringLiteral("workcodes"), workCodeMaster().list,
         [](const QString&, const QString&) { return masterRows(workCodeMaster()); }},
        {QStringLiteral("employees"), empMaster().list,
         [](const QString&, const QString&) { return masterRows(empMaster()); }},
        {QStringLiteral("homeworkers"), personMaster().list,
         [](const QString&, const QString&) { return masterRows(personMaster()); }},
        {QStringLiteral("prices"), priceListDefinition(),
         [](const QString&, const QString&) { return priceRows(); }},
        {QStringLiteral("slips"), slipListDefinition(), slipRows},
        {QStringLiteral("settlement"), settlementListDefinition(), settlementRows}};
    return lists;
}

} // namespace

namespace ListExports {

const QStringList& names() {
    static const QStringList n = [] {
        QStringList n;
        for (const ExportedList& list : exportedLists())
            n << list.what;
        return n;
    }();
    return n;
}

QString selectionProblem(const QString& what, const QString& first, const QString& last) {
    if (what == QLatin1String("slips"))
        return slipPeriodProblem(first, last);
    if (what == QLatin1String("settlement") && !runOf(first, last).isUsable())
        return kRunProblem;
    return {};
}

ListTable table(const QString& what, const QString& first, const QString& last) {
    for (const ExportedList& list : exportedLists()) {
        if (list.what != what)
            continue;
        ListTable t = ListTable::of(list.definition);
        t.rows = list.rows(first, last);
        return t;
    }
    throw AppError(QStringLiteral("出力する一覧の名前が違います: %1（%2）")
                       .arg(what, names().join(QStringLiteral(", "))));
}

} // namespace ListExports
