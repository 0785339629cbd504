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
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

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

    void addSavesReloadsTheListAndCloses() {
        TestDatabase db(QDateTime(QDate(2003, 11, 15), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(5, "P-200", "W1", "N01", 1, "2003/01/01", QString(), true);
        frmWrkPriceMnt list;
        frmWrkPriceMnt2 editor(&list, EditMode::Add, 0);
        QCOMPARE(unnamedFields(&editor), QStringList());
        typeLine(&editor, "1,250.500", "2003/04/01", QString());
        click(&editor, "cmdUpd");
        QCOMPARE(takeShown(), QStringList{"作業単価を追加しますか？"});
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.savedSerial(), qint64(6));
        auto* grid = child<ListGrid>(&list, "grd1");
        QCOMPARE(grid->textMatrix(1, 0) + grid->textMatrix(1, 3) + grid->textMatrix(1, 6),
                 "6組立1,250.500");
    }

    void editAndCopyLoadTheLine() {
        TestDatabase db(QDateTime(QDate(2003, 6, 1), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(3, "P-100", "W1", "N01", 100, "2003/04/01", "2003/09/30", false, "旧単価");
        frmWrkPriceMnt list;
        {
            frmWrkPriceMnt2 editor(&list, EditMode::Edit, 3);
            QVERIFY(combo(&editor, "cboPno")->currentText().contains("部品ケース") &&
                    combo(&editor, "cboPerson")->currentText().contains("山田花子"));
            QCOMPARE(box(&editor, "txtMon")->text() + box(&editor, "txtDet_0")->text() +
                         box(&editor, "txtDay_0")->text() + box(&editor, "txtDay_1")->text(),
                     "100.000旧単価2003/04/012003/09/30");
            box(&editor, "txtMon")->setText("105.500");
            click(&editor, "cmdUpd"); // same dates: never collides with itself
            QCOMPARE(takeShown(), QStringList{"作業単価を編集しますか？"});
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QCOMPARE(child<ListGrid>(&list, "grd1")->textMatrix(1, 6), "105.500");
        }
        frmWrkPriceMnt2 copy(&list, EditMode::Copy, 3);
        QVERIFY(showActive(&copy));
        click(&copy, "cmdUpd"); // same dates: meets its source
        QCOMPARE(takeShown(),
                 (QStringList{"作業単価を複写しますか？", "適用日付に重複があります。"}));
        QVERIFY(copy.isVisible());
        QCOMPARE(QApplication::focusWidget(), box(&copy, "txtDay_0"));
        box(&copy, "txtDay_0")->setText("2003/10/01");
        box(&copy, "txtDay_1")->clear();
        click(&copy, "cmdUpd");
        QCOMPARE(copy.savedSerial(), qint64(4));
        QCOMPARE(countLines(), qint64(2));
    }

    void failuresAreReportedAndKeepTheInput() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QString(), QString(), QString());
        QVERIFY(showActive(&editor));
        MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
        click(&editor, "cmdUpd");
        QCOMPARE(takeShown(), QStringList{"作業単価を追加しますか？"});
        click(&editor, "cmdUpd");
        QCOMPARE(takeShown().value(1), "入力必須項目です。");
        QCOMPARE(QApplication::focusWidget(), combo(&editor, "cboPno"));

        // A failed insert is reported and keeps everything the clerk typed.
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
        takeShown();

        frmWrkPriceMnt2 gone(nullptr, EditMode::Edit, 99); // a line that is not there
        typeLine(&gone, "1.000", "2003/04/01", QString());
        click(&gone, "cmdUpd");
        QCOMPARE(takeShown().value(1), "作業単価の編集に失敗しました。");
        QCOMPARE(gone.result(), int(QDialog::Rejected));
        QCOMPARE(countLines(), qint64(1));
    }

    void leavingACodeComboChecksTheMaster() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QString(), QString(), QString());
        QVERIFY(showActive(&editor));
        const std::pair<const char*, QString> boxes[] = {
            {"cboPno", "指定の製品図番は存在しません。"},
            {"cboWNo", "指定の作業コードは存在しません。"},
            {"cboPerson", "指定の内職者は存在しません。"}};
        for (const auto& [name, message] : boxes) {
            QComboBox* c = combo(&editor, name);
            c->setFocus();
            c->setEditText("X9");
            QTest::keyClick(c, Qt::Key_Return);
            QCOMPARE(takeShown(), QStringList{message});
            QCOMPARE(QApplication::focusWidget(), c);
            c->setEditText(codeFromItem(c->itemText(1)));
            QTest::keyClick(c, Qt::Key_Return);
            QVERIFY(takeShown().isEmpty());
            QCOMPARE(c->currentText(), c->itemText(1)); // the code with its name
        }
        // Cancel leaves without checking the box or writing anything.
        combo(&editor, "cboPno")->setFocus();
        combo(&editor, "cboPno")->setEditText("P-999");
        click(&editor, "cmdCancel");
        QVERIFY(takeShown().isEmpty());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(countLines(), qint64(0));
    }

    void openedPrefilledForAMissingPriceWhichAFormsBoxesThenFind() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, "P-200", "W2", "N02");
        QCOMPARE(editor.mode(), EditMode::Add);
        box(&editor, "txtMon")->setText("80.000");
        box(&editor, "txtDay_0")->setText("2003/04/01");
        click(&editor, "cmdUpd");
        QCOMPARE(editor.result(), int(QDialog::Accepted));

        // The combos hold the names too; the price is read off a form's boxes.
        QVERIFY(combo(&editor, "cboPerson")->currentText().startsWith("N02  ") &&
                combo(&editor, "cboPerson")->currentText().contains("佐藤一郎"));
        box(&editor, "txtDay_0")->setText("2003/05/01 ");
        QCOMPARE(PriceLookup(&editor).text(), "80.000");
        box(&editor, "txtDay_0")->setText("2003/03/31");
        QVERIFY(!PriceLookup(&editor).found);
        box(&editor, "txtDay_0")->setText("2003/13/01");
        QVERIFY_THROWS_EXCEPTION(AppError, PriceLookup(&editor));
    }
};

QTEST_MAIN(TestPriceScreens)
#include "test_price_screens.moc"
