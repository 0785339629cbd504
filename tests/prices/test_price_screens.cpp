#include "app/frmmenu.h"
#include "core/apperror.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "prices/pricefixtures.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "prices/screens/frmwrkpricemnt2.h"
#include "prices/screens/pricelookupform.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace GuiTest;
using PriceFixtures::addLine;

namespace {

qint64 countLines() {
    SqlQuery q(QStringLiteral("SELECT COUNT(*) AS n FROM tanka_m"));
    q.exec();
    q.next();
    return q.integer(QStringLiteral("n"));
}

// Fills the edit screen the way the clerk would leave it.
void typeLine(QWidget* f, const QString& price, const QString& start, const QString& end) {
    combo(f, "cboPno")->setEditText(QStringLiteral("P-100"));
    combo(f, "cboWNo")->setEditText(QStringLiteral("W1"));
    combo(f, "cboPerson")->setEditText(QStringLiteral("N01"));
    box(f, "txtMon")->setText(price);
    box(f, "txtDay_0")->setText(start);
    box(f, "txtDay_1")->setText(end);
}

} // namespace

class TestPriceScreens : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void listFiltersAndSelection() {
        TestDatabase db(QDateTime(QDate(2003, 11, 15), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(1, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 100,
                QStringLiteral("2003/04/01"));
        addLine(2, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 120,
                QStringLiteral("2003/10/01"));
        addLine(40000, QStringLiteral("P-200"), QStringLiteral("W2"), QStringLiteral("N02"), 1234.5,
                QStringLiteral("2003/01/01"), QString(), true);
        frmWrkPriceMnt list;
        auto* grid = child<ListGrid>(&list, "grd1");
        QVERIFY(child<QCheckBox>(&list, "ChkDel")->isChecked());
        QVERIFY(child<QCheckBox>(&list, "chkFin")->isChecked());
        QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("2"));
        QCOMPARE(grid->textMatrix(2, 0), QString());
        QCOMPARE(grid->rows(), 15);
        QCOMPARE(list.selectedSerial(), qint64(2));
        QVERIFY(child<QPushButton>(&list, "cmdUpd")->isEnabled());

        child<QCheckBox>(&list, "ChkDel")->setChecked(false);
        child<QCheckBox>(&list, "chkFin")->setChecked(false);
        click(&list, "cmdSelect");
        QCOMPARE(grid->textMatrix(3, 0), QStringLiteral("40000"));
        QCOMPARE(grid->textMatrix(3, 6), QStringLiteral("1,234.500"));
        QCOMPARE(grid->textMatrix(3, 10), QStringLiteral("削除"));
        grid->selectRow(3);
        QCOMPARE(list.selectedSerial(), qint64(40000)); // beyond 16 bits
        QVERIFY(child<QPushButton>(&list, "cmdCopy")->isEnabled());
        grid->selectRow(5); // an empty row
        QCOMPARE(list.selectedSerial(), qint64(0));
        QVERIFY(!child<QPushButton>(&list, "cmdUpd")->isEnabled());
        QVERIFY(!child<QPushButton>(&list, "cmdCopy")->isEnabled());
        QVERIFY(takeShown().isEmpty());
    }

    void menuOpensTheListAndEscapeClosesIt() {
        TestDatabase db;
        db.writeIni(QStringLiteral("[Access]\nUID=0\n"));
        FrmMenu menu;
        QString opened;
        QTimer::singleShot(0, [&opened] {
            QWidget* screen = QApplication::activeModalWidget();
            if (!screen)
                return;
            opened = screen->objectName();
            QTest::keyClick(screen, Qt::Key_Escape);
        });
        click(&menu, "cmdWrkPrice");
        QCOMPARE(opened, QStringLiteral("frmWrkPriceMnt"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void listOpensTheEditorInTheChosenMode() {
        TestDatabase db;
        PriceFixtures::addMasters();
        addLine(7, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 100,
                QStringLiteral("2003/04/01"));
        frmWrkPriceMnt list;
        QVERIFY(showActive(&list));
        QStringList modes;
        auto answerEditor = [&modes] {
            QTimer::singleShot(0, [&modes] {
                QWidget* editor = QApplication::activeModalWidget();
                if (!editor)
                    return;
                modes << child<QLabel>(editor, "lblMode")->text() +
                             combo(editor, "cboPno")->currentText().left(5);
                QTest::keyClick(editor, Qt::Key_Escape);
            });
        };
        for (const char* button : {"cmdIns", "cmdUpd", "cmdCopy"}) {
            answerEditor();
            click(&list, button);
        }
        child<ListGrid>(&list, "grd1")->selectRow(4);
        answerEditor();
        emit child<ListGrid>(&list, "grd1")->rowDoubleClicked(4);
        QCOMPARE(modes, (QStringList{"追　加", "編　集P-100", "複　写P-100", "追　加"}));
        // Back from the edit screen the grid has the keyboard again.
        QCOMPARE(list.focusWidget(), child<ListGrid>(&list, "grd1"));
        QCOMPARE(countLines(), qint64(1)); // Escape wrote nothing
    }

    void addSavesReloadsTheListAndCloses() {
        TestDatabase db(QDateTime(QDate(2003, 11, 15), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(5, QStringLiteral("P-200"), QStringLiteral("W1"), QStringLiteral("N01"), 1,
                QStringLiteral("2003/01/01"), QString(), true);
        frmWrkPriceMnt list;
        frmWrkPriceMnt2 editor(&list, EditMode::Add, 0);
        QCOMPARE(unnamedFields(&editor), QStringList());
        QCOMPARE(child<QLabel>(&editor, "lblMode")->text(), QStringLiteral("追　加"));
        QVERIFY(combo(&editor, "cboPno")->count() == 2);
        QVERIFY(combo(&editor, "cboPno")->currentText().isEmpty());
        typeLine(&editor, QStringLiteral("1,250.500"), QStringLiteral("2003/04/01"), QString());
        click(&editor, "cmdUpd");
        QCOMPARE(takeShown(), QStringList{QStringLiteral("作業単価を追加しますか？")});
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.savedSerial(), qint64(6));
        auto* grid = child<ListGrid>(&list, "grd1");
        QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("6"));
        QCOMPARE(grid->textMatrix(1, 6), QStringLiteral("1,250.500"));
        QCOMPARE(grid->textMatrix(1, 3), QStringLiteral("組立"));
    }

    void editAndCopyLoadTheLine() {
        TestDatabase db(QDateTime(QDate(2003, 6, 1), QTime(10, 0)));
        PriceFixtures::addMasters();
        addLine(3, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 100,
                QStringLiteral("2003/04/01"), QStringLiteral("2003/09/30"), false,
                QStringLiteral("旧単価"));
        frmWrkPriceMnt list;
        {
            frmWrkPriceMnt2 editor(&list, EditMode::Edit, 3);
            QCOMPARE(child<QLabel>(&editor, "lblMode")->text(), QStringLiteral("編　集"));
            QVERIFY(combo(&editor, "cboPno")->currentText().startsWith(QStringLiteral("P-100 ")));
            QVERIFY(combo(&editor, "cboPno")->currentText().contains(QStringLiteral("部品ケース")));
            QVERIFY(
                combo(&editor, "cboPerson")->currentText().contains(QStringLiteral("山田花子")));
            QCOMPARE(box(&editor, "txtMon")->text(), QStringLiteral("100.000"));
            QCOMPARE(box(&editor, "txtDet_0")->text(), QStringLiteral("旧単価"));
            QCOMPARE(box(&editor, "txtDay_0")->text(), QStringLiteral("2003/04/01"));
            QCOMPARE(box(&editor, "txtDay_1")->text(), QStringLiteral("2003/09/30"));
            box(&editor, "txtMon")->setText(QStringLiteral("105.500"));
            click(&editor, "cmdUpd"); // same dates: never collides with itself
            QCOMPARE(takeShown(), QStringList{QStringLiteral("作業単価を編集しますか？")});
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QCOMPARE(child<ListGrid>(&list, "grd1")->textMatrix(1, 6), QStringLiteral("105.500"));
        }
        frmWrkPriceMnt2 copy(&list, EditMode::Copy, 3);
        QVERIFY(showActive(&copy));
        QCOMPARE(child<QLabel>(&copy, "lblMode")->text(), QStringLiteral("複　写"));
        click(&copy, "cmdUpd"); // same dates: meets its source
        QCOMPARE(takeShown(),
                 (QStringList{"作業単価を複写しますか？", "適用日付に重複があります。"}));
        QVERIFY(copy.isVisible());
        QCOMPARE(QApplication::focusWidget(), box(&copy, "txtDay_0"));
        box(&copy, "txtDay_0")->setText(QStringLiteral("2003/10/01"));
        box(&copy, "txtDay_1")->clear();
        click(&copy, "cmdUpd");
        QCOMPARE(copy.result(), int(QDialog::Accepted));
        QCOMPARE(copy.savedSerial(), qint64(4));
        QCOMPARE(countLines(), qint64(2));
    }

    void saveMessagesKeepTheInput() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QString(), QString(), QString());
        QVERIFY(showActive(&editor));

        MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
        click(&editor, "cmdUpd");
        QCOMPARE(takeShown(), QStringList{QStringLiteral("作業単価を追加しますか？")});

        click(&editor, "cmdUpd");
        QCOMPARE(takeShown().value(1), QStringLiteral("入力必須項目です。"));
        QCOMPARE(QApplication::focusWidget(), combo(&editor, "cboPno"));

        typeLine(&editor, QStringLiteral("10.000"), QStringLiteral("2003/10/01"), QString());
        box(&editor, "txtDay_0")->setFocus();

        // A failed insert is reported and keeps everything the clerk typed.
        execSql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tanka_m"
                               " BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
        // The focused date box shows its digits; leaving it formats them.
        QCOMPARE(box(&editor, "txtDay_0")->text(), QStringLiteral("20031001"));
        QTest::keyClick(box(&editor, "txtDay_0"), Qt::Key_Return);
        QCOMPARE(box(&editor, "txtDay_0")->text(), QStringLiteral("2003/10/01"));
        box(&editor, "txtDay_1")->setText(QStringLiteral("2003/10/01"));
        click(&editor, "cmdUpd");
        QStringList texts = takeShown();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(texts[1].contains(QStringLiteral("disk is full")), qPrintable(texts[1]));
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(box(&editor, "txtMon")->text(), QStringLiteral("10.000"));
        QCOMPARE(box(&editor, "txtDay_1")->text(), QStringLiteral("2003/10/01"));
        execSql(QStringLiteral("DROP TRIGGER refuse"));
        click(&editor, "cmdUpd");
        QCOMPARE(countLines(), qint64(1));
        QVERIFY(!editor.isVisible());
    }

    void editFailuresAreReported() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 noLine(nullptr, EditMode::Edit, 0);
        typeLine(&noLine, QStringLiteral("1.000"), QStringLiteral("2003/04/01"), QString());
        click(&noLine, "cmdUpd");
        QCOMPARE(takeShown().value(1), QStringLiteral("作業単価の編集に失敗しました。"));

        frmWrkPriceMnt2 gone(nullptr, EditMode::Edit, 99); // a line that is not there
        typeLine(&gone, QStringLiteral("1.000"), QStringLiteral("2003/04/01"), QString());
        click(&gone, "cmdUpd");
        QCOMPARE(takeShown().value(1), QStringLiteral("作業単価の編集に失敗しました。"));
        QCOMPARE(gone.result(), int(QDialog::Rejected));
        QCOMPARE(countLines(), qint64(0));
    }

    void leavingACodeComboChecksTheMaster() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QString(), QString(), QString());
        QVERIFY(showActive(&editor));
        QComboBox* pno = combo(&editor, "cboPno");
        pno->setFocus();
        pno->setEditText(QStringLiteral("P-999"));
        QTest::keyClick(pno, Qt::Key_Tab);
        // As on every other screen: a validation message carries no icon.
        QCOMPARE(MessageBox::shown().value(0).icon, MessageBox::Icon::None);
        QCOMPARE(takeShown(), QStringList{QStringLiteral("指定の製品図番は存在しません。")});
        QCOMPARE(QApplication::focusWidget(), pno);
        pno->setEditText(QString());
        QTest::keyClick(pno, Qt::Key_Return);
        QCOMPARE(takeShown(), QStringList{QStringLiteral("入力必須項目です。")});
        pno->setEditText(QStringLiteral("P-200"));
        QTest::keyClick(pno, Qt::Key_Return);
        QVERIFY(takeShown().isEmpty());
        QVERIFY(pno->currentText().contains(QStringLiteral("カバー")));
        QCOMPARE(QApplication::focusWidget(), combo(&editor, "cboWNo"));

        combo(&editor, "cboWNo")->setEditText(QStringLiteral("W9"));
        QTest::keyClick(combo(&editor, "cboWNo"), Qt::Key_Return);
        QCOMPARE(takeShown(), QStringList{QStringLiteral("指定の作業コードは存在しません。")});
        combo(&editor, "cboWNo")->setEditText(QStringLiteral("W1"));
        QTest::keyClick(combo(&editor, "cboWNo"), Qt::Key_Return);
        combo(&editor, "cboPerson")->setEditText(QStringLiteral("N99"));
        QTest::keyClick(combo(&editor, "cboPerson"), Qt::Key_Return);
        QCOMPARE(takeShown(), QStringList{QStringLiteral("指定の内職者は存在しません。")});

        // Cancel leaves without checking the box or writing anything.
        click(&editor, "cmdCancel");
        QVERIFY(takeShown().isEmpty());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(countLines(), qint64(0));
    }

    void openedPrefilledForAMissingPrice() {
        TestDatabase db;
        PriceFixtures::addMasters();
        frmWrkPriceMnt2 editor(nullptr, QStringLiteral("P-200"), QStringLiteral("W2"),
                               QStringLiteral("N02"));
        QCOMPARE(editor.mode(), EditMode::Add);
        QCOMPARE(child<QLabel>(&editor, "lblMode")->text(), QStringLiteral("追　加"));
        QVERIFY(combo(&editor, "cboPno")->currentText().contains(QStringLiteral("カバー")));
        QVERIFY(combo(&editor, "cboWNo")->currentText().contains(QStringLiteral("検査")));
        QVERIFY(combo(&editor, "cboPerson")->currentText().contains(QStringLiteral("佐藤一郎")));
        QVERIFY(box(&editor, "txtMon")->text().isEmpty());
        box(&editor, "txtMon")->setText(QStringLiteral("80.000"));
        box(&editor, "txtDay_0")->setText(QStringLiteral("2003/04/01"));
        click(&editor, "cmdUpd");
        QCOMPARE(editor.result(), int(QDialog::Accepted));

        // The slip screen then reads the new price off its own boxes.
        QWidget slip;
        auto* day = new QLineEdit(&slip);
        day->setObjectName(QStringLiteral("txtDay_0"));
        day->setText(QStringLiteral("2003/05/01 "));
        for (const char* name : {"cboPno", "cboWNo", "cboPerson"}) {
            auto* c = new QComboBox(&slip);
            c->setEditable(true);
            c->setObjectName(QString::fromLatin1(name));
            c->setEditText(combo(&editor, name)->currentText());
        }
        PriceLookupResult price = PriceLookup(&slip);
        QVERIFY(price.found);
        QCOMPARE(price.text(), QStringLiteral("80.000"));
        day->setText(QStringLiteral("2003/03/31"));
        QCOMPARE(PriceLookup(&slip).text(), QStringLiteral("0.000"));
        day->setText(QStringLiteral("2003/13/01"));
        QVERIFY_THROWS_EXCEPTION(AppError, PriceLookup(&slip));
    }
};

QTEST_MAIN(TestPriceScreens)
#include "test_price_screens.moc"
