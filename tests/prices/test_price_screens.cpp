#include "core/apperror.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/lookup.h"
#include "prices/pricefixtures.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "prices/screens/frmwrkpricemnt2.h"
#include "prices/screens/pricelookupform.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <memory>

using namespace GuiTest;
using PriceFixtures::addLine;

namespace {

qint64 countLines() {
    SqlQuery q("SELECT COUNT(*) AS n FROM tanka_m");
    return q.exec().next() ? q.integer("n") : -1;
}

// Fills the edit screen the way the clerk would leave it.
void typeLine(QWidget* f, const QString& price, const QString& start, const QString& end) {
    combo(f, "cboPno")->setEditText("P-100");
    combo(f, "cboWNo")->setEditText("W1");
    combo(f, "cboPerson")->setEditText("N01");
    box(f, "txtMon")->setText(price);
    box(f, "txtDay_0")->setText(start);
    box(f, "txtDay_1")->setText(end);
}

QString mode(QWidget* editor) {
    return child<QLabel>(editor, "lblMode")->text();
}

} // namespace

class TestPriceScreens : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void listFiltersSelectionAndModes() {
        TestDatabase db(QDateTime(QDate(2003, 11, 15), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(1, "P-100", "W1", "N01", 100, "2003/04/01");
        addLine(2, "P-100", "W1", "N01", 120, "2003/10/01");
        addLine(40000, "P-200", "W2", "N02", 1234.5, "2003/01/01", QString(), true);
        frmWrkPriceMnt list;
        QVERIFY(showActive(&list));
        auto* grid = child<ListGrid>(&list, "grd1");
        QCOMPARE(grid->textMatrix(1, 0) + "|" + grid->textMatrix(2, 0), "2|");
        QCOMPARE(list.selectedSerial(), qint64(2));
        child<QCheckBox>(&list, "ChkDel")->setChecked(false);
        child<QCheckBox>(&list, "chkFin")->setChecked(false);
        click(&list, "cmdSelect");
        QCOMPARE(grid->textMatrix(3, 6) + grid->textMatrix(3, 10), "1,234.500削除");
        grid->selectRow(3);
        QCOMPARE(list.selectedSerial(), qint64(40000)); // beyond 16 bits

        QStringList modes;
        const auto answerEditor = [&modes] {
            onNextModal([&modes](QWidget* editor) {
                modes << mode(editor) + combo(editor, "cboPno")->currentText().left(5);
                QTest::keyClick(editor, Qt::Key_Escape);
            });
        };
        for (const char* button : {"cmdIns", "cmdUpd", "cmdCopy"}) {
            answerEditor();
            click(&list, button);
        }
        grid->selectRow(5); // an empty row
        QCOMPARE(list.selectedSerial(), qint64(0));
        QVERIFY(!child<QPushButton>(&list, "cmdUpd")->isEnabled() &&
                !child<QPushButton>(&list, "cmdCopy")->isEnabled());
        answerEditor();
        emit grid->rowDoubleClicked(5);
        QCOMPARE(modes, (QStringList{"追　加", "編　集P-200", "複　写P-200", "追　加"}));
        // Back from the edit screen the grid has the keyboard again.
        QCOMPARE(list.focusWidget(), grid);
        QCOMPARE(countLines(), qint64(3)); // Escape wrote nothing
        QVERIFY(takeShown().isEmpty());
    }

    // The edit screen driven a step a line, each golden file on a database of
    // its own holding line 3: open | mode (1 add, 2 edit, 3 copy) | serial, or
    // open | pno | wno | person (prefilled to add); set | box | text ("_" a
    // blank); enter | combo | text (typed, then Enter); click | button;
    // answer | Cancel (to the next question); lookup | start (a form's price
    // look-up) → the messages, the focus, the screen (or how it closed), its
    // boxes, the serials and prices listed and the count of lines stored.
    void editScreenSteps() {
        for (const char* name : {"add.txt", "edit-copy.txt", "refusals.txt", "prefilled.txt"}) {
            TestDatabase db(QDateTime(QDate(2003, 6, 1), QTime(10, 0)));
            PriceFixtures::addMasters();
            addLine(3, "P-100", "W1", "N01", 100, "2003/04/01", "2003/09/30", false, "旧単価");
            frmWrkPriceMnt list;
            std::unique_ptr<frmWrkPriceMnt2> e;
            const QString d = goldenCases(name, [&](const QStringList& f) -> QString {
                const QString text = f.value(2).replace('_', ' ');
                if (f[0] == "open" && f.size() > 3)
                    e = std::make_unique<frmWrkPriceMnt2>(nullptr, f[1], f[2], f[3]);
                else if (f[0] == "open")
                    e = std::make_unique<frmWrkPriceMnt2>(&list, EditMode(f[1].toInt()),
                                                          f[2].toLongLong());
                if (f[0] == "open" && !showActive(e.get()))
                    return "not shown";
                if (f[0] == "set" && f[1].startsWith("cbo")) {
                    combo(e.get(), f[1])->setFocus();
                    combo(e.get(), f[1])->setEditText(text);
                } else if (f[0] == "set")
                    box(e.get(), f[1])->setText(text);
                if (f[0] == "enter") {
                    combo(e.get(), f[1])->setFocus();
                    combo(e.get(), f[1])->setEditText(text);
                    QTest::keyClick(combo(e.get(), f[1]), Qt::Key_Return);
                }
                if (f[0] == "click")
                    click(e.get(), f[1]);
                if (f[0] == "answer")
                    MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
                if (f[0] == "lookup") {
                    box(e.get(), "txtDay_0")->setText(QString(f[1]).replace('_', ' '));
                    try {
                        const PriceLookupResult r = PriceLookup(e.get());
                        return r.text() + (r.found ? "" : " not found");
                    } catch (const AppError& error) {
                        return "refused: " + error.text();
                    }
                }
                QStringList boxes;
                for (const char* c : {"cboPno", "cboWNo", "cboPerson"})
                    boxes << combo(e.get(), c)->currentText().simplified();
                for (const char* b : {"txtMon", "txtDet_0", "txtDay_0", "txtDay_1"})
                    boxes << box(e.get(), b)->text();
                QStringList listed;
                auto* grid = child<ListGrid>(&list, "grd1");
                for (int r = 1; r < grid->rows() && !grid->textMatrix(r, 0).isEmpty(); ++r)
                    listed << grid->textMatrix(r, 0) + " " + grid->textMatrix(r, 6);
                const QWidget* focus = QApplication::focusWidget();
                return QStringList{takeShown().join(" / "), focus ? focus->objectName() : "-",
                                   e->isVisible() ? "open"
                                   : e->result() == QDialog::Accepted
                                       ? "saved " + QString::number(e->savedSerial())
                                       : "closed",
                                   boxes.join(", "),
                                   listed.join(", ") +
                                       QStringLiteral(" (%1 stored)").arg(countLines())}
                    .join(" | ");
            });
            QVERIFY2(d.isEmpty(), qPrintable(d));
        }
    }

    // A failed insert is reported and keeps everything the clerk typed.
    void aRefusedInsertKeepsTheInput() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QString(), QString(), QString());
        QVERIFY(showActive(&editor));
        QCOMPARE(unnamedFields(&editor), QStringList());
        typeLine(&editor, "10.000", "2003/10/01", "2003/10/01");
        execSql("CREATE TRIGGER refuse BEFORE INSERT ON tanka_m"
                " BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
        click(&editor, "cmdUpd");
        const QStringList texts = takeShown();
        QVERIFY2(texts.size() == 2 && texts[1].contains("disk is full"),
                 qPrintable(texts.join('\n')));
        QVERIFY(editor.isVisible());
        QCOMPARE(box(&editor, "txtMon")->text() + box(&editor, "txtDay_1")->text(),
                 "10.0002003/10/01");
        execSql("DROP TRIGGER refuse");
        click(&editor, "cmdUpd");
        QCOMPARE(countLines(), qint64(1));
        QVERIFY(!editor.isVisible());
    }
};

QTEST_MAIN(TestPriceScreens)
#include "test_price_screens.moc"
