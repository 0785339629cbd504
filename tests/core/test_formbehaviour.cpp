// Clicks travel through the window as real ones do, so that a refused
// validation can stop the click before the clicked control takes the focus.
#define QTEST_QPA_MOUSE_HANDLING

#include "core/screens/appsetup.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "support/guitest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace {

const QString kRefused = "入力必須項目です。";

// A small form: two boxes, an editable combo, a save button (default) and
// a cancel button that does not validate. The first box refuses to be left
// while it is empty.
struct TestForm {
    QDialog dialog;
    QLineEdit* first = new QLineEdit(&dialog);
    QLineEdit* second = new QLineEdit(&dialog);
    QComboBox* combo = new QComboBox(&dialog);
    QPushButton* save = new QPushButton("登録", &dialog);
    QPushButton* cancel = new QPushButton("取消", &dialog);
    FormBehaviour* behaviour;
    int firstChecks = 0;
    int comboChecks = 0;

    TestForm() {
        auto* layout = new QVBoxLayout(&dialog);
        const QStringList names = {"first", "second", "combo", "save", "cancel"};
        for (QWidget* w : QList<QWidget*>{first, second, combo, save, cancel}) {
            w->setObjectName(names[layout->count()]);
            layout->addWidget(w);
        }
        combo->setEditable(true);
        save->setDefault(true);
        behaviour = new FormBehaviour(&dialog);
        behaviour->setValidator(first,
                                [this] { return check(firstChecks, !first->text().isEmpty()); });
        behaviour->setValidator(combo,
                                [this] { return check(comboChecks, combo->currentText() != "x"); });
        FormBehaviour::setCausesValidation(cancel, false);
        if (!GuiTest::showActive(&dialog))
            qWarning("test form did not become active");
    }
    bool check(int& count, bool ok) {
        ++count;
        if (!ok)
            MessageBox::show(&dialog, kRefused);
        return ok;
    }
    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w);
    }
    // The focused control and how often the first box was validated, e.g. "second1".
    QString at() const {
        return QApplication::focusWidget()->objectName() + QString::number(firstChecks);
    }
};

using GuiTest::press;

// Runs `answer` on the message box once it is up.
void answerRealBox(const std::function<void(QMessageBox*)>& answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        timer->stop();
        timer->deleteLater();
        answer(box);
    });
    timer->start();
}

} // namespace

// How every form takes keys, clicks and messages.
class TestFormBehaviour : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }
    void init() { MessageBox::setTestMode(true); }

    void enterMovesLikeTabAndNeverReachesTheControl() {
        TestForm f;
        QCOMPARE(FormBehaviour::of(&f.dialog), f.behaviour);
        QSignalSpy returned(f.first, &QLineEdit::returnPressed);
        QSignalSpy saved(f.save, &QPushButton::clicked);
        f.first->setText("a");
        f.focus(f.first);

        press(Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(f.at(), "first0");
        QCOMPARE(returned.count(), 1); // with a modifier the box sees Enter

        press(Qt::Key_Return);
        QCOMPARE(f.at(), "second1");
        // The keypad Enter is an Enter too.
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.at(), "combo1");
        QCOMPARE(returned.count(), 1);
        QVERIFY(saved.isEmpty() && f.dialog.isVisible()); // the default button never fired

        // On a command button Enter moves on too; Space presses it.
        f.focus(f.save);
        press(Qt::Key_Return);
        QCOMPARE(saved.count(), 0);
        QVERIFY(QApplication::focusWidget() != f.save);
        f.focus(f.save);
        press(Qt::Key_Space);
        QCOMPARE(saved.count(), 1);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void refusedValidationKeepsTheFocusWhateverTheWayOut() {
        TestForm f;
        QSignalSpy saved(f.save, &QPushButton::clicked);
        f.focus(f.first);

        for (const auto& [key, modifiers] : {std::pair{Qt::Key_Tab, Qt::NoModifier},
                                             {Qt::Key_Backtab, Qt::ShiftModifier},
                                             {Qt::Key_Return, Qt::NoModifier}}) {
            press(key, modifiers);
            QCOMPARE(QApplication::focusWidget(), f.first);
        }
        for (QWidget* target : {static_cast<QWidget*>(f.save), static_cast<QWidget*>(f.second)}) {
            QTest::mouseClick(target, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), f.first);
        }
        QCOMPARE(f.at() + QString::number(saved.count()), "first50");
        QCOMPARE(MessageBox::shown().size(), 5);
        QCOMPARE(MessageBox::shown().first().text, kRefused);

        // The cancel button leaves without validating.
        QSignalSpy cancelled(f.cancel, &QPushButton::clicked);
        QTest::mouseClick(f.cancel, Qt::LeftButton);
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(f.firstChecks, 5);

        // A refused press whose release never arrives does not cost the
        // next click its release.
        f.focus(f.first);
        QTest::mousePress(f.save, Qt::LeftButton);
        QCOMPARE(f.firstChecks, 6);

        // Once corrected, one click leaves the field and clicks the button,
        // validating once.
        f.first->setText("a");
        f.focus(f.first);
        QTest::mouseClick(f.save, Qt::LeftButton);
        QCOMPARE(f.at() + QString::number(saved.count()), "save71");

        // Turning the wheel over a combo box would give it the focus.
        f.first->clear();
        f.focus(f.first);
        f.combo->addItems({"1", "2"});
        f.combo->setCurrentIndex(0);
        const QPoint overCombo = f.combo->mapTo(&f.dialog, f.combo->rect().center());
        QWheelEvent wheel(overCombo, f.dialog.mapToGlobal(overCombo), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.dialog.windowHandle(), &wheel);
        QCOMPARE(f.at() + QString::number(f.combo->currentIndex()), "first80");

        // Clicking inside the field itself does not validate it.
        f.first->clear();
        f.focus(f.first);
        QTest::mouseClick(f.first, Qt::LeftButton);
        QCOMPARE(f.at(), "first8");
        QVERIFY(!f.behaviour->validateFocusedField());
        QCOMPARE(f.firstChecks, 9);
    }

    void editableComboIsOneFieldWithItsLineEdit() {
        TestForm f;
        f.first->setText("a");
        f.focus(f.combo);
        QTest::keyClicks(QApplication::focusWidget(), "x");
        QCOMPARE(f.combo->currentText(), "x");
        press(Qt::Key_Return);
        QVERIFY(f.combo->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == f.combo);
        QCOMPARE(f.comboChecks, 1);
        // Clicking into the combo's own line edit is staying in the field.
        QTest::mouseClick(f.combo->lineEdit(), Qt::LeftButton);
        QCOMPARE(f.comboChecks, 1);
        f.combo->setEditText("y");
        press(Qt::Key_Tab);
        QCOMPARE(f.at() + QString::number(f.comboChecks), "save02");
    }

    void escapeRunsTheHandlerAndClosingNeverValidates() {
        TestForm f;
        f.focus(f.first);
        press(Qt::Key_Escape); // no handler: ignored, the dialog stays
        QVERIFY(f.dialog.isVisible());
        int escapes = 0;
        f.behaviour->setEscapeHandler([&] {
            ++escapes;
            f.dialog.close();
        });
        press(Qt::Key_Escape);
        QVERIFY(escapes == 1 && !f.dialog.isVisible());
        QVERIFY(f.firstChecks == 0 && MessageBox::shown().isEmpty());
    }

    void aMessageShownByTheValidatorDoesNotValidateAgain() {
        // A real message box takes the focus away and gives it back.
        MessageBox::setTestMode(false);
        TestForm f;
        int boxes = 0;
        auto* timer = new QTimer(&f.dialog);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, [&boxes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        timer->start();
        f.focus(f.first);
        press(Qt::Key_Return);
        QTRY_COMPARE(boxes, 1);
        QTRY_COMPARE(QApplication::focusWidget(), f.first);
        QCOMPARE(f.firstChecks, 1);
        QTest::qWait(50);
        QCOMPARE(f.firstChecks, 1);
        timer->stop();
    }

    void formsDoNotSeeEachOthersKeys() {
        TestForm lower;
        lower.first->setText("a");
        TestForm upper;
        upper.focus(upper.first);
        press(Qt::Key_Tab);
        QCOMPARE(upper.at() + QString::number(lower.firstChecks), "first10");
    }

    void testModeRecordsMessagesAndAnswersFromTheQueue() {
        using MB = MessageBox;
        MB::setTestMode(true);
        MB::setNextAnswer(MB::Answer::No);
        MB::setNextAnswer(MB::Answer::Cancel);
        QCOMPARE(MB::show(nullptr, "c", MB::Buttons::YesNo), MB::Answer::No);
        QCOMPARE(MB::show(nullptr, "d", MB::Buttons::OkCancel), MB::Answer::Cancel);
        // The queue is used up: the first button, i.e. the default one.
        QCOMPARE(MB::show(nullptr, "e", MB::Buttons::YesNoCancel, MB::Icon::Exclamation),
                 MB::Answer::Yes);
        MB::error(nullptr, "no such table: syain_m");
        const QList<MB::Shown> shown = MB::shown();
        QCOMPARE(shown.size(), 4);
        QVERIFY(shown[2].text == "e" && shown[2].icon == MB::Icon::Exclamation &&
                shown[3].buttons == MB::Buttons::Ok && shown[3].icon == MB::Icon::None);
        // Switching test mode on again forgets answers left over.
        MB::setNextAnswer(MB::Answer::Cancel);
        MB::setTestMode(true);
        QCOMPARE(MB::show(nullptr, "f", MB::Buttons::OkCancel), MB::Answer::Ok);
    }

    void realBoxHasTitleDefaultButtonIconAndJapaneseButtons() {
        MessageBox::setTestMode(false);
        QStringList seen; // title, button texts, icon, default button
        answerRealBox([&seen](QMessageBox* box) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            seen << box->windowTitle() << yes->text() << box->button(QMessageBox::No)->text()
                 << QString::number(box->icon())
                 << QString::number(static_cast<QAbstractButton*>(box->defaultButton()) == yes);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(MessageBox::show(nullptr, "伝票を印刷しますか", MessageBox::Buttons::YesNo,
                                  MessageBox::Icon::Exclamation),
                 MessageBox::Answer::No);
        QCOMPARE(seen.size(), 5);
        QCOMPARE(seen[0], "Tarvelシステム");
        QVERIFY2(seen[1].contains("はい") && seen[2].contains("いいえ"),
                 qPrintable(seen.join('|')));
        QCOMPARE(seen.mid(3), QStringList({QString::number(QMessageBox::Warning), "1"}));

        // Escape on an OK/Cancel question is Cancel.
        answerRealBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MessageBox::show(nullptr, "削除しますか", MessageBox::Buttons::OkCancel),
                 MessageBox::Answer::Cancel);
    }

    // A message box of its own would skip the test queue and the Japanese buttons.
    void noOtherSourceUsesQMessageBoxDirectly() {
        QStringList offenders;
        int scanned = 0; // a wrong folder would find nothing to complain of
        QDirIterator it(TARVEL_SOURCE_DIR "/src", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            ++scanned;
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains("QMessageBox") &&
                !f.fileName().endsWith("/core/screens/messagebox.cpp"))
                offenders << f.fileName();
        }
        QVERIFY(scanned > 10);
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestFormBehaviour)
#include "test_formbehaviour.moc"
