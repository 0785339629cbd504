#include "core/sqlfailure.h"

#include <QRegularExpression>

namespace {

// SQLite's primary result codes (the low byte of an extended code).
enum : int {
    Error = 1,
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

} // namespace

QString describeSqliteFailure(int code, const QString& message, const QString& path) {
    switch (code & 0xff) {
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
