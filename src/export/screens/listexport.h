#pragma once

#include <functional>

class ListGrid;
struct ListDefinition;
class QPushButton;
class QString;
class QWidget;

// The one way a list screen exports its list: a button 「Excel出力」
// (cmdExport) beside the list and Ctrl+E. A save dialog asks where,
// offering an Excel workbook first ("<list name>-YYYYMMDD.xlsx" in the
// working folder) and CSV second (in the encoding of [Export] Encoding);
// the file holds exactly what the grid shows (export/listtable.h).
// The caller places the returned button beside the list.
QPushButton* addListExport(QWidget* screen, ListGrid* grid, const ListDefinition& list);

// Asks for the file and writes it; a failure, or characters that CSV in
// Shift-JIS had to replace, is told to the clerk.
void exportList(QWidget* parent, const ListGrid* grid, const ListDefinition& list);

// Tests answer the save dialog: the chooser gets the suggested path and
// returns the chosen one ("" cancels). An empty function restores the
// dialog.
using ExportFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
void setExportFileChooser(ExportFileChooser chooser);
