#include "importer/importer.h"

#include "core/apperror.h"
#include "core/sqldialect.h"
#include "importer/importcheck.h"
#include "importer/importsummary.h"
#include "importer/importtarget.h"

#include <QFile>
#include <QSaveFile>

namespace Importer {

QString reportPathFor(const QString& target) {
    if (isServerDatabase(target)) // a server's report stays in the current folder
        return QStringLiteral("tarvel.import-report.txt");
    return target + QStringLiteral(".import-report.txt");
}

Outcome run(const QString& sourcePath, const QString& target, const Options& options) {
    ImportTarget::requireEmpty(target);
    const std::unique_ptr<ImportSource> source = openImportSource(sourcePath, options.tools);

    // The rows go to the target as they are read, so that no table is held
    // whole; a refusal without --keep-going rolls them back, and a new
    // file is removed again.
    ImportTarget db(target);
    db.begin();
    SourceSummary before;
    bool refused = false;
    const QList<Refusal> refusals = readAndCheck(
        *source, [&](const OldTables::Table& table, const QVariantList& values, bool accepted) {
            before.add(table, values);
            refused = refused || !accepted;
            if (accepted && (!refused || options.keepGoing))
                db.insert(table, values);
        });

    Outcome outcome;
    if (!refusals.isEmpty())
        outcome.refusals = refusalReport(refusals);
    if (!refusals.isEmpty() && !options.keepGoing)
        return outcome;

    const int hashed = db.commit();
    outcome.summary = summaryText(before.summary(), summariseDatabase(db.db()), &outcome.agrees) +
                      QStringLiteral("パスワードを暗号化して取り込んだ社員: %1 名\n").arg(hashed);
    db.finish();
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
