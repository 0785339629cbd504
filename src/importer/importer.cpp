#include "importer/importer.h"

#include "core/apperror.h"
#include "core/pgconnection.h"
#include "importer/importcheck.h"
#include "importer/importsummary.h"
#include "importer/importtarget.h"

#include <QFile>
#include <QSaveFile>

namespace Importer {

QString reportPathFor(const QString& target) {
    if (PgConnection::isDsn(target)) // a server's report stays in the current folder
        return QStringLiteral("tarvel.import-report.txt");
    return target + QStringLiteral(".import-report.txt");
}

Outcome run(const QString& sourcePath, const QString& target, const Options& options) {
    ImportTarget::requireEmpty(target);
    const std::unique_ptr<ImportSource> source = openImportSource(sourcePath, options.tools);
    const ImportData data = readAndCheck(*source);

    Outcome outcome;
    if (!data.refusals.isEmpty())
        outcome.refusals = refusalReport(data.refusals);
    if (!data.refusals.isEmpty() && !options.keepGoing)
        return outcome;

    const ImportSummary before = summariseSource(data);
    {
        ImportTarget db(target);
        const int hashed = db.write(data);
        outcome.summary =
            summaryText(before, summariseDatabase(db.db()), &outcome.agrees) +
            QStringLiteral("パスワードを暗号化して取り込んだ社員: %1 名\n").arg(hashed);
        db.finish();
    }
    outcome.written = true;
    QFile::remove(reportPathFor(target)); // never an old report beside a new import
    if (!data.refusals.isEmpty()) {
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
