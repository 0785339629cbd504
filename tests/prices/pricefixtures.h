#pragma once

#include "core/sqlquery.h"

#include <QDate>
#include <QString>

// Rows written straight into the tables, so that tests set up exactly the
// lines they need without going through the code under test.
namespace PriceFixtures {

inline QVariant dateOrNull(const QString& ymd) {
    if (ymd.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    return QDate::fromString(ymd, "yyyy/MM/dd").toString(Qt::ISODate);
}

inline void addLine(qint64 serial, const QString& pno, const QString& wno, const QString& person,
                    double price, const QString& start, const QString& end = QString(),
                    bool deleted = false, const QString& remark = QString()) {
    execSql(
        QStringLiteral("INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                       " 単価, 備考, 適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, '2003-01-01 00:00:00', ?, 'X')"),
        {serial, pno, wno, person, price, remark, dateOrNull(start), dateOrNull(end),
         deleted ? 1 : 0});
}

inline void addMasters() {
    execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES"
                           " ('P-100', '部品ケース', 0), ('P-200', 'カバー', 0)"));
    execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES"
                           " ('W1', '組立', 0), ('W2', '検査', 0)"));
    execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES"
                           " ('N01', '山田花子', 0), ('N02', '佐藤一郎', 0)"));
}

} // namespace PriceFixtures
