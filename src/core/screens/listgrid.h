#pragma once

#include <QList>
#include <QTableView>

class ListGridModel;

// The list grid grd1 of every list screen, addressed like a flexible grid:
// row 0 is the fixed heading row, data rows are 1 .. rows()-1, column 0 is
// usually a hidden key column. Full-row selection; Tab leaves the grid.
// Built on a model of plain strings so that 100,000 rows fill and scroll
// smoothly; wrap a large fill in beginFill()/endFill().
// In a .ui form, place a QTableView promoted to ListGrid (header
// core/screens/listgrid.h) and set no view properties there: the
// constructor sets them.
// Cell addresses out of range throw AppError.
class ListGrid : public QTableView {
    Q_OBJECT
  public:
    explicit ListGrid(QWidget* parent = nullptr);

    int rows() const; // heading row included
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    void clear(); // every cell, headings included, becomes ""; cell alignments go

    QString textMatrix(int row, int col) const; // row 0: heading text
    void setTextMatrix(int row, int col, const QString& text);
    void setRowTexts(int row, const QStringList& texts); // columns 0..n-1 of one row

    void setColWidthTwips(int col, int twips); // 0 hides the column
    int colWidthTwips(int col) const;
    void setRowHeightTwips(int twips);                      // every row, heading included
    int rowHeightTwips(int row) const;                      // as set: pixels hold whole twips/15
    void setColAlignment(int col, Qt::Alignment alignment); // the data rows of col
    Qt::Alignment colAlignment(int col) const;
    void resetColAlignments();
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    Qt::Alignment cellAlignment(int row, int col) const;
    // Drawn in red with the note as tooltip, until the next layout or clear.
    void setCellNote(int row, int col, const QString& note);
    QString cellNote(int row, int col) const;

    int row() const;         // current data row (1..), 0 when none
    void selectRow(int row); // makes `row` current and highlights the whole row

    void beginFill(); // the view stops following the model until endFill
    void endFill();   // the current row stays where it was (or the last row)

    // A fill from beginning to end: endFill runs when the scope ends, also
    // when the fill throws, so a failed load never leaves a frozen grid.
    class Fill {
      public:
        explicit Fill(ListGrid* grid) : m_grid(grid) { m_grid->beginFill(); }
        ~Fill() { m_grid->endFill(); }
        Fill(const Fill&) = delete;
        Fill& operator=(const Fill&) = delete;

      private:
        ListGrid* m_grid;
    };

  signals:
    void focusGained();
    void focusLost();
    void rowChanged(int row); // the current row changed (by user or program)
    void rowDoubleClicked(int row);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyboardSearch(const QString& search) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

  private:
    void applyColumnWidths();
    int firstVisibleColumn() const;
    void setCurrentRowQuietly(int row);
    void currentRowMoved(const QModelIndex& current);

    ListGridModel* m_model;
    QList<int> m_colTwips;
    int m_rowTwips = 0;
    int m_lastRow = 0;        // the row last announced by rowChanged
    int m_fillDepth = 0;      // nested beginFill calls
    bool m_quietMove = false; // a move the grid makes for itself, not announced
};
