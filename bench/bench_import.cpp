// Times tarvel-admin import of an office exported as mdb-export writes it:
// 100,000 slips, 50,000 price lines and 5,000 settlement rows with their
// masters, read from CSV, converted, checked, written and summed up. The
// baseline loads the same rows, already converted, through the bare sqlite3
// C API into a file with the same tables and indexes, in the same run.
// Run by hand:
//   build/bench/bench_import
#include "core/schema.h"
#include "importer/importer.h"
#include "rawsqlite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kPersons = 300, kDrawings = 400, kWorkCodes = 10;
constexpr int kPriceLines = 50000, kSlips = 100000, kSettlements = 5000;
constexpr int kRuns = 3;

using Value = std::optional<QByteArray>; // Null, or the stored text
struct Table {
    QString name;
    QByteArray csv;
    std::vector<std::vector<Value>> rows;
};

// One exported field and its stored value side by side.
struct Row {
    QByteArray csv;
    std::vector<Value> values;
    void text(const QByteArray& t, const QByteArray& stored = {}) {
        csv += (csv.isEmpty() ? "" : ",") + ('"' + t + '"');
        values.push_back(stored.isNull() ? t.trimmed() : stored);
    }
    void number(const QByteArray& exported, const QByteArray& stored) {
        csv += (csv.isEmpty() ? "" : ",") + exported;
        values.push_back(stored);
    }
    void null() {
        csv += csv.isEmpty() ? "" : ",";
        values.push_back(std::nullopt);
    }
    // Jet's month-first form; stored as ISO.
    void date(int day, bool withTime) {
        const QDateTime t = QDateTime(QDate(2003, 1, 1).addDays(day), QTime(withTime ? 18 : 0, 0));
        text(t.toString("MM/dd/yy HH:mm:ss").toLatin1(),
             t.toString(withTime ? "yyyy-MM-dd HH:mm:ss" : "yyyy-MM-dd").toLatin1());
    }
};

QByteArray code(const char* prefix, int i) {
    return prefix + QByteArray::number(i).rightJustified(4, '0');
}

void add(Table& t, const QByteArray& header, Row&& r) {
    if (t.csv.isEmpty())
        t.csv = header + "\n";
    t.csv += r.csv + "\n";
    t.rows.push_back(std::move(r.values));
}

std::vector<Table> office() {
    std::vector<Table> t;
    for (const char* name :
         {"syain_m", "zuban_m", "sagyou_m", "naishoku_m", "tanka_m", "seihin_t", "seisan_t"})
        t.push_back(Table{name, {}, {}});
    const QByteArray updated = "\"10/31/03 09:15:00\"";
    auto master = [&](Table& table, const QByteArray& header, const QByteArray& key,
                      const char* name) {
        Row r;
        r.text(key + "   ", key);
        r.text(name);
        r.text("");
        r.number(updated, "2003-10-31 09:15:00");
        r.number("0", "0");
        r.text("001");
        add(table, header, std::move(r));
    };
    Row e;
    for (const char* v : {"001", "山田 太郎", "1234", ""})
        e.text(v);
    e.number(updated, "2003-10-31 09:15:00");
    e.number("0", "0");
    add(t[0], "社員コード,氏名,パスワード,備考,最終更新日時,削除フラグ", std::move(e));
    for (int i = 0; i < kDrawings; ++i)
        master(t[1], "製品図番,図番名称,備考,最終更新日時,削除フラグ,社員コード", code("P-", i),
               "ケース");
    for (int i = 0; i < kWorkCodes; ++i)
        master(t[2], "作業コード,作業項目,備考,最終更新日時,削除フラグ,社員コード", code("W", i),
               "組立");
    for (int i = 0; i < kPersons; ++i) {
        Row r;
        r.text(code("N", i) + "   ", code("N", i));
        r.text("鈴木 一子");
        r.null(); // 生年月日
        for (int k = 0; k < 8; ++k)
            r.text("");
        r.number(updated, "2003-10-31 09:15:00");
        r.number("0", "0");
        add(t[3],
            "内職者コード,内職者氏名,生年月日,郵便番号,住所,電話,携帯電話,ファックス,"
            "メールアドレス,ランク,備考,最終更新日時,削除フラグ",
            std::move(r));
    }
    for (int i = 0; i < kPriceLines; ++i) {
        Row r;
        r.number(QByteArray::number(i + 1), QByteArray::number(i + 1));
        r.text(code("P-", i % kDrawings));
        r.text(code("W", i % kWorkCodes));
        r.text(code("N", i % kPersons));
        const QByteArray price = QByteArray::number(10 + i % 50) + ".2500";
        r.number(price, QByteArray::number(10 + i % 50) + ".25");
        r.text("");
        r.date(i % 700, false);
        r.null();
        r.number(updated, "2003-10-31 09:15:00");
        r.number("0", "0");
        r.text("001");
        add(t[4],
            "単価シリアル,製品図番,作業コード,内職者コード,単価,備考,適用開始日,適用終了日,"
            "最終更新日時,削除フラグ,社員コード",
            std::move(r));
    }
    for (int i = 0; i < kSlips; ++i) {
        Row r;
        const int day = i / 250;
        r.text(QDate(2003, 1, 1).addDays(day).toString("yyMMdd").toLatin1() + "-" +
               QByteArray::number(i % 250 + 1).rightJustified(3, '0'));
        r.text(code("P-", i % kDrawings));
        r.text(code("W", i % kWorkCodes));
        r.text(code("N", i % kPersons));
        r.number("12.5000", "12.5");
        r.text("区分");
        r.number("100", "100");
        r.number("90", "90");
        r.date(day, false);
        r.date(day + 5, false);
        r.text("L1");
        r.text("");
        if (i % 2)
            r.date(day + 30, true);
        else
            r.null();
        r.number(updated, "2003-10-31 09:15:00");
        r.number("0", "0");
        r.text("001");
        add(t[5],
            "製品伝票番号,製品図番,作業コード,内職者コード,精算単価,作業区分,払出数量,納入数量,"
            "依頼日,納入日,管理ロットNo,備考,精算日時,最終更新日時,削除フラグ,社員コード",
            std::move(r));
    }
    for (int i = 0; i < kSettlements; ++i) {
        Row r;
        r.date(i / kPersons, true);
        r.text(code("N", i % kPersons));
        r.date(0, false);
        r.date(30, false);
        r.number("10", "10");
        r.number("1250.0000", "1250");
        r.number("62.0000", "62");
        r.number("1312.0000", "1312");
        r.text("");
        r.number(updated, "2003-10-31 09:15:00");
        r.number("0", "0");
        r.text("001");
        add(t[6],
            "精算日時,内職者コード,精算対象開始日,精算対象最終日,精算対象伝票枚数,精算金額,"
            "消費税,合計金額,備考,最終更新日時,削除フラグ,社員コード",
            std::move(r));
    }
    return t;
}

// The same rows through prepared statements, one transaction.
void bareLoad(const QString& path, const std::vector<Table>& tables) {
    Schema::createFile(path);
    RawDb db(path);
    db.exec("BEGIN IMMEDIATE");
    for (const Table& t : tables) {
        const QByteArray header = t.csv.left(t.csv.indexOf('\n'));
        const int columns = int(header.count(',')) + 1;
        QStringList marks;
        for (int i = 0; i < columns; ++i)
            marks << "?";
        RawStatement insert(db, QString("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(t.name, QString::fromUtf8(header), marks.join(',')));
        for (const std::vector<Value>& row : t.rows) {
            for (int c = 0; c < columns; ++c) {
                if (row[c])
                    insert.bind(c + 1, *row[c]);
            }
            insert.step();
            insert.reset();
        }
    }
    db.exec("COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const std::vector<Table> tables = office();
    for (const Table& t : tables) {
        QFile f(dir.filePath(t.name + ".csv"));
        f.open(QIODevice::WriteOnly);
        f.write(t.csv);
    }
    double best = 1e300, bestBaseline = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const QString target = dir.filePath(QString("import%1.sqlite").arg(run));
        const QString baseline = dir.filePath(QString("bare%1.sqlite").arg(run));
        QElapsedTimer timer;
        timer.start();
        const Importer::Outcome o = Importer::run(dir.path(), target, {});
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
        if (!o.written || !o.agrees) {
            std::fprintf(stderr, "import failed:\n%s\n", qPrintable(o.refusals + o.summary));
            return 2;
        }
        timer.restart();
        bareLoad(baseline, tables);
        bestBaseline = std::min(bestBaseline, double(timer.nsecsElapsed()) / 1e6);
    }
    return reportRatio("import 100,000 slips (best of 3)", best, bestBaseline, 3.0) ? 0 : 1;
}
