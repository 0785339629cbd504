#include "importer/importer.h"

#include "core/apperror.h"
#include "importer/importcheck.h"
#include "importer/importsummary.h"
#include "importer/importtarget.h"

#include <QFile>
#include <QSaveFile>

namespace Importer {

QString reportPathFor(const QString& target) {
    return target + QStringLiteral(".import-report.txt");
}

Outcome run(const QString& sourcePath, const QString& target, const Options& options) {
    ImportTarget::requireEmpty(target);
    const std::unique_ptr<ImportSource> source = openImportSource(sourcePath, options.tools);

    // Rows are written as they are checked, so that no table is held whole;
    // a refusal without --keep-going rolls everything back, and a target
    // the import made is removed again.
    Outcome outcome;
    ImportTarget db(target);
    SourceSummary before;
    db.begin();
    const QList<Refusal> refusals = readAndCheck(
        *source, [&](const OldTables::Table& table, const QVariantList& values, bool accepted) {
            before.add(table, values);
            if (accepted)
                db.insert(table, values);
        });
    if (!refusals.isEmpty())
        outcome.refusals = refusalReport(refusals);
    if (!refusals.isEmpty() && !options.keepGoing)
        return outcome;
    db.commit();
    outcome.summary = summaryText(before.summary(), summariseDatabase(db.db()), &outcome.agrees);
    db.keep();
    outcome.written = true;
    QFile::remove(reportPathFor(target)); // never an old report beside a new import
    if (!refusals.isEmpty()) {
        QSaveFile report(reportPathFor(target));
        if (!report.open(QIODevice::WriteOnly) || report.write(outcome.refusals.toUtf8()) < 0 ||
            !report.commit())
            throw AppError(QStringLiteral("取り込めなかった行の一覧を %1 に書けません: %2")
                               .arg(report.fileName(), report.errorString()));
        outcome.reportPath = reportPathFor(target);
    }
    return outcome;
}

} // namespace Importer
