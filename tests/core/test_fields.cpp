#include "core/bytetext.h"
#include "core/screens/appsetup.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "support/golden.h"
#include "support/guitest.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

using namespace GuiTest;

namespace {

// A form of line edits in tab order, shown and active.
struct BoxForm {
    QDialog dialog;
    QList<QLineEdit*> boxes;
    FormBehaviour* behaviour;

    explicit BoxForm(const QStringList& names) {
        auto* layout = new QVBoxLayout(&dialog);
        for (const QString& name : names) {
            boxes << new QLineEdit(&dialog);
            boxes.last()->setObjectName(name);
            layout->addWidget(boxes.last());
        }
        behaviour = new FormBehaviour(&dialog);
        if (!showActive(&dialog))
            qWarning("test form did not become active");
    }
    void enter(QLineEdit* box) {
        box->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
};

// Puts text at the cursor of the focused box: 0 one key (as an emoji key
// sends it), 1 paste, 2 input-method commit, 3 the accessibility interface.
void arrive(QLineEdit* box, const QString& text, int way) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    if (way == 0)
        QApplication::sendEvent(box, &key);
    else if (way == 1)
        paste(text);
    else if (way == 2)
        QApplication::sendEvent(box, &commit);
    else
        QAccessible::queryAccessibleInterface(box)->editableTextInterface()->insertText(
            box->cursorPosition(), text);
}

} // namespace

class TestFields : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }
    void init() { MessageBox::setTestMode(true); }

    void boxesTakeKeysPastesAndLeavingAsTheStepsSay() {
        BoxForm f({"text", "price", "quantity", "date", "required", "last"});
        setupTextBox(f.boxes[0], 10);
        setupNumericBox(*f.behaviour, f.boxes[1], 4, 12, 3, false);
        setupNumericBox(*f.behaviour, f.boxes[2], 3, 5, 0, true);
        setupDateBox(*f.behaviour, f.boxes[3], false);
        setupDateBox(*f.behaviour, f.boxes[4], true);
        const QMap<QString, Qt::Key> keys = {{"Tab", Qt::Key_Tab},
                                             {"Backtab", Qt::Key_Backtab},
                                             {"Return", Qt::Key_Return},
                                             {"Backspace", Qt::Key_Backspace}};
        const QString d = goldenCases("boxes.txt", [&](const QStringList& step) {
            QLineEdit* named = f.dialog.findChild<QLineEdit*>(step.value(1));
            QString arg = step.value(1);
            if (arg.startsWith('[') && arg.endsWith(']'))
                arg = arg.mid(1, arg.size() - 2);
            if (step[0] == "enter")
                f.enter(named);
            else if (step[0] == "type")
                type(arg);
            else if (step[0] == "paste")
                paste(arg);
            else if (step[0] == "press")
                press(keys.value(arg), arg == "Backtab" ? Qt::ShiftModifier : Qt::NoModifier);
            else if (step[0] == "set")
                named->setText(step.value(2));
            else if (step[0] == "click") {
                QTest::mouseClick(named, Qt::LeftButton, {}, QPoint(2, 2));
                if (!QTest::qWaitFor([named] { return named->hasSelectedText(); }, 1000))
                    return QStringLiteral("nothing selected");
            } else if (step[0] == "maxLength")
                named->setMaxLength(step.value(2).toInt());
            else if (step.size() > 2)
                named->setSelection(step[2].toInt(), step.value(3).toInt());
            else
                named->selectAll();
            auto* at = qobject_cast<QLineEdit*>(focused());
            QString seen = at->objectName() + " [" + at->selectedText() + "] |";
            for (QLineEdit* box : f.boxes.first(5))
                seen += " [" + box->text() + "]";
            for (const QString& message : takeShown())
                seen += " ! " + message;
            return seen;
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void charactersArriveWholeOrNotAtAll() {
        BoxForm f({"text", "price", "date", "last"});
        QLineEdit* box = f.boxes[0];
        QLineEdit* price = f.boxes[1];
        QLineEdit* date = f.boxes[2];
        setupTextBox(box, 10);
        setupNumericBox(*f.behaviour, price, 4, 12, 3, false);
        setupDateBox(*f.behaviour, date, false);
        f.enter(box);
        const QString emoji = "😀";
        const QChar high(0xD83D), low(0xDE00);
        // Before (bytes), added, after; the last two go past 10 bytes.
        const QStringList cases[] = {
            {"ABCD", "x" + QString(high), "ABCDx"},
            {"ABCD", emoji + low, "ABCD" + emoji},
            {"ABCDEFGH", emoji, "ABCDEFGH" + emoji},
            {"ABC", "e\u0301\u263A\uFE0F", "ABCe\u0301\u263A\uFE0F"},
            {"ABCDEFGHI", emoji, "ABCDEFGHI"},
            {"ABCDEFGH", "e\u0301", "ABCDEFGH"},
        };
        for (int way = 0; way < 4; ++way) {
            // Another program's insertion is not held to the byte limit.
            for (int i = 0; i < (way == 3 ? 4 : 6); ++i) {
                const QStringList& c = cases[i];
                box->setText(c[0]);
                box->end(false);
                const int beeps = beepCount();
                arrive(box, c[1], way);
                const QByteArray where = QByteArray::number(way * 10 + i);
                QVERIFY2(box->text() == c[2], where);
                QVERIFY2((beepCount() > beeps) == (hasLoneSurrogate(c[1]) || i >= 4), where);
            }
        }
        // Number and date boxes take digits only, whichever way they come.
        const QStringList junk = {"😀", "\u200B", "\u200E", "ａ", "1\u200F", "-"};
        for (QLineEdit* number : {price, date}) {
            f.enter(number);
            for (int way = 0; way < 3; ++way) {
                for (const QString& text : junk) {
                    number->clear();
                    const int beeps = beepCount();
                    arrive(number, text, way);
                    QVERIFY2(number->text().isEmpty() && beepCount() > beeps,
                             qPrintable(QString::number(way) + text));
                }
                arrive(number, "12", way);
                QCOMPARE(number->text(), "12");
            }
        }
        // Whatever gets past the keys keeps only what a number is shown with.
        arrive(date, "3😀\u200B4", 3);
        QCOMPARE(date->text(), "1234");
        f.enter(price);
        price->clear();
        arrive(price, "😀", 0);
        press(Qt::Key_Tab);
        QCOMPARE(price->text(), QString()); // not "0.000"
    }

    void inputMethodIsOffWhereCodesAndFiguresAreTyped() {
        BoxForm f({"code", "password", "name", "quantity", "price", "date", "slipno", "stamp"});
        setupTextBox(f.boxes[0], 10, ImeMode::Off);
        setupTextBox(f.boxes[1], 6, ImeMode::Off);
        setPasswordBox(f.boxes[1]);
        setupTextBox(f.boxes[2], 20);
        setupNumericBox(*f.behaviour, f.boxes[3], 3, 5, 0, false);
        setupNumericBox(*f.behaviour, f.boxes[4], 4, 12, 3, false);
        setupDateBox(*f.behaviour, f.boxes[5], false);
        setupKeyedBox(f.boxes[6], 5, 10);
        setupDayOrTimeStampBox(f.boxes[7]);
        auto* combo = new QComboBox(&f.dialog);
        combo->setObjectName("combo");
        combo->setEditable(true);
        combo->addItem("P-1                 　部品Ａ");
        setupCodeCombo(combo);
        f.dialog.layout()->addWidget(combo);
        const QString d = goldenCases("imeboxes.txt", [&](const QStringList& c) {
            auto* field = f.dialog.findChild<QWidget*>(c[0]);
            QLineEdit* box = c[0] == "combo" ? combo->lineEdit() : qobject_cast<QLineEdit*>(field);
            box->setText(c[1]);
            field->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            const bool wanted = inputMethodWanted();
            const int beeps = beepCount();
            compose(c[2]);
            QString seen = QString(wanted ? "on [" : "off [") + box->text() + "]";
            if (beepCount() > beeps)
                seen += " beep";
            press(Qt::Key_Tab);
            seen += " [" + box->text() + "]";
            for (const QString& message : takeShown())
                seen += " ! " + message;
            return seen;
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void clearTextBoxesLeavesOtherControlsAlone() {
        QDialog form;
        auto* box = new QLineEdit("abc", &form);
        auto* inner = new QWidget(&form);
        auto* nested = new QLineEdit("def", inner);
        auto* combo = new QComboBox(&form);
        combo->setEditable(true);
        combo->addItem("001       　製品");
        setupCodeCombo(combo);
        ClearTextBoxes(&form);
        QCOMPARE(box->text(), QString());
        QCOMPARE(nested->text(), QString());
        QCOMPARE(combo->currentText(), "001       　製品");

        form.setFixedSize(300, 200);
        FormCenter(&form);
        QCOMPARE(form.geometry().center(), form.screen()->geometry().center());
    }
};

QTEST_MAIN(TestFields)
#include "test_fields.moc"
