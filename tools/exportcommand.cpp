#include "exportcommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "export/listworkbook.h"
#include "listexports.h"

#include <QSaveFile>
#include <cstdio>

namespace ExportCommand {

namespace {

struct Request {
    QStringList positional; // DB WHAT [FIRST LAST]
    QString format;         // "xlsx", "csv" or "" (from the output's name)
    QString output;         // "" for standard output
    QString problem;        // why the command line cannot be used
};

Request parse(const QStringList& args) {
    Request r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a != QLatin1String("--format") && a != QLatin1String("--output")) {
            if (a.startsWith(QLatin1Char('-'))) {
                r.problem = QStringLiteral("不明なオプションです: %1").arg(a);
                return r;
            }
            r.positional << a;
            continue;
        }
        if (i + 1 >= args.size()) {
            r.problem = QStringLiteral("%1 の後に値を指定してください。").arg(a);
            return r;
        }
        (a == QLatin1String("--format") ? r.format : r.output) = args.at(++i);
    }
    if (!r.format.isEmpty() && r.format != QLatin1String("xlsx") &&
        r.format != QLatin1String("csv"))
        r.problem = QStringLiteral("--format は xlsx か csv です: %1").arg(r.format);
    else if (r.positional.size() < 2 || r.positional.size() > 4)
        r.problem = QStringLiteral("DB WHAT [FIRST LAST] [--format xlsx|csv] [--output FILE] を"
                                   "指定してください（WHAT: %1）。")
                        .arg(ListExports::names().join(QStringLiteral(", ")));
    return r;
}

bool writeOut(const QByteArray& bytes, const QString& output, QTextStream& out) {
    if (output.isEmpty()) {
        out.flush();
        return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) ==
                   size_t(bytes.size()) &&
               std::fflush(stdout) == 0;
    }
    QSaveFile file(output);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

bool isCommand(const QString& command) {
    return command == QLatin1String("export");
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Request request = parse(args);
    if (!request.problem.isEmpty()) {
        err << "tarvel-admin export: " << request.problem << "\n";
        return 2;
    }
    const QStringList& p = request.positional;
    if (!ListExports::names().contains(p.at(1))) {
        err << "tarvel-admin export: 出力する一覧の名前が違います: " << p.at(1) << "（"
            << ListExports::names().join(QStringLiteral(", ")) << "）\n";
        return 2;
    }
    const QString problem = ListExports::selectionProblem(p.at(1), p.value(2), p.value(3));
    if (!problem.isEmpty()) {
        err << "tarvel-admin export: " << problem << "\n";
        return 2;
    }
    const ListFormat format =
        request.format.isEmpty() ? listFormatOf(request.output, ListFormat::Csv)
                                 : listFormatOf(QLatin1Char('.') + request.format, ListFormat::Csv);
    int status = 0;
    try {
        openDatabase(p.at(0));
        const ListTable table = ListExports::table(p.at(1), p.value(2), p.value(3));
        ListFile file;
        if (format == ListFormat::Excel)
            file.bytes = listWorkbook(table);
        else
            file = listCsv(table, configuredCsvSettings());
        if (!writeOut(file.bytes, request.output, out))
            throw AppError(
                QStringLiteral("書き込めません: %1")
                    .arg(request.output.isEmpty() ? QStringLiteral("標準出力") : request.output));
        if (!file.replaced.isEmpty())
            err << "tarvel-admin export: " << file.replaced << "\n";
    } catch (const AppError& e) {
        err << "tarvel-admin export: " << e.text() << "\n";
        status = 1;
    }
    DBClose();
    return status;
}

} // namespace ExportCommand
