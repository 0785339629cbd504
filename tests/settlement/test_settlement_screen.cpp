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
using Answer = MessageBox::Answer;

namespace {

const QString kT1 = QStringLiteral("2026/04/01 09:30:00"); // the test clock
const QString kT2 = QStringLiteral("2026/04/01 09:30:01"); // the next run in that second
const QString kAskSettle = QStringLiteral("精算処理を実行しますか？");
const QString kAskCancel = QStringLiteral("精算解除処理を実行しますか？");

// Runs a command of mode `mode` (0 trial, 1 settlement, 2 cancellation)
// over April 2004 and the given range, answering its question.
void run(QWidget* f, int mode, Answer answer = Answer::Ok, const QString& from = {},
         const QString& to = {}) {
    box(f, "txtDay_0")->setText("2004/04/01");
    box(f, "txtDay_1")->setText("2004/04/30");
    w<QComboBox>(f, "cboPerson_0")->setEditText(from);
    w<QComboBox>(f, "cboPerson_1")->setEditText(to);
    click(f, QStringLiteral("opt_%1").arg(mode));
    MessageBox::setNextAnswer(answer);
    click(f, QStringList{"cmdTest", "cmdAccount", "cmdACancel"}[mode]);
}

// Runs `then` with the modal window named `name` as soon as it is open.
void whenModal(const QString& name, std::function<void(QWidget*)> then) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, then] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name) {
            poll->deleteLater();
            poll->stop();
            then(modal);
        }
    });
    poll->start(5);
}

// Chooses 精算日指定, types `keys` into txtDatetime (after `text` is put
// there) and leaves it with Tab.
void enterRun(QWidget* f, const QString& keys, const QString& text = {}) {
    click(f, "optSeisan");
    box(f, "txtDatetime")->setText(text);
    QTest::keyClicks(box(f, "txtDatetime"), keys);
    GuiTest::press(Qt::Key_Tab);
}

// The screen shown over a database holding twoWorkersWithSlips(), or empty.
struct Opened {
    explicit Opened(bool slips = true) : filled(slips && (twoWorkersWithSlips(), true)) {}
    TestDatabase db;
    bool filled;
    frmAccount form;
    frmAccount* f = &form;
    bool shown = GuiTest::showActive(&form);
};

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
        Opened o(false);
        QVERIFY(o.shown && grid(o.f)->hasFocus() && !box(o.f, "txtDatetime")->isEnabled());
        QCOMPARE(GuiTest::unnamedFields(o.f), QStringList());
        const QStringList commands = {"cmdTest", "cmdAccount", "cmdACancel"};
        QCOMPARE(printButtons(o.f) + enabled(o.f, commands), "0000100");
        for (const auto& [mode, state] : {std::pair{2, "001"}, {1, "010"}, {0, "100"}}) {
            click(o.f, QStringLiteral("opt_%1").arg(mode));
            QCOMPARE(enabled(o.f, commands), state);
        }
    }

    void periodBoxes_data() {
        // typed into txtDay_0, txtDay_1 before, then both after (the last
        // being edited: the focus went on to it)
        QTest::addColumn<QStringList>("c");
        QTest::newRow("december") << QStringList{"20041215", "", "2004/12/15", "20041231"};
        QTest::newRow("leap february") << QStringList{"20040210", "", "2004/02/10", "20040229"};
        QTest::newRow("last kept")
            << QStringList{"20040506", "2004/06/10", "2004/05/06", "20040610"};
    }

    void periodBoxes() {
        QFETCH(QStringList, c);
        Opened o(false);
        QVERIFY(o.shown);
        box(o.f, "txtDay_1")->setText(c[1]);
        box(o.f, "txtDay_0")->setFocus();
        QTest::keyClicks(box(o.f, "txtDay_0"), c[0]);
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(QStringList({box(o.f, "txtDay_0")->text(), box(o.f, "txtDay_1")->text()}),
                 c.mid(2));
        QCOMPARE(shownTexts(), QStringList());
    }

    void conditionsCheckedBeforeRunning_data() {
        QTest::addColumn<QStringList>("fields"); // first, last, from, to
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // "" when the question came
        const QString ask = QStringLiteral("試算処理を実行しますか？");
        const QString required = QStringLiteral("入力必須項目です。");
        QTest::newRow("no first day")
            << QStringList{"", "2004/04/30", "", ""} << required << "txtDay_0";
        QTest::newRow("no last day")
            << QStringList{"2004/04/01", "", "", ""} << required << "txtDay_1";
        QTest::newRow("days reversed")
            << QStringList{"2004/04/02", "2004/04/01", "", ""} << "日付の大小関係に誤りがあります。"
            << "txtDay_0";
        QTest::newRow("one day") << QStringList{"2004/04/01", "2004/04/01", "", ""} << ask << "";
        QTest::newRow("workers reversed")
            << QStringList{"2004/04/01", "2004/04/30", "N02", "N01"} << "大小関係に誤りがあります。"
            << "cboPerson_0";
        QTest::newRow("lower bound only")
            << QStringList{"2004/04/01", "2004/04/30", "N02", ""} << ask << "";
    }

    void conditionsCheckedBeforeRunning() {
        QFETCH(QStringList, fields);
        QFETCH(QString, focus);
        Opened o;
        QVERIFY(o.shown);
        box(o.f, "txtDay_0")->setText(fields[0]);
        box(o.f, "txtDay_1")->setText(fields[1]);
        w<QComboBox>(o.f, "cboPerson_0")->setEditText(fields[2]);
        w<QComboBox>(o.f, "cboPerson_1")->setEditText(fields[3]);
        if (focus.isEmpty())
            MessageBox::setNextAnswer(Answer::Cancel);
        click(o.f, "cmdTest");
        QFETCH(QString, message);
        QCOMPARE(shownTexts(), QStringList{message});
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void leavingAHomeWorkerChecksTheCode() {
        Opened o;
        QVERIFY(o.shown);
        auto* from = w<QComboBox>(o.f, "cboPerson_0");
        from->setFocus();
        from->setEditText("N99");
        QTest::keyClick(from, Qt::Key_Tab);
        QCOMPARE(shownTexts(), QStringList{"指定の内職者は存在しません。"});
        QVERIFY(from->hasFocus());
        MessageBox::clearShown();
        from->setEditText(QString()); // an open end of the range
        QTest::keyClick(from, Qt::Key_Tab);
        QVERIFY(shownTexts().isEmpty() && !from->hasFocus());
    }

    void settlementAsksThenListsTheRun_data() {
        QTest::addColumn<int>("settledBefore");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("question");
        const QString named =
            QStringLiteral("精算済み伝票が存在します。精算処理を実行しますか？ \n");
        QString thirty;
        for (int i = 1; i <= 30; ++i)
            thirty += QStringLiteral("%1　:040331-%1\n").arg(i, 3, 10, QLatin1Char('0'));
        QTest::newRow("plain") << 0 << Answer::Ok << kAskSettle;
        QTest::newRow("settled slips named")
            << 2 << Answer::Ok << named + "001　:040331-001\n002　:040331-002\n";
        QTest::newRow("the first thirty named")
            << 32 << Answer::Ok << named + thirty + "…ほか 2 枚\n";
        QTest::newRow("declined") << 1 << Answer::Cancel << named + "001　:040331-001\n";
    }

    void settlementAsksThenListsTheRun() {
        QFETCH(int, settledBefore);
        QFETCH(Answer, answer);
        TestDatabase db;
        twoWorkersWithSlips();
        for (int i = 1; i <= settledBefore; ++i)
            SettlementFixtures::addSlip(QStringLiteral("040331-%1").arg(i, 3, 10, QLatin1Char('0')),
                                        "N02", "P-100", "W1", 30, 1, "2004/03/01", "2004/04/02",
                                        "2004-04-05 10:00:00");
        const QStringList before = SettlementFixtures::dump();
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        run(&f, 1, answer);
        const QList<MessageBox::Shown> shown = MessageBox::shown();
        QCOMPARE(shown.size(), 1);
        QTEST(shown[0].text, "question");
        QCOMPARE(shown[0].icon,
                 settledBefore ? MessageBox::Icon::Exclamation : MessageBox::Icon::None);
        if (answer == Answer::Cancel) {
            QCOMPARE(SettlementFixtures::dump(), before);
            QCOMPARE(printButtons(&f), "0000");
            return;
        }
        QCOMPARE(box(&f, "txtDatetime")->text(), kT1);
        QCOMPARE(printButtons(&f), "1111");
        QCOMPARE(gridRow(&f, 1), kT1 + "|N01||山田　花子|2|137|7|144||");
        QCOMPARE(gridRow(&f, 2), kT1 + "|N02||佐藤　一郎|1|210|10|220||");
        QCOMPARE(grid(&f)->textMatrix(3, 0), QString());
    }

    void trialAsksAndShowsItsRows() {
        TestDatabase db;
        twoWorkersWithSlips();
        SettlementFixtures::addSlip("040331-001", "N02", "P-100", "W1", 30, 1, "2004/03/01",
                                    "2004/04/02", "2004-04-05 10:00:00");
        frmAccount f;
        QVERIFY(GuiTest::showActive(&f));
        box(&f, "txtDay_0")->setFocus(); // the list has the keyboard again afterwards
        QStringList rows;                // the figures are the engine's test
        whenModal("frmATest", [&rows](QWidget* trial) {
            for (int r = 1; r <= 4; ++r)
                rows << grid(trial)->textMatrix(r, 0);
            QTest::keyClick(trial, Qt::Key_Escape);
        });
        run(&f, 0);
        QCOMPARE(shownTexts(), QStringList{"精算済み伝票が存在します。試算処理を実行しますか？ "
                                           "\n001　:040331-001\n"});
        QCOMPARE(rows, QStringList({"040401-001", "040401-002", "040401-003", ""}));
        QCOMPARE(SettlementFixtures::rows("SELECT COUNT(*) FROM seisan_t"), QStringList{"0"});
        QCOMPARE(f.focusWidget(), grid(&f));
    }

    void unpricedSlipsArePaidZeroOnlyWhenAgreed() {
        for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
            MessageBox::clearShown();
            TestDatabase db;
            twoWorkersWithSlips();
            SettlementFixtures::addSlip("040402-001", "N02", "P-900", "W1", 77.7, 2);
            const QStringList before = SettlementFixtures::dump();
            frmAccount f;
            QVERIFY(GuiTest::showActive(&f));
            if (answer == Answer::Ok)
                MessageBox::setNextAnswer(Answer::Ok); // the second question; Cancel is its default
            run(&f, 1);
            const QList<MessageBox::Shown> shown = MessageBox::shown();
            QCOMPARE(shown.size(), 2);
            QCOMPARE(shown[1].text, "単価が未登録の伝票があります。単価0円で精算しますか？\n"
                                    "001　:040402-001\n");
            QCOMPARE(shown[1].buttons, MessageBox::Buttons::OkCancelDefaultCancel);
            if (answer == Answer::Cancel) {
                QCOMPARE(SettlementFixtures::dump(), before);
                continue;
            }
            QCOMPARE(gridRow(&f, 2), kT1 + "|N02||佐藤　一郎|2|210|10|220||");
            QCOMPARE(SettlementFixtures::rows(
                         "SELECT 精算単価 FROM seihin_t WHERE 製品伝票番号 = '040402-001'"),
                     QStringList{"0"});
        }
    }

    void cancellationThenNothingThenSettledAgain() {
        Opened o;
        QVERIFY(o.shown);
        run(o.f, 1);
        run(o.f, 1); // finds nothing: the list and txtDatetime empty, the buttons stay
        QCOMPARE(box(o.f, "txtDatetime")->text(), QString());
        QCOMPARE(grid(o.f)->textMatrix(1, 0), QString());
        QCOMPARE(printButtons(o.f), "1111");
        MessageBox::clearShown();

        run(o.f, 2);
        QCOMPARE(shownTexts(), QStringList{kAskCancel});
        QCOMPARE(box(o.f, "txtDatetime")->text(), kT1);
        QCOMPARE(gridRow(o.f, 1), kT1 + "|N01||山田　花子|2|137|7|144||削除");
        QCOMPARE(gridRow(o.f, 2), kT1 + "|N02||佐藤　一郎|1|210|10|220||削除");
        QCOMPARE(printButtons(o.f), "1111");

        run(o.f, 2); // nothing left to take back
        QCOMPARE(shownTexts(),
                 QStringList({kAskCancel, "指定された日付での精算処理は行われていません。"}));
        QVERIFY(box(o.f, "txtDay_0")->hasFocus());
        QCOMPARE(box(o.f, "txtDatetime")->text(), QString());

        run(o.f, 1); // the released slips are settled again in a run of their own
        QCOMPARE(gridRow(o.f, 1), kT2 + "|N01||山田　花子|2|137|7|144||");
    }

    void runsOfADayEachSelectable() {
        Opened o;
        QVERIFY(o.shown);
        run(o.f, 1, Answer::Ok, "N01", "N01");
        run(o.f, 1, Answer::Ok, "N02", "N02");
        QCOMPARE(box(o.f, "txtDatetime")->text(), kT2); // a time stamp lists its run only
        QCOMPARE(gridRow(o.f, 1), kT2 + "|N02||佐藤　一郎|1|210|10|220||");
        QCOMPARE(grid(o.f)->textMatrix(2, 0), QString());

        enterRun(o.f, "20260401");
        QCOMPARE(box(o.f, "txtDatetime")->text(), kT2); // the later run of the day
        QVERIFY(!box(o.f, "txtDatetime")->isEnabled());
        QCOMPARE(grid(o.f)->textMatrix(2, 0), kT1);
        for (const auto& [row, shown] : {std::pair{2, kT1}, {5, kT1}, {1, kT2}}) {
            grid(o.f)->selectRow(row); // row 5 is empty: nothing changes
            QCOMPARE(box(o.f, "txtDatetime")->text(), shown);
        }
    }

    void datetimeBoxRules_data() {
        // already in the box, typed, the box after, the message, print buttons
        QTest::addColumn<QStringList>("c");
        const QString none = QStringLiteral("指定された日時には精算処理は行われていません。");
        QTest::newRow("day with a run") << QStringList{"", "20260401", kT1, "", "1111"};
        QTest::newRow("day without one") << QStringList{"", "20260402", "", none, "0000"};
        QTest::newRow("empty") << QStringList{"", "", "", "", "0000"};
        QTest::newRow("whole time stamp") << QStringList{kT1, "", kT1, "", "1111"};
        QTest::newRow("cut time stamp") << QStringList{"2026/04/01 9:30", "", "", "", "0000"};
    }

    void datetimeBoxRules() {
        QFETCH(QStringList, c);
        Opened o;
        QVERIFY(o.shown);
        run(o.f, 1);
        MessageBox::clearShown();
        enterRun(o.f, c[1], c[0]);
        QCOMPARE(box(o.f, "txtDatetime")->text(), c[2]);
        QCOMPARE(shownTexts(), c[3].isEmpty() ? QStringList() : QStringList{c[3]});
        QCOMPARE(box(o.f, "txtDatetime")->hasFocus(), !c[3].isEmpty());
        QCOMPARE(printButtons(o.f), c[4]);
    }

    void failedRunsLeaveTheScreenAsItWas_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("failure");
        QTest::newRow("settlement") << 1 << "INSERT ON seisan_t"
                                    << "精算処理に失敗しました。";
        QTest::newRow("cancellation") << 2 << "UPDATE ON seisan_t"
                                      << "精算解除処理に失敗しました。";
    }

    void failedRunsLeaveTheScreenAsItWas() {
        QFETCH(int, mode);
        QFETCH(QString, refused);
        Opened o;
        QVERIFY(o.shown);
        run(o.f, 1, Answer::Ok, "N01", "N01");
        execSql(SettlementFixtures::refusal(refused, "write"));
        const QString listBefore = gridRow(o.f, 1);
        const QStringList dataBefore = SettlementFixtures::dump();
        MessageBox::clearShown();
        run(o.f, mode, Answer::Ok, mode == 1 ? "N02" : "N01", mode == 1 ? "N02" : "N01");
        const QStringList shown = shownTexts();
        QFETCH(QString, failure);
        QVERIFY2(shown.size() == 2 && shown[1].startsWith(failure) &&
                     shown[1].contains("write refused"),
                 qPrintable(shown.join('\n')));
        QCOMPARE(box(o.f, "txtDatetime")->text(), kT1);
        QCOMPARE(gridRow(o.f, 1), listBefore);
        QCOMPARE(printButtons(o.f), "1111");
        QCOMPARE(SettlementFixtures::dump(), dataBefore);
    }

    void commandsEscapeAndCloseWaitForTheRun() {
        Opened o;
        QVERIFY(o.shown);
        bool sawRun = false;
        // Fires while the settlement keeps its window painted.
        QTimer::singleShot(0, [&] {
            sawRun = o.f->isRunning();
            GuiTest::press(Qt::Key_Escape);
            o.f->close();
            click(o.f, "cmdAccount");
            click(o.f, "optSeisan");
        });
        run(o.f, 1);
        QVERIFY(sawRun && o.f->isVisible() && !o.f->isRunning());
        QCOMPARE(shownTexts(), QStringList{kAskSettle}); // asked once
        QVERIFY(!box(o.f, "txtDatetime")->isEnabled());
        GuiTest::press(Qt::Key_Escape);
        QVERIFY(!o.f->isVisible());
    }

    void printButtonsAskPrepareAndOutput_data() {
        // button, question, nothing-exists message, preview title ("": printed)
        QTest::addColumn<QStringList>("c");
        QTest::newRow("statement")
            << QStringList{"cmdAPrint", "製品加工高精算表を発行しますか？",
                           "指定日時の精算表は存在しません。", "製品加工高一覧表"};
        QTest::newRow("cash") << QStringList{"cmdMPrint", "金種表を発行しますか？",
                                             "指定日時の金種表は存在しません。", "金種表"};
        QTest::newRow("classes") << QStringList{
            "cmdPPrint", "製品図番別精算金額一覧表を発行しますか？",
            "指定日時の一覧表は存在しません。", "製品図番別精算金額一覧表"};
        QTest::newRow("both printed")
            << QStringList{"cmdBPrint", "製品加工高精算表と金種表を発行しますか？",
                           "指定日時の精算表と金種表は存在しません。", ""};
    }

    void printButtonsAskPrepareAndOutput() {
        QFETCH(QStringList, c);
        const QString &name = c[0], &question = c[1], &preview = c[3];
        Opened o;
        o.db.writeIni("[Print]\nOutput=pdf\n");
        QVERIFY(o.shown);
        run(o.f, 1);
        MessageBox::clearShown();
        MessageBox::setNextAnswer(Answer::Cancel);
        click(o.f, name);
        QCOMPARE(shownTexts(), QStringList{question});

        QString shownWindow;
        if (!preview.isEmpty())
            whenModal("ReportPreview", [&shownWindow](QWidget* window) {
                shownWindow = window->windowTitle();
                window->close();
            });
        MessageBox::setNextAnswer(Answer::Ok);
        click(o.f, name);
        QCOMPARE(shownWindow, preview);
        if (preview.isEmpty())
            QCOMPARE(QDir(o.db.dirPath() + "/print").entryList(QDir::Files),
                     QStringList({"cash-20260401-093000.pdf", "statement-20260401-093000.pdf"}));

        run(o.f, 2); // a cancelled run has nothing left to print
        MessageBox::clearShown();
        MessageBox::setNextAnswer(Answer::Ok);
        click(o.f, name);
        QCOMPARE(shownTexts(), QStringList({question, c[2]}));
    }
};

QTEST_MAIN(TestSettlementScreen)
#include "test_settlement_screen.moc"
