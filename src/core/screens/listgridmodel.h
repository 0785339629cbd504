#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

// The cells of a ListGrid, addressed in grid terms: rows × cols strings,
// grid row 0 being the heading row. The view shows the heading row as its
// horizontal header, so model row r is grid row r + 1.
// Out-of-range addresses throw AppError: a loader writing past the rows it
// made is a fault the screen must report, not hide.
class ListGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ListGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int gridRows() const { return m_rows; }
    void setGridRows(int rows); // at least 1: the heading row always exists
    int gridCols() const { return m_cols; }
    void setGridCols(int cols);
    void clearCells(); // texts, cell alignments and notes; column alignments stay

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void setRowTexts(int row, const QStringList& texts);

    // Column alignment applies to the data rows; a cell alignment overrides it.
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);
    void resetColAlignments();
    Qt::Alignment cellAlignment(int row, int col) const;
    void setCellAlignment(int row, int col, Qt::Alignment alignment);

    // A cell that needs the clerk's attention: drawn in red, the note as its
    // tooltip. "" takes the mark away.
    QString cellNote(int row, int col) const;
    void setCellNote(int row, int col, const QString& note);

    // Between these the model changes without telling the view; the view
    // re-reads everything at endBatch (one model reset).
    void beginBatch();
    void endBatch();
    bool inBatch() const { return m_batch; }

  private:
    void checkCell(int row, int col) const;
    qint64 cellKey(int row, int col) const { return qint64(row) * m_cols + col; }
    void cellChanged(int row, int col);

    int m_rows = 1;
    int m_cols = 0;
    QList<QString> m_cells; // row-major, m_rows * m_cols
    QList<Qt::Alignment> m_colAlign;
    QHash<qint64, Qt::Alignment> m_cellAlign; // few cells carry their own
    QHash<qint64, QString> m_cellNotes;
    bool m_batch = false;
};

// Left, right or centre alone means vertically centred, as in every grid cell.
Qt::Alignment withVerticalCentre(Qt::Alignment alignment);
