#pragma once

#include "core/sqlquery.h"
#include "prices/pricefixtures.h"

#include <QString>
#include <QVariant>

// Slips written straight into seihin_t, so that tests start from exactly the
// rows they need without going through the code under test.
namespace SlipFixtures {

struct Slip {
    QString no;
    QString pno = "P-100";
    QString wno = "W1";
    QString person = "N01";
    QString requested = "2026-03-10"; // stored form; "" for Null
    QString deliveredOn{};            // "" for Null
    bool deleted = false;
    QString settledAt{}; // "" for Null
    double price = 0;
    qint64 issued = 100, delivered = 0;
    QString remark{};
    QString kind{}, lot{};
    QString employee = "X";
};

inline QVariant orNull(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

inline void addSlip(const Slip& s) {
    execSql(QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                           " 精算単価, 作業区分, 払出数量, 納入数量, 依頼日, 納入日, 管理ロットNo,"
                           " 備考, 精算日時, 最終更新日時, 削除フラグ, 社員コード)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                           " '2026-01-01 00:00:00', ?, ?)"),
            {s.no, s.pno, s.wno, s.person, s.price, s.kind, s.issued, s.delivered,
             orNull(s.requested), orNull(s.deliveredOn), s.lot, s.remark, orNull(s.settledAt),
             s.deleted ? 1 : 0, s.employee});
}

// Six slips over two days, inserted out of order: deleted, delivered, two
// home-workers, two drawings; 260402-001 has no request date.
inline void addSixSlips() {
    addSlip({.no = "260402-002"});
    addSlip({.no = "260401-001"});
    addSlip({.no = "260401-002", .person = "N02", .deliveredOn = "2026-03-20"});
    addSlip({.no = "260401-003", .pno = "P-200", .deleted = true});
    addSlip({.no = "260401-004", .deliveredOn = "2026-03-20", .deleted = true});
    addSlip({.no = "260402-001", .pno = "P-200", .person = "N02", .requested = ""});
}

// A slip with every printed box filled, and the masters it names.
inline Slip printedSlip() {
    return Slip{.no = "031031-004",
                .requested = "2003-10-31",
                .price = 12.5,
                .issued = 1200,
                .remark = "急ぎ",
                .kind = "袋詰め",
                .lot = "LOT-7",
                .employee = "E001"};
}

inline void addPrintMasters() {
    PriceFixtures::addMasters();
    execSql(QStringLiteral("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES"
                           " ('E001', '鈴木一郎  ', 0)"));
}

inline QVariant column(const QString& slipNo, const QString& name) {
    SqlQuery q(QStringLiteral("SELECT %1 FROM seihin_t WHERE 製品伝票番号 = ?").arg(name));
    q.bind(slipNo).exec();
    return q.next() ? q.value(name) : QVariant();
}

inline qint64 slipCount() {
    SqlQuery q("SELECT COUNT(*) AS n FROM seihin_t");
    q.exec();
    q.next();
    return q.integer("n");
}

} // namespace SlipFixtures
