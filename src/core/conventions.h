#pragma once

#include "core/numberformat.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// The input and display rules every screen shares, as plain text functions;
// the widgets in core/screens/fields.h apply them to the boxes.

// Messages of the box rules.
namespace ConventionText {
inline const QString Required = QStringLiteral("入力必須項目です。");
inline const QString BadDate = QStringLiteral("日付の入力に誤りがあります。");
} // namespace ConventionText

// Key filter of the boxes; Backspace is QChar(8). Returns 0 when `key` is
// accepted and 1 when refused:
//   1 digits (date boxes)          2 digits and "/"
//   3 digits and "," (quantities)  4 digits, "," and "." (unit prices)
//   5 digits and "-" (slip numbers)
// Backspace is accepted by every mode; any other mode refuses every key.
int KeyCheck(int mode, QChar key);
constexpr QChar Backspace = QChar(8);

// The limit rule of a box: a key other than Backspace is refused when
// nothing is selected and the text already has `limit` characters (or
// bytes, for free-text boxes).
bool refusedAtLimit(QChar key, int currentLength, bool hasSelection, int limit);

// Text with leading and trailing half-width blanks removed.
QString trimBlanks(const QString& text);

// Entering a numeric box: trimmed, every "," removed.
QString NumEditStart(const QString& text);
// Entering a date box: trimmed, every "/" removed.
QString DateEditStart(const QString& text);

// Leaving a numeric box: "" when blank; otherwise the number read from the
// text (thousands separators accepted) formatted "#,##0" or "#,##0." and
// `decimals` zeros. The formatted text is never cut to `maxLength`:
// dropping leading digits would change the value, so a box must be long
// enough for its separators.
QString NumFormat(const QString& text, int decimals, int maxLength = 0);

// 0 when text is a valid date typed as eight digits yyyymmdd between
// 1800/01/01 and 2100/12/31, 1 otherwise.
int DateCheck(const QString& text);

// What leaving a box does: the box's new text and whether the focus must
// stay with a message (ConventionText::BadDate or ::Required).
enum class LeaveOutcome { Ok, InvalidDate, RequiredMissing };
struct LeaveResult {
    QString text;
    LeaveOutcome outcome = LeaveOutcome::Ok;
};
// Date box: blank, a text containing "/" or "0" empties it; an invalid
// date keeps the text and reports InvalidDate; a valid one becomes
// "yyyy/mm/dd"; an empty required box reports RequiredMissing.
LeaveResult leaveDateBox(const QString& text, bool required);
// Numeric box: a blank required box reports RequiredMissing, otherwise
// the text becomes NumFormat(text, decimals, maxLength).
LeaveResult leaveNumericBox(const QString& text, int decimals, int maxLength, bool required);

// Dates as shown and typed: "yyyy/mm/dd", date-times "yyyy/mm/dd hh:mm:ss";
// "" for an invalid value.
QString formatDate(const QDate& date);
QString formatDateTime(const QDateTime& dateTime);
// Box text "yyyy/mm/dd" (blanks around it allowed) back to a date; an
// invalid QDate for anything else.
QDate parseBoxDate(const QString& text);
// "yyyy/mm/dd hh:mm:ss" back to a date-time; invalid for anything else.
QDateTime parseBoxDateTime(const QString& text);
