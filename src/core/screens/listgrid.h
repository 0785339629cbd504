#pragma once

#include <QTableView>

class ListGridModel;

// The list grid grd1 of every list screen, addressed like a flexible grid:
// row 0 is the fixed heading row, data rows are 1 .. rows()-1, column 0 is
// usually a hidden key column. Full-row selection; Tab leaves the grid.
// Built on a model of plain strings so that 100,000 rows fill and scroll
// smoothly; wrap a large fill in beginFill()/endFill().
class ListGrid : public QTableView {
    Q_OBJECT
public:
    explicit ListGrid(QWidget* parent = nullptr);

    int rows() const; // heading row included
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    void clear(); // every cell, headings included, becomes ""

    QString textMatrix(int row, int col) const; // row 0: heading text
    void setTextMatrix(int row, int col, const QString& text);
    void setRowTexts(int row, const QStringList& texts); // columns 0..n-1 of one row

    void setColWidthTwips(int col, int twips); // 0 hides the column
    int colWidthTwips(int col) const;
    void setRowHeightTwips(int twips);         // every row, heading included
    void setColAlignment(int col, Qt::Alignment alignment);
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    Qt::Alignment cellAlignment(int row, int col) const;

    int row() const;            // current data row (1..), 0 when none
    void selectRow(int row);    // makes `row` current and highlights the whole row

    void beginFill(); // the view stops following the model until endFill
    void endFill();

signals:
    void focusGained();
    void focusLost();
    void rowChanged(int row);          // the current row changed (by user or program)
    void rowDoubleClicked(int row);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ListGridModel* m_model;
};

// Lays out form's grd1 as one of the eight list kinds: headings, widths,
// 15 rows; reset 1 puts the screen's filters and buttons into their start
// state (found by name), and selectFirstRow 1 highlights row 1.
void GridLayout(QWidget* form, int kind, int reset, int selectFirstRow);
