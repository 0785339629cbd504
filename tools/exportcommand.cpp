#include "exportcommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "export/listexports.h"

#include <cstdio>

namespace ExportCommand {

bool isCommand(const QString& command) {
    return command == QLatin1String("export");
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2 && args.size() != 3 && args.size() != 4) {
        err << "tarvel-admin export: DB WHAT [FIRST LAST] を指定してください（WHAT: "
            << ListExports::names().join(QStringLiteral(", ")) << "）。\n";
        return 2;
    }
    if (ListExports::kindOf(args.at(1)) == 0) {
        err << "tarvel-admin export: 出力する一覧の名前が違います: " << args.at(1) << "（"
            << ListExports::names().join(QStringLiteral(", ")) << "）\n";
        return 2;
    }
    const QString problem = ListExports::selectionProblem(args.at(1), args.value(2), args.value(3));
    if (!problem.isEmpty()) {
        err << "tarvel-admin export: " << problem << "\n";
        return 2;
    }
    int status = 0;
    try {
        DBOpenPath(args.at(0));
        const ListTable table = ListExports::table(args.at(1), args.value(2), args.value(3));
        const QByteArray bytes = listCsv(table, configuredCsvEncoding());
        out.flush();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
    } catch (const AppError& e) {
        err << "tarvel-admin export: " << e.text() << "\n";
        status = 1;
    }
    DBClose();
    return status;
}

} // namespace ExportCommand
