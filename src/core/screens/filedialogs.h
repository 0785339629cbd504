#pragma once

#include <QString>

class QWidget;

// The program's file and folder choosers. Always Qt's own dialog, so that
// it speaks Japanese on every desktop and in every locale: captions and
// buttons from Qt's Japanese texts, file kinds in Japanese, dates as
// YYYY/MM/DD HH:MM in a column wide enough for them. Each returns the chosen
// path, or "" when the clerk cancels.
// A save dialog with several kinds ("A (*.xlsx);;B (*.csv)") starts with
// the first; choosing another changes the name's extension, and a name of
// no kind offered gets the chosen kind's extension.
QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter);
QString chooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter);
QString chooseFolder(QWidget* parent, const QString& title, const QString& folder);
