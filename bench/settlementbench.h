#pragma once

// The database the settlement benchmarks share: 300 home-workers, 10,000
// combinations with 5 price lines each (one in 50 deleted), and the given
// number of slips delivered in April 2024, about half of them without a
// stored price. Written with the bare C API (of either engine) so that
// filling costs little.
#include "benchdatabase.h"

#include <QDate>
#include <QRandomGenerator>

namespace SettlementBench {

constexpr int kWorkers = 300;
constexpr int kCombinations = 10000;
constexpr int kLinesPerCombination = 5; // 50,000 price lines
inline const QByteArray kFirst = "2024-04-01";
inline const QByteArray kLast = "2024-04-30";

inline QByteArray code(char prefix, int i, int width) {
    return prefix + QByteArray::number(i).rightJustified(width, '0');
}

// Fills the empty tables of db.
template <class Db> void fill(Db& db, int slips) {
    using Statement = typename Db::Statement;
    QRandomGenerator rng(7);
    BenchDatabase::beginWrite(db);
    Statement w(db, "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                    " VALUES (?, ?, 0)");
    for (int i = 0; i < kWorkers; ++i) {
        w.bind(1, code('N', i, 4));
        w.bind(2, QStringLiteral("内職者%1").arg(i).toUtf8());
        w.step();
        w.reset();
    }
    Statement k(db, "INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES (?, ?, 0)");
    for (int i = 0; i < 7; ++i) {
        k.bind(1, code('W', i, 2));
        k.bind(2, QStringLiteral("作業%1").arg(i).toUtf8());
        k.step();
        k.reset();
    }
    Statement p(db, "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                    " 単価, 適用開始日, 削除フラグ) VALUES (?, ?, ?, ?, ?, ?, ?)");
    qint64 serial = 0;
    for (int c = 0; c < kCombinations; ++c)
        for (int l = 0; l < kLinesPerCombination; ++l) {
            p.bind(1, ++serial);
            p.bind(2, code('P', c / kWorkers, 4));
            p.bind(3, code('W', c % 7, 2));
            p.bind(4, code('N', c % kWorkers, 4));
            p.bind(5, 10.125 + rng.bounded(20000) / 1000.0);
            p.bind(6, QByteArray::number(2019 + l) + "-01-01");
            p.bind(7, qint64(serial % 50 == 0 ? 1 : 0));
            p.step();
            p.reset();
        }
    Statement s(db, "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                    " 精算単価, 払出数量, 納入数量, 依頼日, 納入日, 最終更新日時, 削除フラグ,"
                    " 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '2024-04-30 12:00:00', 0,"
                    " 'E001')");
    for (int i = 0; i < slips; ++i) {
        const int c = rng.bounded(kCombinations);
        const qint64 quantity = 1 + rng.bounded(1000);
        s.bind(1, code('S', i, 9));
        s.bind(2, code('P', c / kWorkers, 4));
        s.bind(3, code('W', c % 7, 2));
        s.bind(4, code('N', c % kWorkers, 4));
        s.bind(5, i % 2 ? 10.125 : 0.0); // about half need a new price
        s.bind(6, quantity);
        s.bind(7, quantity);
        s.bind(8, QDate(2020, 1, 1).addDays(rng.bounded(1500)).toString(Qt::ISODate).toUtf8());
        s.bind(9, QDate(2024, 4, 1).addDays(rng.bounded(30)).toString(Qt::ISODate).toUtf8());
        s.step();
        s.reset();
    }
    db.exec("COMMIT");
}

// A new database file at path, filled.
inline void fillFile(const QString& path, int slips) {
    Schema::createFile(path);
    RawDb db(path);
    BenchDatabase::exec(db, BenchDatabase::kLikeTheProgram);
    fill(db, slips);
}

} // namespace SettlementBench
