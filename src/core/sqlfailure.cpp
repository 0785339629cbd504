#include "core/sqlfailure.h"

#include "core/database.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

namespace {

const QString kInUseText = QStringLiteral(
    "データベースが他のプログラムで使用中です。しばらく待ってからやり直して下さい。");

// SQLite's primary result codes (the low byte of an extended code).
enum : int {
    Error = 1,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
};

QString withPath(const QString& text, const QString& path) {
    return path.isEmpty() ? text : text + QLatin1Char('\n') + path;
}

int nativeCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

} // namespace

QString databaseInUseText() {
    return kInUseText;
}

QString describeSqliteFailure(int code, const QString& message, const QString& path) {
    switch (code & 0xff) {
    case Busy:
    case Locked:
        return withPath(kInUseText, path);
    case Full:
        return QStringLiteral("ディスクがいっぱいで、データベースに書き込めません。"
                              "ディスクの空きを増やしてからやり直して下さい。");
    case ReadOnly:
        return withPath(QStringLiteral("データベースファイルに書き込む権限がありません。"
                                       "ファイルとそのフォルダの権限を確かめて下さい。"),
                        path);
    case IoError:
        return withPath(QStringLiteral("データベースファイルの読み書きに失敗しました。"
                                       "ディスクの空きが足りないか、ディスクに問題があります。"
                                       "空きと状態を確かめてからやり直して下さい。"),
                        path);
    case Corrupt:
    case NotADatabase:
        return withPath(QStringLiteral("データベースファイルが壊れています。"
                                       "バックアップから戻して下さい。"),
                        path);
    case CantOpen:
        return withPath(QStringLiteral("データベースファイルを開けません。"
                                       "ファイルとフォルダがあるか、権限を確かめて下さい。"),
                        path);
    case Error: {
        static const QRegularExpression missing(QStringLiteral("^no such (table|column): (.+)$"));
        const QRegularExpressionMatch m = missing.match(message);
        if (!m.hasMatch())
            return {};
        return QStringLiteral("データベースに%1 %2 がありません。古いか壊れたデータベース"
                              "ファイルです。tarvel-admin check で確認して下さい。")
            .arg(m.captured(1) == QLatin1String("table") ? QStringLiteral("テーブル")
                                                         : QStringLiteral("列"),
                 m.captured(2));
    }
    default:
        return {};
    }
}

QString describeSqliteCode(int code, const QString& message, const QString& path) {
    const QString text = describeSqliteFailure(code, message, path);
    if (!text.isEmpty())
        return text;
    return withPath(QStringLiteral("データベースの処理に失敗しました（コード %1）。").arg(code),
                    path);
}

bool isBusyError(const QSqlError& error) {
    const int code = nativeCode(error);
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6) with every extended variant
    // (BUSY_SNAPSHOT 517, LOCKED_SHAREDCACHE 262, ...): the low byte is the
    // primary code. The driver's English text is the fallback when a code
    // is missing.
    if (code >= 0 && ((code & 0xff) == Busy || (code & 0xff) == Locked))
        return true;
    const QString text = error.databaseText();
    return text.contains(QLatin1String("database is locked")) ||
           text.contains(QLatin1String("database table is locked")) ||
           text.contains(QLatin1String("database is busy"));
}

bool isNotADatabase(const QSqlError& error) {
    const int code = nativeCode(error);
    return code >= 0 && (code & 0xff) == NotADatabase;
}

QString describeSqlError(const QSqlError& error) {
    if (isBusyError(error))
        return kInUseText;
    const int code = nativeCode(error);
    if (code >= 0) {
        const QString clerk =
            describeSqliteFailure(code, error.databaseText(), gCon().databaseName());
        if (!clerk.isEmpty())
            return clerk;
    }
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (text.isEmpty())
        text = QStringLiteral("データベースが開かれていません。");
    return text;
}

QString describeOpenError(const QSqlError& error, const QString& path) {
    if (isBusyError(error))
        return withPath(kInUseText, path);
    if (isNotADatabase(error))
        return withPath(QStringLiteral("データベースファイルではありません。"), path);
    // Writing takes the file and, for its journal, the folder; SQLite then
    // reports only that it cannot open the file.
    const QFileInfo file(path);
    if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
        return withPath(
            QStringLiteral("データベースファイルまたはそのフォルダに書き込む権限がありません。"),
            path);
    return QStringLiteral("データベースを開けません。\n%1\n%2").arg(path, describeSqlError(error));
}

QString describeServerFailure(const QString& code, const QString& message) {
    // A lock not had within lock_timeout, a serialization failure or a
    // deadlock: another PC is writing, as SQLite's busy.
    if (code == QLatin1String("55P03") || code == QLatin1String("40001") ||
        code == QLatin1String("40P01"))
        return kInUseText;
    if (code == QLatin1String("42501")) {
        static const QRegularExpression named(QStringLiteral("(?:table|relation|sequence) (\\S+)"));
        const QRegularExpressionMatch m = named.match(message);
        // The paid-slip rule of a clerks' role speaks Japanese itself.
        if (!m.hasMatch() && message.contains(QStringLiteral("精算")))
            return message;
        const QString table = m.hasMatch() ? m.captured(1) : QStringLiteral("（不明）");
        return QStringLiteral("テーブル %1 を使う権限がありません。\n"
                              "データベースの管理者に、このユーザーへの権限の付与を"
                              "頼んで下さい。")
            .arg(table);
    }
    if (code == QLatin1String("23505"))
        return QStringLiteral("同じキーのデータが既にあります。\n%1").arg(message);
    return QStringLiteral("データベースのエラーです（%1）。\n%2").arg(code, message);
}
