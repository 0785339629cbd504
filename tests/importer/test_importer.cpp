#include "core/schema.h"
#include "core/sqlquery.h"
#include "importer/importer.h"
#include "importer/oldtables.h"
#include "prices/pricestore.h"
#include "slips/slipnumber.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFixtures = QStringLiteral(TARVEL_FIXTURES);

// A copy of one fixture folder that a test may spoil.
QString copyFixtures(const QString& form, const QString& into) {
    QDir(into).mkpath(form);
    const QDir from(kFixtures + "/" + form);
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), into + "/" + form + "/" + name);
    return into + "/" + form;
}

// Stand-ins for mdb-tables and mdb-export: the fixture CSV in place of the
// .mdb, and every export's arguments noted in args.log.
Importer::Options standInMdbTools(const QString& dir) {
    auto script = [&](const QString& name, const QString& body) {
        QFile f(dir + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(("#!/bin/sh\n" + body).toUtf8());
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return f.fileName();
    };
    QString tables;
    for (const OldTables::Table& t : OldTables::tables())
        tables += t.name + "\n";
    Importer::Options o;
    o.tools.tablesProgram = script("mdb-tables", "printf '" + tables + "MSysObjects\\n'\n");
    o.tools.exportProgram = script("mdb-export", "echo \"$@\" >> " + dir + "/args.log\n" +
                                                     "for last; do :; done\ncat " + kFixtures +
                                                     "/mdb-export/$last.csv\n");
    return o;
}

// Every stored value of the old tables, in key order, Null told from "".
QString dump(const QString& path) {
    QString out;
    TestRuns::onSideConnection(path, [&](QSqlDatabase& db) {
        for (const OldTables::Table& t : OldTables::tables()) {
            QStringList names;
            for (const OldTables::Column& c : t.columns)
                names << c.name;
            SqlQuery q(db, QString("SELECT %1 FROM %2 ORDER BY %3")
                               .arg(names.join(','), t.name, t.key.join(',')));
            q.exec();
            while (q.next()) {
                QStringList values{t.name};
                for (const QString& n : names)
                    values << (q.isNull(n) ? "(Null)" : "[" + q.str(n) + "]");
                out += values.join(' ') + "\n";
            }
        }
        for (const QString& problem : Schema::check(db)) // what tarvel-admin check says
            out += problem + "\n";
    });
    return out;
}

// What tarvel-admin says, on either stream.
std::pair<int, QString> admin(const QStringList& args) {
    const TestRuns::AdminRun r = TestRuns::admin(args);
    return {r.exitCode, r.out + r.err};
}

} // namespace

class TestImporter : public QObject {
    Q_OBJECT

  private slots:
    // mdb-export's UTF-8 CSV, Access's Shift-JIS text export, an .mdb read
    // through mdb-export: the same tables.
    void cleanOfficeImportsExactly() {
        for (const QString form : {"mdb-export", "access-text", "mdb"}) {
            QTemporaryDir dir;
            const QString source =
                form == "mdb" ? dir.filePath("office.mdb") : kFixtures + "/" + form;
            TestRuns::writeBytes(dir.filePath("office.mdb"), {});
            const QString target = dir.filePath("tarvel.sqlite");
            const Importer::Outcome o = Importer::run(source, target, standInMdbTools(dir.path()));
            QVERIFY2(o.written && o.agrees && o.refusals.isEmpty(),
                     qPrintable(form + o.refusals + o.summary));
            const QString diff = goldenDifference("office.txt", o.summary + "\n" + dump(target));
            QVERIFY2(diff.isEmpty(), qPrintable(form + ": " + diff));
            QVERIFY(form != "mdb" || TestRuns::fileBytes(dir.filePath("args.log"))
                                         .startsWith("-D %Y-%m-%d %H:%M:%S -T %Y-%m-%d %H:%M:%S"));
        }
    }

    // Today's slip numbers and the price serials go on after the imported ones.
    void numberingContinues() {
        TestDatabase db(QDateTime(QDate(2003, 10, 31), QTime(10, 0)));
        const Importer::Outcome o = Importer::run(kFixtures + "/mdb-export", db.path(), {});
        QVERIFY(o.written && o.agrees);
        QCOMPARE(NewSlipNo(), QStringLiteral("031031-003"));
        QCOMPARE(nextPriceSerial(), qint64(8));
    }

    // Each refused row is named with its reason and nothing is written.
    void refusedRowsAreReportedAndNothingIsWritten() {
        QTemporaryDir dir;
        const QString target = dir.filePath("t.sqlite");
        const Importer::Outcome o = Importer::run(kFixtures + "/refused", target, {});
        QVERIFY(!o.written && !QFile::exists(target));
        const QString diff = goldenDifference("refused.txt", o.refusals);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // A table saved as UTF-16, or a file that is no text, is named as such.
    void filesThatAreNotShiftJisOrUtf8() {
        const QByteArray csv = TestRuns::fileBytes(kFixtures + "/mdb-export/syain_m.csv");
        const QString text = QString::fromUtf8(csv);
        const QByteArray le(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        QByteArray be = le;
        for (qsizetype i = 0; i < be.size(); i += 2)
            std::swap(be[i], be[i + 1]);
        const std::pair<QByteArray, const char*> cases[] = {
            {"\xFF\xFE" + le, "syain_m.csv は UTF-16"},
            {be, "syain_m.csv は UTF-16"},
            {"SQLite format 3" + QByteArray(40, '\0') + csv,
             "syain_m.csv はテキストファイルではありません"},
            {csv + "\x1A", "(no error)"}};
        for (const auto& [bytes, said] : cases) {
            QTemporaryDir dir;
            const QString source = copyFixtures("mdb-export", dir.path());
            QVERIFY(TestRuns::writeBytes(source + "/syain_m.csv", bytes));
            const QString error =
                TestRuns::errorOf([&] { Importer::run(source, dir.filePath("t.sqlite"), {}); });
            QVERIFY2(error.startsWith(said), qPrintable(error));
        }
    }

    // The command as the README gives it: stop, keep going, never overwrite.
    void commandLine() {
        QTemporaryDir dir;
        const QString source = copyFixtures("mdb-export", dir.path());
        const QString target = dir.filePath("new.sqlite");
        QVERIFY(TestRuns::writeBytes(
            source + "/seihin_t.csv",
            "\"040420-001\",\"A-100\",\"W1\",\"N001\",12.5,\"\",5,-5,,,\"\",\"\",,,0,\"001\"\n",
            QIODevice::Append));

        auto [code, said] = admin({"import", source, target});
        QVERIFY(code == 1 && said.contains("040420-001\t納入数量\t-5\t数量が負です"));
        QVERIFY(!QFile::exists(target));
        // One slip fewer than the source holds.
        std::tie(code, said) = admin({"import", source, target, "--keep-going"});
        QVERIFY2(code == 1 && said.contains("seihin_t\t6\t5\t<- 不一致"), qPrintable(said));
        QVERIFY(TestRuns::fileBytes(Importer::reportPathFor(target)).contains("040420-001"));
        QCOMPARE(dump(target).count("seihin_t "), 5);

        std::tie(code, said) = admin({"import", kFixtures + "/access-text", target});
        QVERIFY(code == 1 && said.contains("既にデータがあります"));
        std::tie(code, said) =
            admin({"import", kFixtures + "/access-text", dir.filePath("clean.sqlite")});
        QVERIFY(code == 0 && said.contains("すべての件数と金額が一致しました"));
    }
};

QTEST_GUILESS_MAIN(TestImporter)
#include "test_importer.moc"
