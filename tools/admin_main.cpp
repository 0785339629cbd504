#include "admincommands.h"
#include "argumenttext.h"
#include "backupcommand.h"
#include "exportcommand.h"
#include "importcommand.h"
#include "ledgercommand.h"
#include "migrate.h"
#include "rolescommand.h"
#include "settlecommand.h"
#include "transfercommand.h"
#include "yearlycommand.h"

#include "core/apperror.h"
#include "core/clock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>

namespace {

// Exit statuses: 0 done, 1 the command failed, 2 the command line was wrong.
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "使い方: tarvel-admin COMMAND PATH\n"
    "\n"
    "PATH はデータベースファイルのパス、または PostgreSQL の DSN\n"
    "（postgresql://ユーザー@ホスト/データベース や host=... dbname=...）。\n"
    "\n"
    "  create PATH   空のデータベースを作成します（既存のファイルは上書きしません）\n"
    "  demo PATH     デモデータ入りのデータベースを作成します（既存のファイルは上書きしません）\n"
    "  check PATH    テーブルと列がそろっているか、壊れていないか、全角と半角だけが\n"
    "                違うコードがないか検査します（何も変更しません）\n"
    "  settle PATH FIRST LAST [--workers FROM:TO] --employee CODE [--allow-unpriced]\n"
    "                [--backup-folder DIR] [--keep N]\n"
    "                納入日が FIRST～LAST の未精算伝票を精算します（単価が未登録の伝票が\n"
    "                あれば中止します。--allow-unpriced でそれらを0円で精算します）\n"
    "  trial PATH FIRST LAST [--workers FROM:TO] --employee CODE\n"
    "                同じ条件で試算します（伝票の単価だけを更新します）\n"
    "  cancel PATH FIRST LAST [--workers FROM:TO] --employee CODE [--backup-folder DIR]\n"
    "                [--keep N]\n"
    "                精算対象期間が FIRST～LAST に収まる精算を解除します\n"
    "                （settle と cancel は先にバックアップを取ります: 既定はデータベースと\n"
    "                同じフォルダの backup、--backup-folder DIR で変更。残す数は現在の\n"
    "                フォルダの TVL.INI の [Backup] Keep（既定 12）、--keep N で変更）\n"
    "  backup DB DEST-FOLDER\n"
    "                DB を DEST-FOLDER に tarvel-YYYYMMDD-HHMMSS.db として複写し、検査します\n"
    "                （サーバーのデータベースは pg_dump で .dump に書き出します）\n"
    "  restore BACKUP DB\n"
    "                BACKUP を検査して DB に戻します（元の DB があれば DB.before-restore）\n"
    "  export DB WHAT [FIRST LAST] [--format xlsx|csv] [--output FILE]\n"
    "                一覧を Excel (xlsx) か CSV で FILE か標準出力に書きます（形式は --format、\n"
    "                なければ FILE の拡張子、どちらもなければ CSV。WHAT: slips, prices, drawings,\n"
    "                workcodes, employees, homeworkers, settlement。slips の FIRST LAST は\n"
    "                納入日、settlement の FIRST は精算日か精算日時）\n"
    "  import SOURCE TARGET [--keep-going]\n"
    "                元のデータベース (.mdb/.accdb か書き出したファイルのフォルダ) を\n"
    "                新しいデータベースファイルか、create で作った空のデータベース\n"
    "                （ファイルまたはサーバーの DSN）に取り込みます\n"
    "  ledger PATH FIRST LAST [--workers FROM:TO] --pdf FILE\n"
    "                家内労働者帳簿を PDF ファイルに出力します\n"
    "  yearly DB YEAR [--workers FROM:TO] --pdf FILE\n"
    "                年間工賃支払明細書 (内職者ごとに1ページ) を PDF ファイルに出力します\n"
    "  transfer DB RUN --date MMDD\n"
    "                精算 (RUN は精算日時か精算日) の総合振込データを標準出力に書きます\n"
    "                （会社の口座は TVL.INI の [Transfer]、MMDD は振込指定日）\n"
    "  migrate FILE DSN\n"
    "                データベースファイルの全テーブルを空の PostgreSQL データベースへ移し、\n"
    "                テーブルごとの行数と、内職者ごと・精算ごとの金額を照合します\n"
    "  roles DSN CLERK\n"
    "                サーバーのデータベースで、事務用のロール CLERK に画面の仕事に要る\n"
    "                権限だけを与えます（所有者のユーザーで実行。パスワードは読めず、\n"
    "                精算と行の削除はできません）\n"
    "  --help        この説明を表示します\n"
    "\n"
    "日付は YYYY-MM-DD か YYYYMMDD。FROM と TO は内職者コードで、どちらも省略できます。\n"
    "settle/trial/cancel の出力: 1 行目 \"T<TAB>精算日時\"、続いて内職者ごとに\n"
    "コード、伝票枚数、精算金額、消費税、合計金額（trial は伝票ごとに試算画面の列）。\n"
    "\n"
    "終了コード: 0 成功、1 失敗（検査で問題あり、処理は取り消し）、2 引数の誤り、\n"
    "            3 対象なし（settle/trial/cancel）\n";

int usageError(QTextStream& err, const QString& problem) {
    err << "tarvel-admin: " << problem << "\n\n" << kUsageText;
    return kUsage;
}

bool isHelp(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// The lines of kUsageText about one command: its own line and those
// indented beneath it; "" for a command the text does not know.
QString usageOf(const QString& command) {
    QString found;
    for (const QString& line : QString::fromUtf8(kUsageText).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("  ") + command + QLatin1Char(' ')))
            found = QStringLiteral("使い方: tarvel-admin") + line.mid(1) + QLatin1Char('\n');
        else if (!found.isEmpty() && line.startsWith(QStringLiteral("       ")))
            found += line + QLatin1Char('\n');
        else if (!found.isEmpty())
            break;
    }
    return found;
}

// A word starting with '-' where a path or value belongs: no option of the
// commands that take none.
bool takesNoOptions(const QString& command) {
    return command == "create" || command == "demo" || command == "check" || command == "migrate" ||
           BackupCommand::isCommand(command);
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() == 1 && isHelp(args.first())) {
        out << kUsageText;
        return 0;
    }
    if (args.isEmpty())
        return usageError(err, QStringLiteral("コマンドを指定してください。"));
    const QString command = args.first();
    if (const QString usage = usageOf(command); !usage.isEmpty()) {
        if (std::any_of(args.cbegin() + 1, args.cend(), isHelp)) {
            out << usage;
            return 0;
        }
        for (const QString& a : args.mid(1))
            if (takesNoOptions(command) && a.startsWith(QLatin1Char('-')))
                return usageError(err, QStringLiteral("不明なオプションです: %1").arg(a));
    }
    if (ExportCommand::isCommand(command))
        return ExportCommand::run(args.mid(1), out, err);
    if (BackupCommand::isCommand(command))
        return BackupCommand::run(command, args.mid(1), out, err);
    if (SettleCommand::isCommand(command))
        return SettleCommand::run(command, args.mid(1), out, err);
    if (TransferCommand::isCommand(command))
        return TransferCommand::run(args.mid(1), out, err);
    if (ImportCommand::isCommand(command))
        return ImportCommand::run(args.mid(1), out, err);
    if (RolesCommand::isCommand(command))
        return RolesCommand::run(args.mid(1), out, err);
    if (command == "migrate") {
        if (args.size() != 3)
            return usageError(err, QStringLiteral("migrate には移行元のファイルと移行先の DSN を"
                                                  "指定してください。"));
        const Migrate::Report report = Migrate::run(args.at(1), args.at(2));
        for (const QString& line : report.lines)
            out << line << "\n";
        out << (report.agrees ? "移行しました。すべて一致しています。\n"
                              : "移行しましたが、一致しない項目があります。\n");
        return report.agrees ? 0 : kFailed;
    }
    if (command != "create" && command != "demo" && command != "check")
        return usageError(err, QStringLiteral("不明なコマンドです: %1").arg(command));
    if (args.size() != 2)
        return usageError(err, QStringLiteral("%1 にはデータベースファイルのパスを一つ指定して"
                                              "ください。")
                                   .arg(command));
    const QString path = args.at(1);
    const QString pathProblem = ArgumentText::pathProblem(path);
    if (!pathProblem.isEmpty())
        return usageError(err, pathProblem);

    if (command == "create") {
        Admin::createDatabase(path);
        out << "作成しました: " << path << "\n";
        return 0;
    }
    if (command == "demo") {
        const DemoData::Summary s = Admin::createDemoDatabase(path, Clock::now());
        out << "デモデータベースを作成しました: " << path << "\n"
            << "  社員 " << s.employees << " 名、内職者 " << s.homeWorkers << " 名、製品図番 "
            << s.drawings << " 件、作業コード " << s.workCodes << " 件\n"
            << "  作業単価 " << s.priceLines << " 件、製品伝票 " << s.slips << " 枚、精算 "
            << s.settlementRows << " 件\n"
            << "  ログイン: 社員コード 001、パスワード 1234\n";
        return 0;
    }
    const QStringList problems = Admin::checkDatabase(path);
    if (problems.isEmpty()) {
        out << "問題はありません: " << path << "\n";
        return 0;
    }
    for (const QString& p : problems)
        err << p << "\n";
    err << "問題が " << problems.size() << " 件あります: " << path << "\n";
    return kFailed;
}

} // namespace

int main(int argc, char** argv) {
    const bool help = std::any_of(argv + std::min(argc, 2), argv + argc,
                                  [](const char* a) { return isHelp(QString::fromLocal8Bit(a)); });
    if (argc > 1 && LedgerCommand::isCommand(argv[1]) && !help)
        return LedgerCommand::main(argc, argv);
    if (argc > 1 && YearlyCommand::isCommand(argv[1]))
        return YearlyCommand::main(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    // Everything said goes out with long arguments shortened.
    QString outText, errText;
    int status = kFailed;
    {
        QTextStream out(&outText);
        QTextStream err(&errText);
        try {
            status = run(args, out, err);
        } catch (const AppError& e) {
            err << "tarvel-admin: " << e.text() << "\n";
            status = kFailed;
        }
    }
    QTextStream(stdout) << ArgumentText::shortened(outText, args);
    QTextStream(stderr) << ArgumentText::shortened(errText, args);
    return status;
}
