#include "screentour.h"

#include "core/screens/listgrid.h"
#include "core/screens/onscreen.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStyleOptionHeader>
#include <QtMath>

namespace {

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// A plain frame or a group box drawn behind other controls groups them; it
// overlaps nothing it wholly holds.
bool isBackdrop(const QWidget* w) {
    return qobject_cast<const QGroupBox*>(w) ||
           QString::fromLatin1(w->metaObject()->className()) == QLatin1String("QFrame");
}

QList<const QWidget*> shownChildren(const QWidget* parent) {
    QList<const QWidget*> children;
    for (const QObject* o : parent->children())
        if (const auto* w = qobject_cast<const QWidget*>(o);
            w && !w->isWindow() && w->isVisible() && !w->geometry().isEmpty())
            children << w;
    return children;
}

void overlaps(const QWidget* parent, const QString& window, QStringList& faults) {
    const QList<const QWidget*> children = shownChildren(parent);
    for (const QWidget* child : children)
        if (!parent->rect().contains(child->geometry()))
            faults << QStringLiteral("%1: %2 reaches out of %3")
                          .arg(window, nameOf(child), nameOf(parent));
    for (qsizetype i = 0; i < children.size(); ++i)
        for (qsizetype j = i + 1; j < children.size(); ++j) {
            const QRect a = children[i]->geometry();
            const QRect b = children[j]->geometry();
            if (!a.intersects(b))
                continue;
            if ((isBackdrop(children[i]) && a.contains(b)) ||
                (isBackdrop(children[j]) && b.contains(a)))
                continue;
            faults << QStringLiteral("%1: %2 overlaps %3")
                          .arg(window, nameOf(children[i]), nameOf(children[j]));
        }
}

void labelFits(const QLabel* label, const QString& window, QStringList& faults) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText || !label->pixmap().isNull())
        return;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    const QFontMetrics metrics(label->font());
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect needed = metrics.boundingRect(
        QRect(0, 0, label->wordWrap() ? room.width() : 100000, 100000),
        flags & ~int(Qt::AlignVertical_Mask | Qt::AlignHorizontal_Mask), label->text());
    if (needed.width() > room.width() || needed.height() > room.height())
        faults << QStringLiteral("%1: %2 「%3」 needs %4×%5, has %6×%7")
                      .arg(window, nameOf(label), label->text().simplified())
                      .arg(needed.width())
                      .arg(needed.height())
                      .arg(room.width())
                      .arg(room.height());
}

// The room a list gives a value, as the view paints it: a cell loses the
// grid line on its right and the item's margin on either side (the style's
// focus-frame margin and one pixel), and ends a wider text with "…"; a
// heading loses the header's margin on either side, and clips a wider one.
int cellRoom(const ListGrid* grid, int col) {
    const int textMargin =
        grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->columnWidth(col) - (grid->showGrid() ? 1 : 0) - 2 * textMargin;
}

int headingRoom(const QHeaderView* header, int col) {
    QStyleOptionHeader option;
    option.initFrom(header);
    option.rect = QRect(0, 0, header->sectionSize(col), header->height());
    option.section = col;
    return header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width();
}

// Every shown cell of a list, headings included, against its column.
void cellsFit(const ListGrid* grid, const QString& window, QStringList& faults) {
    const QHeaderView* header = grid->horizontalHeader();
    const QFontMetricsF cellMetrics(grid->font());
    const QFontMetricsF headingMetrics(header->font());
    for (int c = 0; c < grid->cols(); ++c) {
        if (grid->isColumnHidden(c) || grid->columnWidth(c) <= 0)
            continue;
        for (int r = 0; r < grid->rows(); ++r) {
            const QString text = grid->textMatrix(r, c);
            const int room = r == 0 ? headingRoom(header, c) : cellRoom(grid, c);
            const qreal needed = (r == 0 ? headingMetrics : cellMetrics).horizontalAdvance(text);
            if (needed > room)
                faults << QStringLiteral("%1: %2 column %3 「%4」 cuts 「%5」 (%6 pixels of %7)")
                              .arg(window, nameOf(grid))
                              .arg(c)
                              .arg(grid->textMatrix(0, c), text)
                              .arg(room)
                              .arg(qCeil(needed));
        }
    }
}

void walk(const QWidget* parent, const QString& window, QStringList& faults) {
    overlaps(parent, window, faults);
    for (const QWidget* child : shownChildren(parent)) {
        if (const auto* label = qobject_cast<const QLabel*>(child))
            labelFits(label, window, faults);
        if (const auto* grid = qobject_cast<const ListGrid*>(child)) {
            cellsFit(grid, window, faults);
            continue; // the grid's own parts are Qt's
        }
        if (qobject_cast<const QScrollArea*>(child) || qobject_cast<const QAbstractButton*>(child))
            continue;
        walk(child, window, faults);
    }
}

} // namespace

QStringList layoutFaults(const QWidget* window) {
    QStringList faults;
    // A platform without a window manager frames thinly: the frame a
    // desktop would add is the least a window must leave room for.
    const QMargins frame = windowFrame(window);
    const QSize framed = window->size().grownBy(QMargins(
        qMax(frame.left(), kUsualWindowFrame.left()), qMax(frame.top(), kUsualWindowFrame.top()),
        qMax(frame.right(), kUsualWindowFrame.right()),
        qMax(frame.bottom(), kUsualWindowFrame.bottom())));
    if (framed.width() > kSmallestDisplay.width() || framed.height() > kSmallestDisplay.height())
        faults << QStringLiteral("%1: the window needs %2×%3 with its frame, the display has %4×%5")
                      .arg(nameOf(window))
                      .arg(framed.width())
                      .arg(framed.height())
                      .arg(kSmallestDisplay.width())
                      .arg(kSmallestDisplay.height());
    walk(window, nameOf(window), faults);
    return faults;
}
