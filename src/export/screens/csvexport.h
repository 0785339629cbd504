#pragma once

#include <functional>

class ListGrid;
class QPushButton;
class QString;
class QWidget;

// The one way a list screen exports its list: a button 「CSV出力」
// (cmdCsv) beside the list and Ctrl+E. The file holds exactly what the
// grid shows (export/listtable.h) in the encoding of [Export] Encoding; a
// save dialog asks where, suggesting "<list name>-YYYYMMDD.csv" in the
// working folder.
// The caller places the returned button beside the list.
QPushButton* addCsvExport(QWidget* screen, ListGrid* grid, int kind);

// Asks for the file and writes it; a failure is told to the clerk.
void exportListCsv(QWidget* parent, const ListGrid* grid, int kind);

// Tests answer the save dialog: the chooser gets the suggested path and
// returns the chosen one ("" cancels). An empty function restores the
// dialog.
using CsvFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
void setCsvFileChooser(CsvFileChooser chooser);
