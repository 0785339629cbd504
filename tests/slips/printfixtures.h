#pragma once

#include "core/sqlquery.h"

#include <QString>
#include <QVariant>

// Slips to print and their masters, written straight into the tables.
namespace PrintFixtures {

struct Slip {
    QString no = QStringLiteral("031031-004");
    QString pno = QStringLiteral("P-100");
    QString wno = QStringLiteral("W1");
    QString person = QStringLiteral("N01");
    QString kind = QStringLiteral("組立");
    qint64 issued = 1200;
    qint64 delivered = 0;
    QString requestDate = QStringLiteral("2003-10-31");
    QString deliveryDate; // "" for Null
    QString lot = QStringLiteral("LOT-7");
    QString remark = QStringLiteral("急ぎ");
    bool deleted = false;
    QString employee = QStringLiteral("E001");
};

inline QVariant orNull(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

inline void addSlip(const Slip& s) {
    execSql(QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                           " 精算単価, 作業区分, 払出数量, 納入数量, 依頼日, 納入日, 管理ロットNo,"
                           " 備考, 最終更新日時, 削除フラグ, 社員コード)"
                           " VALUES (?, ?, ?, ?, 12.5, ?, ?, ?, ?, ?, ?, ?,"
                           " '2003-10-31 10:00:00', ?, ?)"),
            {s.no, s.pno, s.wno, s.person, s.kind, s.issued, s.delivered, orNull(s.requestDate),
             orNull(s.deliveryDate), s.lot, s.remark, s.deleted ? 1 : 0, s.employee});
}

inline void addMasters() {
    execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES"
                           " ('P-100', '部品ケース', 0)"));
    execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES"
                           " ('W1', '組立作業', 0)"));
    execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES"
                           " ('N01', '山田花子', 0)"));
    execSql(QStringLiteral("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES"
                           " ('E001', '鈴木一郎  ', 0)"));
}

} // namespace PrintFixtures
