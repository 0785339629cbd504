#pragma once

#include <QString>

class QLineEdit;
class QComboBox;
class QWidget;
class FormBehaviour;

// Input method wanted for a box: codes and figures are typed with it off.
enum class ImeMode { Off, Hiragana };

// Free-text box: selects all on entry; refuses (with a beep) a typed,
// pasted or committed edit that would take the text past byteLimit bytes
// (LenByte). A box typed with the input method off takes a code: the input
// method goes to direct input while it has the focus, what the clerk puts
// in arrives folded to half-width (toHalfWidth), and a full-width space
// the program puts there is refused. Half of a surrogate pair is dropped
// with a beep, whichever way it arrives (the program's setText included).
void setupTextBox(QLineEdit* box, int byteLimit, ImeMode ime = ImeMode::Hiragana);

// Numeric box, input method off: keys filtered by KeyCheck(keyMode), at
// most maxChars characters, and a paste or an input-method commit must pass
// the same rules as a whole, each folded to half-width first; a refused
// commit leaves the box as it was. Text arriving any other way keeps only
// digits and " ,.-/".
// NumEditStart on entry; on leaving "入力必須項目です。" when required and
// blank, otherwise NumFormat with `decimals`.
void setupNumericBox(FormBehaviour& form, QLineEdit* box, int keyMode, int maxChars, int decimals,
                     bool required);

// Box for a number that is not a figure (a slip number): the numeric box's
// key rules, shown as typed.
void setupKeyedBox(QLineEdit* box, int keyMode, int maxChars);

// Date box typed as eight digits (the numeric box rules, mode 1):
// DateEditStart on entry; on leaving the
// date rule ("0" clears, "日付の入力に誤りがあります。", 0000/00/00), and
// "入力必須項目です。" when required and empty.
void setupDateBox(FormBehaviour& form, QLineEdit* box, bool required);

// A box that takes a day typed as eight digits (the date box keys) and may
// show a time stamp "yyyy/mm/dd hh:mm:ss" that the program put there:
// entering removes the slashes of a day only. The screen registers its own
// rule for leaving it.
void setupDayOrTimeStampBox(QLineEdit* box);

// Code combo box (editable): select all on entry, input method off; no
// completion, so the text stays as typed (folded to half-width) until an
// item is picked from the list; a full-width space comes only with a whole
// item, never typed.
void setupCodeCombo(QComboBox* combo);

// Password box: shows "*" for every character, whatever the style's own
// mask character is.
void setPasswordBox(QLineEdit* box);

void ClearTextBoxes(QWidget* form);
void SelectAll(QLineEdit* box);
void FormCenter(QWidget* form);
void beep();
// How often beep() has sounded in this run (tests observe refusals).
int beepCount();

// Sizes are given in twips; the screen has 15 twips to a pixel.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}
