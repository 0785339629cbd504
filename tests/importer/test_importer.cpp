#include "core/clock.h"
#include "core/passwordhash.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "importer/csvreader.h"
#include "importer/importer.h"
#include "importer/importvalues.h"
#include "importer/oldtables.h"
#include "prices/pricestore.h"
#include "slips/slipnumber.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <vector>

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

// Stand-ins for mdb-tables and mdb-export printing what mdbtools 1.0.0
// prints for the office's .mdb (fixtures/mdb/README.md), for the import's
// arguments only.
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
        tables += t.name + "\\n";
    Importer::Options o;
    o.tools.tablesProgram = script("mdb-tables", "[ \"$1\" = -1 ] && printf '" + tables +
                                                     "wk_PersonA\\nwk_PnoAccount\\n'\n");
    o.tools.exportProgram =
        script("mdb-export",
               "[ \"$1 $2 $3 $4 $5 $6\" = '-D %Y-%m-%d %H:%M:%S -T %Y-%m-%d %H:%M:%S -b strip' ]"
               " || { echo \"stand-in: unexpected arguments $*\" >&2; exit 1; }\n"
               "cat " +
                   kFixtures + "/mdb/$8.csv\n");
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
                    values << (q.isNull(n)                      ? "(Null)"
                               : PasswordHash::isHash(q.str(n)) ? "(hash)"
                                                                : "[" + q.str(n) + "]");
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

// One case line of values.txt worked out.
QString convertedCase(const QStringList& f) {
    using K = OldTables::Kind;
    static const QMap<QString, K> kinds = {{"Date", K::Date},           {"DateTime", K::DateTime},
                                           {"BirthDate", K::BirthDate}, {"Price", K::Price},
                                           {"Whole", K::Whole},         {"Quantity", K::Quantity}};
    if (f[0] != "csv") {
        const ImportValue::Result r = ImportValue::convert(kinds.value(f[0]), f[1]);
        return r.problem.isEmpty() ? "[" + r.value.toString() + "]" : r.problem;
    }
    // The text ends where its memory ends: a read past it is the sanitizers' to see.
    const QString text = QString(f[1]).replace("\\n", "\n");
    std::vector<QChar> exact(text.cbegin(), text.cend());
    const CsvTable t = readCsv(QString::fromRawData(exact.data(), qsizetype(exact.size())));
    QStringList rows;
    for (const QStringList& row : QList<QStringList>{t.header} + t.rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << (field.isNull() ? "(Null)" : "[" + field + "]");
        rows << fields.join(' ');
    }
    return rows.join(" / ");
}

// The office's tables with many more slips, so that writing takes a while.
QString largeSource(const QString& into) {
    const QString source = copyFixtures("mdb-export", into);
    QByteArray slips;
    for (int i = 0; i < 60000; ++i)
        slips += QStringLiteral("\"S%1\",\"A-100\",\"W1\",\"N001\",12.5,\"\",1,,\"10/31/03\","
                                ",\"\",\"\",,,0,\"001\"\n")
                     .arg(i)
                     .toUtf8();
    TestRuns::writeBytes(source + "/seihin_t.csv", slips, QIODevice::Append);
    return source;
}

// The target of a targets.txt line as the case names it.
void prepareTarget(const QString& setup, const QString& target) {
    // This process, or a number beyond any process id the kernel gives.
    const QString pid = setup.contains("alive")
                            ? QString::number(QCoreApplication::applicationPid())
                            : QStringLiteral("99999999");
    if (setup.startsWith("created"))
        TestRuns::admin({"create", target});
    if (setup.contains("a row"))
        TestRuns::execOn(target, {"INSERT INTO syain_m (社員コード) VALUES ('001')"});
    if (setup.contains("dropped"))
        TestRuns::execOn(target, {"DROP TABLE seisan_t"});
    if (setup.contains("wal"))
        TestRuns::execOn(target, {"PRAGMA journal_mode=WAL"});
    if (setup.contains("customers"))
        TestRuns::execOn(
            target, {"CREATE TABLE customers (name TEXT)", "INSERT INTO customers VALUES ('x')"});
    if (setup == "empty file")
        TestRuns::writeBytes(target, "");
    if (setup == "text")
        TestRuns::writeBytes(target, "not a database, only some text long enough to matter\n");
    if (setup == "folder")
        QDir().mkpath(target);
    if (setup.startsWith("leftover"))
        for (const char* suffix : {"", "-journal"})
            TestRuns::writeBytes(target + ".importing-" + pid + suffix, "half");
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
        }
    }

    void valuesAtTheirEdges() {
        Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        const QString d = goldenCases("values.txt", convertedCase);
        Clock::useSystemClock();
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // Each target as the command finds it: exit status | what it says |
    // the target afterwards | the files in its folder.
    void targetsTakenOrRefused() {
        const QString d = goldenCases("targets.txt", [](const QStringList& f) {
            QTemporaryDir dir;
            const QString target = dir.filePath("t.db");
            prepareTarget(f[0], target);
            const QByteArray before = TestRuns::fileBytes(target);
            const TestRuns::AdminRun r =
                TestRuns::admin({"import", kFixtures + "/mdb-export", target});
            const QString said =
                r.exitCode == 0 ? r.out.trimmed().section('\n', -1) : r.err.trimmed();
            const QString files =
                QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .join(' ');
            return QStringList{
                QString::number(r.exitCode),
                QString(said).replace(dir.path(), "%dir%").replace('\n', " / "),
                TestRuns::fileBytes(target) == before ? "kept" : "written",
                QString(files).replace(QString::number(QCoreApplication::applicationPid()), "PID")}
                .join(" | ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // Killed while it writes, an import leaves no target, and the next one
    // clears what it left; of two at once into one target, one writes.
    void killedAndConcurrentImports() {
        QTemporaryDir dir;
        const QString source = largeSource(dir.path());
        const QString target = dir.filePath("t.db");
        QProcess killed;
        killed.start(TARVEL_ADMIN_PATH, {"import", source, target});
        QVERIFY(killed.waitForStarted());
        const QString temporary = target + ".importing-" + QString::number(killed.processId());
        while (!QFile::exists(temporary) && killed.state() == QProcess::Running)
            QThread::msleep(1);
        ::kill(pid_t(killed.processId()), SIGKILL);
        killed.waitForFinished();
        QVERIFY(QFile::exists(temporary) && !QFile::exists(target));

        for (const bool created : {false, true}) {
            const QString into = dir.filePath(created ? "created.db" : "new.db");
            if (created)
                QCOMPARE(TestRuns::admin({"create", into}).exitCode, 0);
            QProcess a, b;
            a.start(TARVEL_ADMIN_PATH, {"import", source, into});
            b.start(TARVEL_ADMIN_PATH, {"import", kFixtures + "/access-text", into});
            QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
            const QString lost = QString::fromUtf8((a.exitCode() ? a : b).readAllStandardError());
            QVERIFY2(a.exitCode() + b.exitCode() == 1 && lost.contains("既にデータがあります"),
                     qPrintable(lost));
        }
        QCOMPARE(TestRuns::admin({"import", source, target}).exitCode, 0);
        QCOMPARE(QDir(dir.path()).entryList({"*.importing-*"}, QDir::Files), QStringList());
    }

    // Today's slip numbers and the price serials go on after the imported
    // ones, in a database made empty beforehand (a file, or a server's).
    void numberingContinues() {
        TestDatabase db(QDateTime(QDate(2003, 10, 31), QTime(10, 0)));
        const Importer::Outcome o = Importer::run(kFixtures + "/mdb-export", db.path(), {});
        QVERIFY(o.written && o.agrees);
        QCOMPARE(NewSlipNo(), QStringLiteral("031031-003"));
        QCOMPARE(nextPriceSerial(), qint64(8));
        QVERIFY(TestRuns::errorOf([&] {
                    Importer::run(kFixtures + "/mdb-export", db.path(), {});
                }).contains("既にデータがあります"));
    }

    // Each refused row is named with its reason and nothing is written.
    void refusedRowsAreReportedAndNothingIsWritten() {
        QTemporaryDir dir;
        const QString target = dir.filePath("t.sqlite");
        const Importer::Outcome o = Importer::run(kFixtures + "/refused", target, {});
        QVERIFY(!o.written && !QFile::exists(target));
        const QString diff = goldenDifference("refused.txt", o.refusals);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        // Written in place, the rows and tables already sent are rolled back.
        for (const QString setup : {"empty file", "created"}) {
            prepareTarget(setup, target);
            const QByteArray before = TestRuns::fileBytes(target);
            QVERIFY(!Importer::run(kFixtures + "/refused", target, {}).written);
            QVERIFY2(setup == "created" ? !dump(target).contains("_m [")
                                        : TestRuns::fileBytes(target) == before,
                     qPrintable(setup));
            QFile::remove(target);
        }
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
        // Every table the source lacks, named at once.
        QVERIFY(QFile::remove(source + "/seihin_t.csv") && QFile::remove(source + "/tanka_m.csv"));
        std::tie(code, said) = admin({"import", source, dir.filePath("none.sqlite")});
        QVERIFY2(code == 1 && said.contains("tanka_m, seihin_t のファイル"), qPrintable(said));
        std::tie(code, said) =
            admin({"import", kFixtures + "/access-text", dir.filePath("clean.sqlite")});
        QVERIFY(code == 0 && said.contains("すべての件数と金額が一致しました"));
    }
};

QTEST_GUILESS_MAIN(TestImporter)
#include "test_importer.moc"
