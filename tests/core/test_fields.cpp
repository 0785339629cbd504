#include "core/bytetext.h"
#include "core/screens/appsetup.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
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

const QString kRequired = "入力必須項目です。";
const QString kBadDate = "日付の入力に誤りがあります。";

// A form of line edits in tab order, shown and active.
struct BoxForm {
    QDialog dialog;
    QList<QLineEdit*> boxes;
    FormBehaviour* behaviour;

    explicit BoxForm(int count) {
        auto* layout = new QVBoxLayout(&dialog);
        for (int i = 0; i < count; ++i) {
            boxes << new QLineEdit(&dialog);
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

    void textBoxRefusesEditsPastItsByteLimit() {
        BoxForm f(2);
        QLineEdit* box = f.boxes[0];
        setupTextBox(box, 10);
        f.enter(box);
        // Selection (start, length; -1 none), typed or pasted ("^"), the text after. A
        // selection is replaced when the result fits, and only then; a paste fits as a whole.
        const std::tuple<int, int, QString, QString> steps[] = {
            {-1, 0, "ABCDEFG", "ABCDEFG"},       {-1, 0, "あい", "ABCDEFGあ"}, // 7 + 4 bytes
            {-1, 0, "BC", "ABCDEFGあB"},         {9, 1, "ア", "ABCDEFGあB"},
            {7, 1, "ア", "ABCDEFGアB"},          {0, 9, "Z", "Z"},
            {-1, 0, "^漢字漢字A", "Z漢字漢字A"}, {1, 4, "^ｱｲｳｴｵｶｷｸ", "ZｱｲｳｴｵｶｷｸA"}, // 1 byte each
        };
        for (const auto& [start, length, text, after] : steps) {
            if (start >= 0)
                box->setSelection(start, length);
            text.startsWith('^') ? paste(text.mid(1)) : type(text);
            QCOMPARE(box->text(), after);
        }
    }

    void textBoxesKeepCharactersWhole() {
        BoxForm f(2);
        QLineEdit* box = f.boxes[0];
        setupTextBox(box, 10);
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
    }

    void textIsSelectedWhenABoxIsClickedInto() {
        // Entering by key selects too: the numeric and date cases show it.
        BoxForm f(2);
        setupTextBox(f.boxes[0], 20);
        f.enter(f.boxes[1]);
        f.boxes[0]->setText("abc");
        QTest::mouseClick(f.boxes[0], Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(focused(), f.boxes[0]);
        QTRY_COMPARE(f.boxes[0]->selectedText(), "abc");
    }

    void numericBoxFiltersKeysAndFormatsOnlyWhenLeft() {
        BoxForm f(3);
        QLineEdit* price = f.boxes[0];
        QLineEdit* quantity = f.boxes[1];
        setupNumericBox(*f.behaviour, price, 4, 12, 3, false);
        setupNumericBox(*f.behaviour, quantity, 3, 5, 0, true);

        f.enter(price);
        type("12a34-.5 ");
        QCOMPARE(price->text(), "1234.5");
        press(Qt::Key_Tab);
        QCOMPARE(focused(), quantity);
        QCOMPARE(price->text(), "1,234.500");
        type("7");
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), price);
        QCOMPARE(price->text(), "1234.500");
        QCOMPARE(price->selectedText(), "1234.500");
        press(Qt::Key_Return);
        QCOMPARE(price->text(), "1,234.500");

        // The required quantity: blank keeps the focus with a message.
        QCOMPARE(focused(), quantity);
        QCOMPARE(quantity->selectedText(), "7");
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        QCOMPARE(focused(), quantity);
        QCOMPARE(shownTexts(), QStringList{kRequired});

        // At most five characters; Backspace and typing over a selection
        // still work at the limit.
        type("1234567");
        QCOMPARE(quantity->text(), "12345");
        press(Qt::Key_Backspace);
        QCOMPARE(quantity->text(), "1234");
        quantity->selectAll();
        type("9");
        QCOMPARE(quantity->text(), "9");
        paste("99999"); // would make six
        QCOMPARE(quantity->text(), "9");
        paste(",000");
        QCOMPARE(quantity->text(), "9,000");
        // Thousands separators typed by the user are read as such.
        press(Qt::Key_Tab);
        QCOMPARE(quantity->text(), "9,000");
        QCOMPARE(focused(), f.boxes[2]);
        QCOMPARE(MessageBox::shown().size(), 1);

        // A box whose maximum length is its character limit still shows
        // every digit with the separators.
        price->setMaxLength(12);
        price->setText("123456789.12");
        f.enter(price);
        press(Qt::Key_Tab);
        QCOMPARE(price->text(), "123,456,789.120");
    }

    void numberBoxesTakeOnlyTheirCharacters() {
        BoxForm f(3);
        QLineEdit* price = f.boxes[0];
        QLineEdit* date = f.boxes[1];
        setupNumericBox(*f.behaviour, price, 4, 12, 3, false);
        setupDateBox(*f.behaviour, date, false);
        const QStringList junk = {"😀", "\u200B", "\u200E", "１", "1\u200F", "-"};
        for (QLineEdit* box : {price, date}) {
            f.enter(box);
            for (int way = 0; way < 3; ++way) {
                for (const QString& text : junk) {
                    box->clear();
                    const int beeps = beepCount();
                    arrive(box, text, way);
                    QVERIFY2(box->text().isEmpty() && beepCount() > beeps,
                             qPrintable(QString::number(way) + text));
                }
                arrive(box, "12", way);
                QCOMPARE(box->text(), "12");
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

    void dateBoxTakesEightDigitsAndShowsSlashes() {
        BoxForm f(3);
        QLineEdit* date = f.boxes[0];
        QLineEdit* required = f.boxes[1];
        setupDateBox(*f.behaviour, date, false);
        setupDateBox(*f.behaviour, required, true);

        date->setMaxLength(8);
        f.enter(date);
        type("2003/04-01x9");
        QCOMPARE(date->text(), "20030401");
        press(Qt::Key_Return);
        QCOMPARE(date->text(), "2003/04/01");
        QCOMPARE(focused(), required);
        type("20260401");
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(date->text(), "20030401");
        QCOMPARE(required->text(), "2026/04/01");

        // An impossible date keeps the text and the focus.
        date->setText("21000229");
        press(Qt::Key_Tab);
        QCOMPARE(focused(), date);
        QCOMPARE(date->text(), "21000229");
        QCOMPARE(shownTexts(), QStringList{kBadDate});

        // "0" clears an optional date and lets the focus go.
        date->setText("0");
        press(Qt::Key_Tab);
        QCOMPARE(date->text(), QString());
        QCOMPARE(focused(), required);

        // A required one is cleared, then refused as missing.
        QCOMPARE(required->selectedText(), "20260401");
        type("0");
        press(Qt::Key_Tab);
        QCOMPARE(required->text(), QString());
        QCOMPARE(focused(), required);
        QCOMPARE(shownTexts().last(), kRequired);
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
