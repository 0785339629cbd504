#pragma once

#include "core/sqlquery.h"
#include "slips/slipfixtures.h"

#include <QString>
#include <QVariant>

// Slips to print and their masters, written straight into the tables.
namespace PrintFixtures {

using SlipFixtures::addSlip;
using SlipFixtures::Slip;

// A slip with every printed box filled.
inline Slip printedSlip() {
    return Slip{.no = "031031-004",
                .requested = "2003-10-31",
                .price = 12.5,
                .issued = 1200,
                .remark = "急ぎ",
                .kind = "組立",
                .lot = "LOT-7",
                .employee = "E001"};
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
