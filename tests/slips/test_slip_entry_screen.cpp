#include "core/screens/listgrid.h"
#include "core/screens/readonlyfield.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "slips/screens/frmproduct.h"
#include "slips/screens/frmproduct2.h"
#include "slips/slipfixtures.h"
#include "support/screenlog.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QTest>

using namespace GuiTest;
using namespace ScreenLog;
using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::column;
using SlipFixtures::slipCount;
using Answer = MessageBox::Answer;

namespace {

const QString kSettled = "2026-03-31 17:45:12";

void setup(TestDatabase& db) {
    db.writeIni("[Print]\nOutput=pdf\n[User]\nName=株式会社デモ精工\n");
    PriceFixtures::addMasters();
    addLine(1, "P-100", "W1", "N01", 12.5, "2026/01/01");
    gEmpCode = "001";
}

bool printed(const TestDatabase& db, const QString& slipNo) {
    return QFile::exists(QDir(db.dirPath()).filePath("print/" + slipNo + ".pdf"));
}

// What is stored of a slip.
QString stored(const QString& no) {
    if (!column(no, "製品伝票番号").isValid())
        return "no slip " + no;
    QStringList out{no, QString::number(column(no, "精算単価").toDouble())};
    for (const char* name :
         {"作業区分", "依頼日", "納入数量", "精算日時", "削除フラグ", "最終更新日時"})
        out << column(no, name).toString();
    return out.join('|');
}

// Walks the add screen with the keyboard from its first field.
void typeNewSlip(QWidget* entry, const QString& pno) {
    QComboBox* first = combo(entry, "cboPerson");
    QVERIFY(focused() == first || first->isAncestorOf(focused()));
    for (const QString& text : {QString("N01"), pno, QString("W1"), QString("組立て")}) {
        type(text);
        press(Qt::Key_Return);
    }
    QCOMPARE(focused(), box(entry, "txtDay_0"));
    type("20260315");
    press(Qt::Key_Return);
    type("1234");
    press(Qt::Key_Return);
}

} // namespace

class TestSlipEntryScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    // Each answer to the save question, with a price in force (P-100) and
    // without (P-200), as the clerk sees it and as it is stored.
    void add() {
        QStringList log;
        const std::pair<Answer, const char*> answers[] = {
            {Answer::Cancel, "cancel"}, {Answer::No, "no"}, {Answer::Yes, "yes"}};
        for (const QString pno : {"P-100", "P-200"})
            for (const auto& [answer, name] : answers) {
                TestDatabase db;
                setup(db);
                frmProduct list;
                frmProduct2 entry(&list, &list, EditMode::Add);
                QVERIFY(showActive(&entry));
                QCOMPARE(unnamedFields(&entry), QStringList());
                log << QStringLiteral("== %1, answer %2").arg(pno, name);
                log << "offered: " + boxes(&entry, {"txtDet_0", "txtDay_0"});
                typeNewSlip(&entry, pno);
                log << "typed: " + boxes(&entry, {"txtMon_0", "txtMon_1", "txtMon_2"}) + ", " +
                           seen();
                onNextModal([&](QWidget* prices) {
                    log << "prices screen: [" + combo(prices, "cboPno")->currentText().left(5) +
                               "] [" + combo(prices, "cboWNo")->currentText().left(5) + "] [" +
                               combo(prices, "cboPerson")->currentText().left(5) + "]";
                    box(prices, "txtMon")->setText("80.000");
                    box(prices, "txtDay_0")->setText("2026/03/01");
                    click(prices, "cmdUpd");
                });
                MessageBox::setNextAnswer(answer);
                click(&entry, "cmdUpd");
                log << QString("save: " + seen()).replace(db.dirPath(), "<folder>");
                log << QStringLiteral("screen %1, printed %2, listed %3")
                           .arg(entry.isVisible() ? "open" : "closed")
                           .arg(printed(db, "260401-001"))
                           .arg(child<ListGrid>(&list, "grd1")->textMatrix(1, 0));
                log << QString::number(slipCount()) + " slips: " + stored("260401-001");
            }
        const QString d = differs("slip-add.txt", log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void requiredFieldsComeFirst() {
        TestDatabase db;
        setup(db);
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(showActive(&entry));
        QStringList log;
        // A new slip is compared with "not deleted".
        for (int i = 0; i < 2; ++i) {
            child<QCheckBox>(&entry, "ChkDel")->click();
            log << "deleted clicked: " + seen();
        }
        box(&entry, "txtDay_0")->clear();
        for (const QString text : {"P-100", "W1", "N01", "2026/04/01"}) {
            click(&entry, "cmdUpd");
            QWidget* field = entry.focusWidget();
            if (auto* c = qobject_cast<QComboBox*>(field->parentWidget()))
                field = c;
            log << "save: " + seen() + ", focus " + field->objectName() + ", typed " + text;
            if (auto* c = qobject_cast<QComboBox*>(field))
                c->setEditText(text);
            else
                static_cast<QLineEdit*>(field)->setText(text);
        }
        log << QString::number(slipCount()) + " slips";
        const QString d = differs("slip-required.txt", log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void aSettledSlipKeepsItsStampAndPrice() {
        TestDatabase db;
        setup(db);
        addLine(2, "P-100", "W1", "N01", 120, "2026/03/01");
        addSlip({.no = "260310-001",
                 .deliveredOn = "2026-03-20",
                 .settledAt = kSettled,
                 .price = 100,
                 .issued = 1234,
                 .delivered = 1000});
        QStringList log;
        {
            // As paid, not at the 120 now in force.
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            QVERIFY(showActive(&entry));
            log << "opened: " + boxes(&entry, {"txtDay_2", "txtMon_1", "txtMon_2"});
            box(&entry, "txtMon_3")->setText("990");
            MessageBox::setNextAnswer(Answer::No);
            click(&entry, "cmdUpd");
            log << "delivered 990, save: " + seen();
            log << (entry.isVisible() ? "screen open: " : "closed: ") + stored("260310-001");
        }
        {
            // Each status change is announced; the save asks OK / Cancel and never prints.
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            QVERIFY(showActive(&entry));
            child<QCheckBox>(&entry, "ChkDel")->click();
            box(&entry, "txtDay_2")->setFocus();
            type("0"); // clears a date
            press(Qt::Key_Tab);
            log << "deleted, date cleared: " + seen();
            MessageBox::setNextAnswer(Answer::Cancel);
            click(&entry, "cmdUpd");
            log << "save, cancel: " + seen() + ": " + stored("260310-001");
            click(&entry, "cmdUpd"); // OK
            log << "save, OK: " + seen() +
                       QStringLiteral(", printed %1").arg(printed(db, "260310-001"));
        }
        log << "re-priced: " + stored("260310-001");
        const QString d = differs("slip-settled.txt", log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // A slip a settlement run paid: what decides the pay is locked until the
    // run is cancelled; the rest still saves.
    void aPaidSlipKeepsWhatWasPaidFor() {
        const QString d = goldenCases("slip-paid.txt", [](const QStringList& f) {
            TestDatabase db;
            setup(db);
            addSlip({.no = "260310-001",
                     .deliveredOn = "2026-03-20",
                     .settledAt = kSettled,
                     .price = 12.5,
                     .delivered = 1000});
            execSql(
                "INSERT INTO seisan_t (精算日時, 内職者コード, 削除フラグ) VALUES (?, 'N01', ?)",
                {kSettled, f[2] == "cancelled" ? 1 : 0});
            frmProduct2 entry(nullptr, nullptr, EditMode::Edit, "260310-001");
            showActive(&entry);
            QWidget* w = child<QWidget>(&entry, f[0]);
            const QString state = isReadOnlyField(w) ? "locked (" + w->toolTip() + ")" : "open";
            if (auto* c = qobject_cast<QComboBox*>(w))
                c->setEditText(f[1]);
            else if (auto* b = qobject_cast<QCheckBox*>(w))
                b->setChecked(!b->isChecked());
            else
                static_cast<QLineEdit*>(w)->setText(f[1]);
            if (!isReadOnlyField(w))
                MessageBox::setNextAnswer(Answer::No);
            click(&entry, "cmdUpd");
            return state + ", save: " + seen() + (entry.isVisible() ? ", screen open" : "") +
                   ", stamped " + column("260310-001", "最終更新日時").toString();
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void aFullDayKeepsTheScreenOpen() {
        TestDatabase db;
        setup(db);
        addSlip({.no = "260401-999", .deleted = true});
        frmProduct2 entry(nullptr, nullptr, EditMode::Add);
        QVERIFY(showActive(&entry));
        QStringList log{"offered: " + boxes(&entry, {"txtDet_0"})};
        typeNewSlip(&entry, "P-100");
        click(&entry, "cmdUpd");
        log << "save: " + seen();
        log << (entry.isVisible() ? "screen open, " : "closed, ") + boxes(&entry, {"txtMon_0"}) +
                   QStringLiteral(", %1 slips").arg(slipCount());
        const QString d = differs("slip-day-full.txt", log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
};

QTEST_MAIN(TestSlipEntryScreen)
#include "test_slip_entry_screen.moc"
