// Clicks travel through the window as real ones do, so that a refused
// validation can stop the click before the clicked control takes the focus.
#define QTEST_QPA_MOUSE_HANDLING

#include "core/screens/appsetup.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "support/guitest.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
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
    QLineEdit* first;
    QLineEdit* second;
    QComboBox* combo;
    QPushButton* save;
    QPushButton* cancel;
    FormBehaviour* behaviour;
    int firstChecks = 0;
    int comboChecks = 0;

    TestForm() {
        auto* layout = new QVBoxLayout(&dialog);
        first = new QLineEdit(&dialog);
        second = new QLineEdit(&dialog);
        combo = new QComboBox(&dialog);
        combo->setEditable(true);
        save = new QPushButton("登録", &dialog);
        save->setDefault(true);
        cancel = new QPushButton("取消", &dialog);
        for (QWidget* w : QList<QWidget*>{first, second, combo, save, cancel})
            layout->addWidget(w);
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
};

using GuiTest::press;

} // namespace

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
        QCOMPARE(QApplication::focusWidget(), f.first);
        QCOMPARE(f.firstChecks, 0);
        QCOMPARE(returned.count(), 1); // with a modifier the box sees Enter

        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.second);
        QCOMPARE(f.firstChecks, 1);
        // The keypad Enter is an Enter too.
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), f.combo);
        QCOMPARE(returned.count(), 1);
        QCOMPARE(saved.count(), 0); // the default button never fired
        QVERIFY(f.dialog.isVisible());

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
        QCOMPARE(saved.count(), 0);
        QCOMPARE(f.firstChecks, 5);
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
        QCOMPARE(saved.count(), 1);
        QCOMPARE(f.firstChecks, 7);
        QCOMPARE(QApplication::focusWidget(), f.save);

        // Turning the wheel over a combo box would give it the focus.
        f.first->clear();
        f.focus(f.first);
        f.combo->addItems({"1", "2"});
        f.combo->setCurrentIndex(0);
        const QPoint overCombo = f.combo->mapTo(&f.dialog, f.combo->rect().center());
        QWheelEvent wheel(overCombo, f.dialog.mapToGlobal(overCombo), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.dialog.windowHandle(), &wheel);
        QCOMPARE(QApplication::focusWidget(), f.first);
        QCOMPARE(f.combo->currentIndex(), 0);
        QCOMPARE(f.firstChecks, 8);

        // Clicking inside the field itself does not validate it.
        f.first->clear();
        f.focus(f.first);
        QTest::mouseClick(f.first, Qt::LeftButton);
        QCOMPARE(f.firstChecks, 8);
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
        QCOMPARE(QApplication::focusWidget(), f.save);
        QCOMPARE(f.comboChecks, 2);
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
        QCOMPARE(escapes, 1);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.firstChecks, 0);
        QVERIFY(MessageBox::shown().isEmpty());
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
        QCOMPARE(QApplication::focusWidget(), upper.first);
        QCOMPARE(upper.firstChecks, 1);
        QCOMPARE(lower.firstChecks, 0);
    }
};

QTEST_MAIN(TestFormBehaviour)
#include "test_formbehaviour.moc"
