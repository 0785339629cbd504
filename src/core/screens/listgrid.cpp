#include "core/screens/listgrid.h"

#include "core/apperror.h"
#include "core/screens/fields.h"
#include "core/screens/listgridmodel.h"

#include <QFocusEvent>
#include <QHeaderView>

namespace {
constexpr int defaultRowHeightTwips = 400;
constexpr int defaultColWidthTwips = 1200;
} // namespace

ListGrid::ListGrid(QWidget* parent) : QTableView(parent), m_model(new ListGridModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);

    QFont gridFont = font();
    gridFont.setFamily(QStringLiteral("ＭＳ Ｐゴシック"));
    setFont(gridFont);

    // The selected row stays visible while another control has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    setRowHeightTwips(defaultRowHeightTwips);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { currentRowMoved(current); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row() + 1); });
}

int ListGrid::rows() const {
    return m_model->gridRows();
}

void ListGrid::setRows(int rows) {
    m_model->setGridRows(rows);
}

int ListGrid::cols() const {
    return m_model->gridCols();
}

void ListGrid::setCols(int cols) {
    // A new column count resets the model; the fill keeps the current row.
    beginFill();
    m_model->setGridCols(cols);
    m_colTwips.resize(m_model->gridCols(), defaultColWidthTwips);
    endFill();
}

void ListGrid::clear() {
    m_model->clearCells();
}

QString ListGrid::textMatrix(int row, int col) const {
    return m_model->text(row, col);
}

void ListGrid::setTextMatrix(int row, int col, const QString& text) {
    m_model->setText(row, col, text);
}

void ListGrid::setRowTexts(int row, const QStringList& texts) {
    m_model->setRowTexts(row, texts);
}

void ListGrid::setColWidthTwips(int col, int twips) {
    if (col < 0 || col >= cols())
        throw AppError(QStringLiteral("一覧の列の指定が範囲外です。（列 %1）").arg(col));
    m_colTwips[col] = qMax(twips, 0);
    if (m_fillDepth == 0)
        applyColumnWidths();
}

int ListGrid::colWidthTwips(int col) const {
    if (col < 0 || col >= cols())
        throw AppError(QStringLiteral("一覧の列の指定が範囲外です。（列 %1）").arg(col));
    return m_colTwips.at(col);
}

void ListGrid::applyColumnWidths() {
    for (int c = 0; c < m_colTwips.size(); ++c) {
        const int twips = m_colTwips.at(c);
        setColumnHidden(c, twips == 0);
        if (twips > 0)
            setColumnWidth(c, qMax(1, twipsToPixels(twips)));
    }
}

void ListGrid::setRowHeightTwips(int twips) {
    m_rowTwips = qMax(twips, 15);
    const int pixels = twipsToPixels(m_rowTwips);
    verticalHeader()->setDefaultSectionSize(pixels);
    horizontalHeader()->setFixedHeight(pixels);
}

int ListGrid::rowHeightTwips(int row) const {
    if (row < 0 || row >= rows())
        throw AppError(QStringLiteral("一覧の行の指定が範囲外です。（行 %1）").arg(row));
    return m_rowTwips;
}

void ListGrid::setColAlignment(int col, Qt::Alignment alignment) {
    m_model->setColAlignment(col, alignment);
}

Qt::Alignment ListGrid::colAlignment(int col) const {
    return m_model->colAlignment(col);
}

void ListGrid::resetColAlignments() {
    m_model->resetColAlignments();
}

void ListGrid::setCellAlignment(int row, int col, Qt::Alignment alignment) {
    m_model->setCellAlignment(row, col, alignment);
}

Qt::Alignment ListGrid::cellAlignment(int row, int col) const {
    return m_model->cellAlignment(row, col);
}

void ListGrid::setCellNote(int row, int col, const QString& note) {
    m_model->setCellNote(row, col, note);
}

QString ListGrid::cellNote(int row, int col) const {
    return m_model->cellNote(row, col);
}

int ListGrid::row() const {
    return m_lastRow;
}

void ListGrid::selectRow(int row) {
    if (row < 1 || row >= rows())
        throw AppError(QStringLiteral("一覧の行の指定が範囲外です。（行 %1）").arg(row));
    if (m_fillDepth > 0) {
        // Applied at endFill, when the view sees the rows again.
        if (row != m_lastRow) {
            m_lastRow = row;
            emit rowChanged(row);
        }
        return;
    }
    const QModelIndex index = m_model->index(row - 1, firstVisibleColumn());
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

// The grid lists records, not cells: Home and End (with or without Ctrl) go
// to the first and last record and keep the columns where they are, so the
// key columns on the left stay in view.
QModelIndex ListGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action == MoveHome || action == MoveEnd) && m_model->rowCount() > 0) {
        const int column =
            currentIndex().isValid() ? currentIndex().column() : firstVisibleColumn();
        return m_model->index(action == MoveHome ? 0 : m_model->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

int ListGrid::firstVisibleColumn() const {
    for (int c = 0; c < cols(); ++c) {
        if (!isColumnHidden(c))
            return c;
    }
    return 0;
}

void ListGrid::currentRowMoved(const QModelIndex& current) {
    if (m_quietMove)
        return;
    const int row = current.isValid() ? current.row() + 1 : 0;
    if (row == m_lastRow)
        return;
    m_lastRow = row;
    emit rowChanged(row);
}

void ListGrid::setCurrentRowQuietly(int row) {
    m_quietMove = true;
    if (row >= 1 && row < rows()) {
        const QModelIndex index = m_model->index(row - 1, firstVisibleColumn());
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_quietMove = false;
}

void ListGrid::beginFill() {
    if (m_fillDepth++ == 0)
        m_model->beginBatch();
}

void ListGrid::endFill() {
    if (m_fillDepth == 0 || --m_fillDepth > 0)
        return;
    m_model->endBatch();
    applyColumnWidths();
    // The reset forgot the current row; put it back where the grid had it.
    int row = qMin(m_lastRow, rows() - 1);
    setCurrentRowQuietly(row);
    if (row != m_lastRow) {
        m_lastRow = row;
        emit rowChanged(row);
    }
}

void ListGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit focusGained();
}

void ListGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    emit focusLost();
}

// Typed letters never move the selection: a scanner or a stray key must not
// pick another record.
void ListGrid::keyboardSearch(const QString&) {}
