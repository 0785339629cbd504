#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <QDate>

// The printed trial list, as text placed on lines: one line per row of the
// trial grid (row 0, the headings, first), each home-worker's lines
// followed by a "計" line with the sum of its 合　計 column and an empty
// line, and at the end a "総合計" line with the sum of them all. Kept apart
// from painting so the pages can be checked as text.
struct TrialPrintItem {
    double x = 0;              // twips from the left margin
    QString text;              // as printed; right-aligned items padded to 15 characters
    bool rightAligned = false; // ends at the right edge of 15 characters from x
    bool heading = false;      // of the column headings, printed smaller so they stand apart
};
using TrialPrintLine = QList<TrialPrintItem>; // empty: an empty line
using TrialPrintPage = QList<TrialPrintLine>;

// Where the grid's columns 1..8 start, in twips.
inline constexpr double kTrialColumnX[] = {0, 0, 1134, 2551.5, 5953.5, 7371, 10773, 12190.5, 13608};
// Every line takes the same height, so a page holds a fixed number of them.
inline constexpr int kTrialLineTwips = 300;

// The text right-aligned in 15 characters: blanks in front of a shorter
// text, a longer one unchanged.
QString rightAligned15(const QString& text);

// The lines for a grid's cell texts (rows[r][c], row 0 the headings). The
// list ends at the first row whose 内職者コード is empty, or after the last.
QList<TrialPrintLine> trialPrintLines(const QList<QStringList>& rows);

// The lines cut into pages of `linesPerPage` (at least one page).
QList<TrialPrintPage> trialPrintPages(const QList<TrialPrintLine>& lines, int linesPerPage);

// What heads every page besides the lines: title, period, day of printing
// and "p / P".
struct TrialPrintHeading {
    QDate firstDay;
    QDate lastDay;
    QDate printedOn;
};
inline const QString kTrialPrintTitle = QStringLiteral("試算処理結果");
QString trialPeriodText(const TrialPrintHeading& heading); // "対象期間：YYYY/MM/DD～YYYY/MM/DD"
QString trialPrintedText(const TrialPrintHeading& heading); // "印刷日：YYYY/MM/DD"
// Lines of a page left below the heading.
inline constexpr int kTrialHeadingLines = 3;

// The pages as text: "=== p / P ===" before each page, its heading, then
// per line its items as "x[text]" joined by " | ".
QString trialPrintText(const QList<TrialPrintPage>& pages, const TrialPrintHeading& heading);
