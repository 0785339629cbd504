#pragma once

#include <QString>

class QApplication;
class QWidget;

// The clerk's manual (操作説明書) as the program shows it: F1 on any window
// opens it at that screen's section, the menu's button at its beginning.

// The section of the manual that explains the screen of this object name,
// "" when the manual has none of its own.
QString manualSection(const QString& screenName);

// The manual's HTML file: the installed one beside the program
// (../share/doc/tarvel), else the copy in the build folder; "" when neither
// exists.
QString manualFile();

// Opens the help window over parent at the section ("" for the beginning),
// or says that the manual is missing.
void openManual(QWidget* parent, const QString& section);

// F1 anywhere opens the manual at the section of the active screen (or of
// the nearest screen beneath it that has one).
void installManualKey(QApplication& app);
