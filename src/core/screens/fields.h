#pragma once

#include <QString>

class QLineEdit;
class QComboBox;
class QWidget;
class FormBehaviour;

// Input method wanted for a box: codes and figures are typed with it off.
enum class ImeMode { Off, Hiragana };

// Free-text box: selects all on entry; refuses (with a beep) a typed or
// pasted edit that would take the text past byteLimit bytes (LenByte).
void setupTextBox(QLineEdit* box, int byteLimit, ImeMode ime = ImeMode::Hiragana);

// Numeric box: keys filtered by KeyCheck(keyMode), at most maxChars
// characters; NumEditStart on entry; on leaving "入力必須項目です。" when
// required and blank, otherwise NumFormat with `decimals`.
void setupNumericBox(FormBehaviour& form, QLineEdit* box, int keyMode, int maxChars, int decimals,
                     bool required);

// Date box typed as eight digits: DateEditStart on entry; on leaving the
// date rule ("0" clears, "日付の入力に誤りがあります。", 0000/00/00), and
// "入力必須項目です。" when required and empty.
void setupDateBox(FormBehaviour& form, QLineEdit* box, bool required);

// Code combo box (editable): select all on entry, input method off.
void setupCodeCombo(QComboBox* combo);

// Password box: shows "*" for every character, whatever the style's own
// mask character is.
void setPasswordBox(QLineEdit* box);

void ClearTextBoxes(QWidget* form);
void SelectAll(QLineEdit* box);
void FormCenter(QWidget* form);
void beep();

// Sizes are given in twips; the screen has 15 twips to a pixel.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}
