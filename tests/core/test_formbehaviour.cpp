// Clicks travel through the window as real ones do, so that a refused
// validation can stop the click before the clicked control takes the focus.
#define QTEST_QPA_MOUSE_HANDLING

#include "core/screens/appsetup.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "support/golden.h"
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
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace {

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
    int entered = 0; // Enter as the first box sees it
    int saves = 0;
    int cancels = 0;

    TestForm() {
        auto* layout = new QVBoxLayout(&dialog);
        const QStringList names = {"first", "second", "combo", "save", "cancel"};
        for (QWidget* w : QList<QWidget*>{first, second, combo, save, cancel}) {
            w->setObjectName(names[layout->count()]);
            layout->addWidget(w);
        }
        combo->setEditable(true);
        combo->lineEdit()->setObjectName("comboEdit");
        save->setDefault(true);
        QObject::connect(first, &QLineEdit::returnPressed, [this] { ++entered; });
        QObject::connect(save, &QPushButton::clicked, [this] { ++saves; });
        QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancels; });
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
            MessageBox::show(&dialog, "入力必須項目です。");
        return ok;
    }
    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w);
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

    void keysAndClicksMoveAndValidateAsTheStepsSay() {
        std::unique_ptr<TestForm> f;
        const QMap<QString, Qt::Key> keys = {
            {"Return", Qt::Key_Return},   {"Enter", Qt::Key_Enter}, {"Tab", Qt::Key_Tab},
            {"Backtab", Qt::Key_Backtab}, {"Space", Qt::Key_Space}, {"Escape", Qt::Key_Escape}};
        const QMap<QString, Qt::KeyboardModifiers> modifiers = {{"Shift", Qt::ShiftModifier},
                                                                {"Keypad", Qt::KeypadModifier}};
        const QString d = goldenCases("formkeys.txt", [&](const QStringList& step) {
            const QString& what = step[0];
            if (what == "new form")
                f = std::make_unique<TestForm>();
            QWidget* w = f->dialog.findChild<QWidget*>(step.value(1));
            QString seen;
            if (what == "set" && w == f->combo)
                f->combo->setEditText(step.value(2));
            else if (what == "set")
                f->first->setText(step.value(2));
            else if (what == "focus")
                f->focus(w);
            else if (what == "press")
                press(keys.value(step[1].section('+', -1)),
                      modifiers.value(step[1].section('+', 0, -2)));
            else if (what == "click")
                QTest::mouseClick(w, Qt::LeftButton);
            else if (what == "mousePress")
                QTest::mousePress(w, Qt::LeftButton);
            else if (what == "keys")
                QTest::keyClicks(QApplication::focusWidget(), step[1]);
            else if (what == "items") {
                f->combo->addItems({"1", "2"});
                f->combo->setCurrentIndex(0);
            } else if (what == "wheel") {
                const QPoint over = w->mapTo(&f->dialog, w->rect().center());
                QWheelEvent wheel(over, f->dialog.mapToGlobal(over), QPoint(), QPoint(0, -120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(f->dialog.windowHandle(), &wheel);
            } else if (what == "escapeHandler")
                f->behaviour->setEscapeHandler([&f] { f->dialog.close(); });
            else if (what == "validate")
                seen = QStringLiteral("valid %1 · ").arg(f->behaviour->validateFocusedField());
            const QWidget* at = QApplication::focusWidget();
            seen += QStringLiteral("%1 · checked %2/%3 · entered %4 · saved %5/%6 · combo [%7]")
                        .arg(at ? at->objectName() : QStringLiteral("none"))
                        .arg(f->firstChecks)
                        .arg(f->comboChecks)
                        .arg(f->entered)
                        .arg(f->saves)
                        .arg(f->cancels)
                        .arg(f->combo->currentText());
            for (const QString& message : GuiTest::takeShown())
                seen += " ! " + message;
            return f->dialog.isVisible() ? seen : seen + " · closed";
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
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
        QCOMPARE(FormBehaviour::of(&lower.dialog), lower.behaviour);
        lower.first->setText("a");
        TestForm upper;
        upper.focus(upper.first);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), upper.first);
        QCOMPARE(upper.firstChecks * 10 + lower.firstChecks, 10);
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
        QString seen; // title, button texts, icon, whether Yes is the default
        answerRealBox([&seen](QMessageBox* box) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            seen = QStringList{box->windowTitle(), yes->text(),
                               box->button(QMessageBox::No)->text(), QString::number(box->icon()),
                               QString::number(box->defaultButton() == yes)}
                       .join('|');
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(MessageBox::show(nullptr, "伝票を印刷しますか", MessageBox::Buttons::YesNo,
                                  MessageBox::Icon::Exclamation),
                 MessageBox::Answer::No);
        QCOMPARE(
            seen,
            QStringLiteral("Tarvelシステム|はい(&Y)|いいえ(&N)|%1|1").arg(QMessageBox::Warning));

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
