#include "importcommand.h"

#include "core/apperror.h"
#include "importer/importer.h"

namespace ImportCommand {

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Importer::Options options;
    QStringList paths;
    for (const QString& a : args) {
        if (a == QLatin1String("--keep-going")) {
            options.keepGoing = true;
        } else if (a.startsWith(QLatin1Char('-'))) {
            err << "tarvel-admin import: 不明なオプションです: " << a << "\n";
            return 2;
        } else
            paths << a;
    }
    if (paths.size() != 2) {
        err << "tarvel-admin: import には取り込み元と取り込み先を指定してください。\n"
               "使い方: tarvel-admin import SOURCE TARGET [--keep-going]\n";
        return 2;
    }
    const Importer::Outcome o = Importer::run(paths.at(0), paths.at(1), options);
    if (!o.refusals.isEmpty())
        out << o.refusals << "\n";
    if (!o.written) {
        err << "何も書き込んでいません: " << paths.at(1) << "\n";
        return 1;
    }
    out << o.summary;
    if (!o.reportPath.isEmpty())
        out << "取り込めなかった行の一覧: " << o.reportPath << "\n";
    out << "取り込みました: " << paths.at(1) << "\n";
    return o.agrees && o.refusals.isEmpty() ? 0 : 1;
}

} // namespace ImportCommand
