#include "core/screens/listgridmodel.h"

#include "core/apperror.h"

#include <QColor>

namespace {
constexpr Qt::Alignment defaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;
}

Qt::Alignment withVerticalCentre(Qt::Alignment alignment) {
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    return alignment;
}

ListGridModel::ListGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows - 1;
}

int ListGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() + 1 >= m_rows || index.column() >= m_cols)
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_cells.at(cellKey(index.row() + 1, index.column()));
    if (role == Qt::TextAlignmentRole)
        return int(cellAlignment(index.row() + 1, index.column()));
    if (role == Qt::ToolTipRole || role == Qt::ForegroundRole) {
        const auto note = m_cellNotes.constFind(cellKey(index.row() + 1, index.column()));
        if (note == m_cellNotes.cend())
            return QVariant();
        return role == Qt::ToolTipRole ? QVariant(*note) : QVariant(QColor(Qt::red));
    }
    return QVariant();
}

QVariant ListGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_cells.at(cellKey(0, section));
    if (role == Qt::TextAlignmentRole)
        return int(cellAlignment(0, section));
    return QVariant();
}

Qt::ItemFlags ListGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ListGridModel::setGridRows(int rows) {
    rows = qMax(rows, 1);
    if (rows == m_rows)
        return;
    if (rows > m_rows) {
        if (!m_batch)
            beginInsertRows(QModelIndex(), m_rows - 1, rows - 2);
        m_cells.resize(qsizetype(rows) * m_cols);
        m_rows = rows;
        if (!m_batch)
            endInsertRows();
        return;
    }
    if (!m_batch)
        beginRemoveRows(QModelIndex(), rows - 1, m_rows - 2);
    m_cells.resize(qsizetype(rows) * m_cols);
    m_cellNotes.clear(); // a shorter list is a new fill
    const qint64 firstGone = cellKey(rows, 0);
    for (auto it = m_cellAlign.begin(); it != m_cellAlign.end();) {
        if (it.key() >= firstGone)
            it = m_cellAlign.erase(it);
        else
            ++it;
    }
    m_rows = rows;
    if (!m_batch)
        endRemoveRows();
}

void ListGridModel::setGridCols(int cols) {
    cols = qMax(cols, 0);
    if (cols == m_cols)
        return;
    if (!m_batch)
        beginResetModel();
    // Cells keep their (row, column) place; columns past the new count go.
    QList<QString> cells(qsizetype(m_rows) * cols);
    QHash<qint64, Qt::Alignment> cellAlign;
    const int kept = qMin(cols, m_cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < kept; ++c) {
            cells[qsizetype(r) * cols + c] = m_cells.at(cellKey(r, c));
            const auto it = m_cellAlign.constFind(cellKey(r, c));
            if (it != m_cellAlign.constEnd())
                cellAlign.insert(qint64(r) * cols + c, it.value());
        }
    }
    m_cells = std::move(cells);
    m_cellAlign = std::move(cellAlign);
    m_cellNotes.clear();
    m_colAlign.resize(cols, defaultAlignment);
    m_cols = cols;
    if (!m_batch)
        endResetModel();
}

void ListGridModel::clearCells() {
    for (QString& cell : m_cells)
        cell.clear();
    m_cellAlign.clear();
    m_cellNotes.clear();
    if (m_batch || m_cols == 0)
        return;
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (m_rows > 1)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
}

void ListGridModel::checkCell(int row, int col) const {
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw AppError(QStringLiteral("一覧の行または列の指定が範囲外です。（行 %1、列 %2）")
                           .arg(row)
                           .arg(col));
}

void ListGridModel::cellChanged(int row, int col) {
    if (m_batch)
        return;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

QString ListGridModel::text(int row, int col) const {
    checkCell(row, col);
    return m_cells.at(cellKey(row, col));
}

void ListGridModel::setText(int row, int col, const QString& text) {
    checkCell(row, col);
    m_cells[cellKey(row, col)] = text;
    cellChanged(row, col);
}

void ListGridModel::setRowTexts(int row, const QStringList& texts) {
    if (texts.isEmpty())
        return;
    checkCell(row, texts.size() - 1);
    for (int c = 0; c < texts.size(); ++c)
        m_cells[cellKey(row, c)] = texts.at(c);
    if (m_batch)
        return;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, 0, texts.size() - 1);
    else
        emit dataChanged(index(row - 1, 0), index(row - 1, texts.size() - 1));
}

Qt::Alignment ListGridModel::colAlignment(int col) const {
    checkCell(0, col);
    return m_colAlign.at(col);
}

void ListGridModel::setColAlignment(int col, Qt::Alignment alignment) {
    checkCell(0, col);
    m_colAlign[col] = withVerticalCentre(alignment);
    if (!m_batch && m_rows > 1)
        emit dataChanged(index(0, col), index(m_rows - 2, col), {Qt::TextAlignmentRole});
}

void ListGridModel::resetColAlignments() {
    m_colAlign.fill(defaultAlignment);
    if (!m_batch && m_rows > 1 && m_cols > 0)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1), {Qt::TextAlignmentRole});
}

Qt::Alignment ListGridModel::cellAlignment(int row, int col) const {
    checkCell(row, col);
    if (!m_cellAlign.isEmpty()) {
        const auto it = m_cellAlign.constFind(cellKey(row, col));
        if (it != m_cellAlign.constEnd())
            return it.value();
    }
    return row == 0 ? defaultAlignment : m_colAlign.at(col);
}

void ListGridModel::setCellAlignment(int row, int col, Qt::Alignment alignment) {
    checkCell(row, col);
    m_cellAlign.insert(cellKey(row, col), withVerticalCentre(alignment));
    cellChanged(row, col);
}

void ListGridModel::beginBatch() {
    if (m_batch)
        return;
    beginResetModel();
    m_batch = true;
}

void ListGridModel::endBatch() {
    if (!m_batch)
        return;
    m_batch = false;
    endResetModel();
}

QString ListGridModel::cellNote(int row, int col) const {
    checkCell(row, col);
    return m_cellNotes.value(cellKey(row, col));
}

void ListGridModel::setCellNote(int row, int col, const QString& note) {
    checkCell(row, col);
    if (note.isEmpty())
        m_cellNotes.remove(cellKey(row, col));
    else
        m_cellNotes.insert(cellKey(row, col), note);
    cellChanged(row, col);
}
