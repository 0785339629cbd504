#include "app/frmmenu.h"
#include "core/screens/fields.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "settlement/screens/frmaccount.h"
#include "settlementscreenfixture.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTimer>

using namespace SettlementScreen;
using SettlementFixtures::addSlip;

namespace {

const QString kT1 = QStringLiteral("2026/04/01 09:30:00"); // the test clock
const QString kT2 = QStringLiteral("2026/04/01 09:30:01"); // the next run of the same second

// Types into a box as the clerk does and leaves it with Tab.
void typeAndLeave(QLineEdit* b, const QString& keys) {
    b->setFocus();
    QTest::keyClicks(b, keys);
    GuiTest::press(Qt::Key_Tab);
}

void setPeriod(QWidget* f, const QString& first, const QString& last) {
    box(f, "txtDay_0")->setText(first);
    box(f, "txtDay_1")->setText(last);
}

void chooseMode(QWidget* f, int index) {
    child<QRadioButton>(f, QStringLiteral("opt_%1").arg(index))->click();
}

void settle(QWidget* f, const QString& from = {}, const QString& to = {}) {
    setPeriod(f, "2004/04/01", "2004/04/30");
    combo(f, "cboPerson_0")->setEditText(from);
    combo(f, "cboPerson_1")->setEditText(to);
    chooseMode(f, 1);
    MessageBox::setNextAnswer(MessageBox::Answer::Ok);
    button(f, "cmdAccount")->click();
}

// Runs `then` with the modal window named `name` as soon as it is open.
void whenModal(const QString& name, std::function<void(QWidget*)> then) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, then] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        then(w);
    });
    poll->start(5);
}

void listByDay(QWidget* f, const QString& digits) {
    child<QRadioButton>(f, "optSeisan")->click();
    QVERIFY(box(f, "txtDatetime")->hasFocus());
    QTest::keyClicks(box(f, "txtDatetime"), digits);
    GuiTest::press(Qt::Key_Tab);
}

} // namespace

class TestSettlementScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        gSeisanTimeText.clear();
        gEmpCode = QStringLiteral("E001");
    }

    void startStateModesAndNames() {
        TestDatabase db;
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        QVERIFY(grid(&f)->hasFocus());
        QCOMPARE(GuiTest::unnamedFields(&f), QStringList());
        QVERIFY(!box(&f, "txtDatetime")->isEnabled());
        QCOMPARE(grid(&f)->textMatrix(0, 3), QStringLiteral("内職者氏名"));
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("0000"));
        // Exactly one command button goes with the chosen mode.
        const QStringList expected = {"100", "010", "001", "100"};
        const int modes[] = {0, 1, 2, 0};
        QVERIFY(child<QRadioButton>(&f, "opt_0")->isChecked());
        for (int i = 0; i < 4; ++i) {
            chooseMode(&f, modes[i]);
            QString state;
            for (const char* name : {"cmdTest", "cmdAccount", "cmdACancel"})
                state += button(&f, name)->isEnabled() ? '1' : '0';
            QCOMPARE(state, expected[i]);
        }
    }

    void periodBoxes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lastBefore");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("message");
        QTest::newRow("month end") << "20040506"
                                   << ""
                                   << "2004/05/06"
                                   << "2004/05/31"
                                   << "";
        QTest::newRow("december") << "20041215"
                                  << ""
                                  << "2004/12/15"
                                  << "2004/12/31"
                                  << "";
        QTest::newRow("leap february") << "20040210"
                                       << ""
                                       << "2004/02/10"
                                       << "2004/02/29"
                                       << "";
        QTest::newRow("last kept") << "20040506"
                                   << "2004/06/10"
                                   << "2004/05/06"
                                   << "2004/06/10"
                                   << "";
        QTest::newRow("no such day") << "20040231"
                                     << ""
                                     << "20040231"
                                     << ""
                                     << "日付の入力に誤りがあります。";
        QTest::newRow("year 2101") << "21010101"
                                   << ""
                                   << "21010101"
                                   << ""
                                   << "日付の入力に誤りがあります。";
        QTest::newRow("zero clears") << "0"
                                     << ""
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("ninth digit") << "200405061"
                                     << ""
                                     << "2004/05/06"
                                     << "2004/05/31"
                                     << "";
    }

    void periodBoxes() {
        QFETCH(QString, typed);
        QFETCH(QString, lastBefore);
        TestDatabase db;
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        box(&f, "txtDay_1")->setText(lastBefore);
        const int beeps = beepCount();
        typeAndLeave(box(&f, "txtDay_0"), typed);
        QTEST(box(&f, "txtDay_0")->text(), "first");
        // The focus went on to txtDay_1, which shows its date being edited.
        QFETCH(QString, last);
        QCOMPARE(box(&f, "txtDay_1")->text().remove('/'), QString(last).remove('/'));
        QFETCH(QString, message);
        QCOMPARE(shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        // A refused date keeps the focus; otherwise it moved on.
        QCOMPARE(box(&f, "txtDay_0")->hasFocus(), !message.isEmpty());
        QCOMPARE(beepCount() - beeps, typed.size() > 8 ? 1 : 0);
    }

    void conditionsCheckedBeforeRunning_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString ask = QStringLiteral("試算処理を実行しますか？");
        QTest::newRow("no first day") << ""
                                      << "2004/04/30"
                                      << ""
                                      << ""
                                      << "入力必須項目です。"
                                      << "txtDay_0";
        QTest::newRow("no last day") << "2004/04/01"
                                     << ""
                                     << ""
                                     << ""
                                     << "入力必須項目です。"
                                     << "txtDay_1";
        QTest::newRow("days reversed") << "2004/04/02"
                                       << "2004/04/01"
                                       << ""
                                       << ""
                                       << "日付の大小関係に誤りがあります。"
                                       << "txtDay_0";
        QTest::newRow("one day") << "2004/04/01"
                                 << "2004/04/01"
                                 << ""
                                 << "" << ask << "";
        QTest::newRow("workers reversed") << "2004/04/01"
                                          << "2004/04/30"
                                          << "N02"
                                          << "N01"
                                          << "大小関係に誤りがあります。"
                                          << "cboPerson_0";
        QTest::newRow("lower bound only") << "2004/04/01"
                                          << "2004/04/30"
                                          << "N02"
                                          << "" << ask << "";
        QTest::newRow("upper bound only") << "2004/04/01"
                                          << "2004/04/30"
                                          << ""
                                          << "N01" << ask << "";
    }

    void conditionsCheckedBeforeRunning() {
        QFETCH(QString, focus);
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        QFETCH(QString, first);
        QFETCH(QString, last);
        setPeriod(&f, first, last);
        QFETCH(QString, from);
        QFETCH(QString, to);
        combo(&f, "cboPerson_0")->setEditText(from);
        combo(&f, "cboPerson_1")->setEditText(to);
        if (focus.isEmpty()) // the conditions hold: the question comes
            MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
        button(&f, "cmdTest")->click();
        QFETCH(QString, message);
        QCOMPARE(shownTexts(), QStringList{message});
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void unknownHomeWorkerIsRefused() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        QComboBox* from = combo(&f, "cboPerson_0");
        from->setFocus();
        QTest::keyClicks(from, "N09");
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(shownTexts(), QStringList{"指定の内職者は存在しません。"});
        QVERIFY(from->hasFocus());
        from->setEditText(QStringLiteral("N02"));
        GuiTest::press(Qt::Key_Tab);
        QVERIFY(shownTexts().isEmpty());
        QVERIFY(from->currentText().startsWith(QStringLiteral("N02")));
        QVERIFY(from->currentText().contains(QStringLiteral("佐藤")));
    }

    void settlementAsksThenListsTheRun_data() {
        QTest::addColumn<bool>("settledBefore");
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::addColumn<QString>("question");
        QTest::newRow("plain") << false << MessageBox::Answer::Ok << "精算処理を実行しますか？";
        QTest::newRow("settled slips named")
            << true << MessageBox::Answer::Ok
            << "精算済み伝票が存在します。精算処理を実行しますか？ \n001　:040331-001\n002　:"
               "040331-002\n";
        QTest::newRow("declined") << true << MessageBox::Answer::Cancel
                                  << "精算済み伝票が存在します。精算処理を実行しますか？ \n001　:"
                                     "040331-001\n002　:040331-002\n";
    }

    void settlementAsksThenListsTheRun() {
        QFETCH(bool, settledBefore);
        QFETCH(MessageBox::Answer, answer);
        TestDatabase db;
        twoWorkersWithSlips();
        if (settledBefore)
            for (const char* n : {"040331-001", "040331-002"})
                addSlip(n, "N02", "P-100", "W1", 30, 1, "2004/03/01", "2004/04/02",
                        "2004-04-05 10:00:00");
        const QStringList before = SettlementFixtures::dump();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        setPeriod(&f, "2004/04/01", "2004/04/30");
        chooseMode(&f, 1);
        MessageBox::setNextAnswer(answer);
        button(&f, "cmdAccount")->click();
        const QList<MessageBox::Shown> shown = MessageBox::shown();
        QCOMPARE(shown.size(), 1);
        QTEST(shown[0].text, "question");
        QCOMPARE(shown[0].buttons, MessageBox::Buttons::OkCancel);
        QCOMPARE(shown[0].icon,
                 settledBefore ? MessageBox::Icon::Exclamation : MessageBox::Icon::None);
        if (answer == MessageBox::Answer::Cancel) {
            QCOMPARE(SettlementFixtures::dump(), before);
            QCOMPARE(box(&f, "txtDatetime")->text(), QString());
            QCOMPARE(printButtonsEnabled(&f), QStringLiteral("0000"));
            return;
        }
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));
        QCOMPARE(gridRow(&f, 1), kT1 + "|N01||山田　花子|2|163|8|171||");
        QCOMPARE(gridRow(&f, 2), kT1 + "|N02||佐藤　一郎|1|210|10|220||");
        QCOMPARE(grid(&f)->textMatrix(3, 0), QString());
        if (!settledBefore) // those were stamped by the fixture without a row
            QCOMPARE(SettlementFixtures::settlementDisagreement(), QString());
    }

    void settlementFindingNothingKeepsButtons() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f);
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));
        MessageBox::clearShown();
        settle(&f); // every slip of April is settled now
        const QStringList shown = shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].endsWith("？ \n001　:040401-001\n002　:040401-002\n003　:040401-003\n"));
        QCOMPARE(box(&f, "txtDatetime")->text(), QString());
        QCOMPARE(grid(&f)->textMatrix(1, 0), QString());
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));
    }

    void trialAsksAndShowsItsRows() {
        TestDatabase db;
        twoWorkersWithSlips();
        addSlip("040331-001", "N02", "P-100", "W1", 30, 1, "2004/03/01", "2004/04/02",
                "2004-04-05 10:00:00");
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        setPeriod(&f, "2004/04/01", "2004/04/30");
        QStringList rows;
        whenModal("frmATest", [&rows](QWidget* trial) {
            for (int r = 1; r <= 3; ++r)
                rows << gridRow(trial, r);
            QTest::keyClick(trial, Qt::Key_Escape);
        });
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, "cmdTest")->click();
        QCOMPARE(
            shownTexts(),
            QStringList{"精算済み伝票が存在します。試算処理を実行しますか？ \n001　:040331-001\n"});
        QCOMPARE(rows, QStringList({"040401-001|N01|山田　花子|P-100|W1|組立|12.500|10|125",
                                    "040401-002|N01|山田　花子|P-100|W1|組立|12.500|3|38",
                                    "040401-003|N02|佐藤　一郎|P-100|W1|組立|30.000|7|210"}));
        // Nothing is settled by a trial.
        QCOMPARE(SettlementFixtures::rows("SELECT COUNT(*) FROM seisan_t"), QStringList{"0"});
    }

    void cancellationListsTheCancelledRows() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f);
        MessageBox::clearShown();
        chooseMode(&f, 2);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, "cmdACancel")->click();
        QCOMPARE(shownTexts(), QStringList{"精算解除処理を実行しますか？"});
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        QCOMPARE(gridRow(&f, 1), kT1 + "|N01||山田　花子|2|163|8|171||削除");
        QCOMPARE(gridRow(&f, 2), kT1 + "|N02||佐藤　一郎|1|210|10|220||削除");
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));
        QCOMPARE(SettlementFixtures::rows("SELECT COUNT(*) FROM seihin_t WHERE 精算日時 IS NULL"),
                 QStringList{"3"});

        // Nothing left to take back.
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, "cmdACancel")->click();
        QCOMPARE(shownTexts(), QStringList({"精算解除処理を実行しますか？",
                                            "指定された日付での精算処理は行われていません。"}));
        QVERIFY(box(&f, "txtDay_0")->hasFocus());
        QCOMPARE(box(&f, "txtDatetime")->text(), QString());
        QCOMPARE(grid(&f)->textMatrix(1, 0), QString());

        // The slips are settled again, in a run of their own.
        settle(&f);
        QCOMPARE(box(&f, "txtDatetime")->text(), kT2);
        QCOMPARE(gridRow(&f, 1), kT2 + "|N01||山田　花子|2|163|8|171||");
    }

    void runsOfADayAreListedAndEachCanBeChosen() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f, "N01", "N01");
        settle(&f, "N02", "N02");
        // A run's time stamp lists that run only.
        QCOMPARE(box(&f, "txtDatetime")->text(), kT2);
        QCOMPARE(gridRow(&f, 1), kT2 + "|N02||佐藤　一郎|1|210|10|220||");
        QCOMPARE(grid(&f)->textMatrix(2, 0), QString());
        MessageBox::clearShown();

        listByDay(&f, "20260401");
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(box(&f, "txtDatetime")->text(), kT2); // the later run
        QVERIFY(!box(&f, "txtDatetime")->isEnabled());
        QVERIFY(!child<QRadioButton>(&f, "optSeisan")->isChecked());
        QCOMPARE(grid(&f)->textMatrix(1, 0), kT2);
        QCOMPARE(grid(&f)->textMatrix(2, 0), kT1);
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));

        grid(&f)->selectRow(2); // the earlier run
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        grid(&f)->selectRow(5); // an empty row changes nothing
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        grid(&f)->selectRow(1);
        QCOMPARE(box(&f, "txtDatetime")->text(), kT2);
    }

    void datetimeBoxRules_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("day without runs") << "20260402"
                                          << ""
                                          << "指定された日時には精算処理は行われていません。"
                                          << "0000";
        QTest::newRow("no such day") << "20260231"
                                     << "20260231"
                                     << "日付の入力に誤りがあります。"
                                     << "0000";
        QTest::newRow("zero") << "0"
                              << ""
                              << ""
                              << "0000";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "0000";
        QTest::newRow("day with a run") << "20260401" << kT1 << ""
                                        << "1111";
    }

    void datetimeBoxRules() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f);
        MessageBox::clearShown();
        QFETCH(QString, typed);
        listByDay(&f, typed);
        QTEST(box(&f, "txtDatetime")->text(), "text");
        QFETCH(QString, message);
        QCOMPARE(shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        // A refused entry keeps the focus in the box.
        QCOMPARE(box(&f, "txtDatetime")->hasFocus(), !message.isEmpty());
        QTEST(printButtonsEnabled(&f), "buttons");
        QCOMPARE(grid(&f)->textMatrix(1, 0).isEmpty(), typed != "20260401");
    }

    void timeStampSurvivesOnlyWhole() {
        TestDatabase db;
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        QLineEdit* stamp = box(&f, "txtDatetime");
        for (const QString& text : {kT1, QStringLiteral("2026/04/01 9:30")}) {
            stamp->setEnabled(true);
            stamp->setFocus();
            stamp->setText(text);
            GuiTest::press(Qt::Key_Tab);
            QCOMPARE(stamp->text(), text.size() == 19 ? text : QString());
            QVERIFY(!stamp->isEnabled());
        }
    }

    void failedRunsLeaveTheScreenAsItWas_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("failure");
        QTest::newRow("settlement") << 1 << "INSERT ON seisan_t"
                                    << "精算処理に失敗しました。";
        QTest::newRow("cancellation") << 2 << "UPDATE ON seisan_t"
                                      << "精算解除処理に失敗しました。";
    }

    void failedRunsLeaveTheScreenAsItWas() {
        QFETCH(int, mode);
        QFETCH(QString, refusal);
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f, "N01", "N01");
        execSql(SettlementFixtures::refusal(refusal, "write"));
        grid(&f)->selectRow(1);
        const QString listBefore = gridRow(&f, 1);
        const QStringList dataBefore = SettlementFixtures::dump();
        MessageBox::clearShown();
        if (mode == 1) // N02's slip is still to settle
            for (const char* name : {"cboPerson_0", "cboPerson_1"})
                combo(&f, name)->setEditText("N02");
        chooseMode(&f, mode);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, mode == 1 ? "cmdAccount" : "cmdACancel")->click();
        const QStringList shown = shownTexts();
        QCOMPARE(shown.size(), 2);
        QFETCH(QString, failure);
        QVERIFY2(shown[1].startsWith(failure) && shown[1].contains("write refused"),
                 qPrintable(shown[1]));
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        QCOMPARE(gridRow(&f, 1), listBefore);
        QCOMPARE(printButtonsEnabled(&f), QStringLiteral("1111"));
        QCOMPARE(SettlementFixtures::dump(), dataBefore);
        QVERIFY(!f.isRunning());
    }

    void commandsEscapeAndCloseWaitForTheRun() {
        TestDatabase db;
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        bool sawRun = false;
        // Runs while the settlement is under way (its window is kept painted).
        QTimer::singleShot(0, [&] {
            sawRun = f.isRunning();
            GuiTest::press(Qt::Key_Escape);
            f.close();
            button(&f, "cmdAccount")->click();
            child<QRadioButton>(&f, "optSeisan")->click();
        });
        settle(&f);
        QVERIFY(sawRun);
        QVERIFY(f.isVisible());
        QVERIFY(!f.isRunning());
        QCOMPARE(shownTexts(), QStringList{"精算処理を実行しますか？"}); // asked once
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        QVERIFY(!box(&f, "txtDatetime")->isEnabled());
        GuiTest::press(Qt::Key_Escape);
        QVERIFY(!f.isVisible());
    }

    void printButtonsAskPrepareAndOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("nothing");
        QTest::addColumn<QString>("preview"); // the window shown for the live run, "" when printed
        QTest::newRow("statement") << "cmdAPrint"
                                   << "製品加工高精算表を発行しますか？"
                                   << "指定日時の精算表は存在しません。"
                                   << "製品加工高一覧表";
        QTest::newRow("cash") << "cmdMPrint"
                              << "金種表を発行しますか？"
                              << "指定日時の金種表は存在しません。"
                              << "金種表";
        QTest::newRow("classes") << "cmdPPrint"
                                 << "製品図番別精算金額一覧表を発行しますか？"
                                 << "指定日時の一覧表は存在しません。"
                                 << "製品図番別精算金額一覧表";
        QTest::newRow("both printed") << "cmdBPrint"
                                      << "製品加工高精算表と金種表を発行しますか？"
                                      << "指定日時の精算表と金種表は存在しません。"
                                      << "";
    }

    void printButtonsAskPrepareAndOutput() {
        QFETCH(QString, name);
        QFETCH(QString, question);
        QFETCH(QString, nothing);
        QFETCH(QString, preview);
        TestDatabase db;
        db.writeIni(QStringLiteral("[Print]\nOutput=pdf\n[User]\nName=株式会社テスト\n"));
        twoWorkersWithSlips();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        settle(&f);
        MessageBox::clearShown();

        MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
        button(&f, name)->click();
        QCOMPARE(shownTexts(), QStringList{question});

        QString shownWindow;
        if (!preview.isEmpty())
            whenModal("ReportPreview", [&shownWindow](QWidget* w) {
                shownWindow = w->windowTitle();
                w->close();
            });
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, name)->click();
        QCOMPARE(shownWindow, preview);
        if (preview.isEmpty()) {
            const QStringList files = QDir(db.dirPath() + "/print").entryList(QDir::Files);
            QCOMPARE(files,
                     QStringList({"cash-20260401-093000.pdf", "statement-20260401-093000.pdf"}));
        }
        MessageBox::clearShown();

        // A cancelled run has nothing left to print.
        chooseMode(&f, 2);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, "cmdACancel")->click();
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        MessageBox::clearShown();
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        button(&f, name)->click();
        QCOMPARE(shownTexts(), QStringList({question, nothing}));
    }

    void menuOpensTheScreen() {
        TestDatabase db;
        db.writeIni(QStringLiteral("[Access]\nUID=0\n"));
        FrmMenu menu;
        QString opened;
        whenModal("frmAccount", [&opened](QWidget* w) {
            opened = w->objectName();
            w->close();
        });
        button(&menu, "cmdAccount")->click();
        QCOMPARE(opened, QStringLiteral("frmAccount"));
    }
};

QTEST_MAIN(TestSettlementScreen)
#include "test_settlement_screen.moc"
