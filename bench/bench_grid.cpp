// Fills a list grid with 100,000 rows of 13 columns the way the list loaders
// do, then scrolls through it, and prints how long each step took.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_grid [rows]

#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "masters/masterdef.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextStream>
#include <QVBoxLayout>
#include <cstdio>

namespace {

QTextStream out(stdout);

void report(const char* what, qint64 ms) {
    out << QString("%1 %2 ms\n").arg(QString::fromUtf8(what), -48).arg(ms, 8);
    out.flush();
}

// Writes one home-worker row per record, growing the grid past row 14.
void fillRows(ListGrid* grid, int rows) {
    for (int r = 1; r <= rows; ++r) {
        if (r >= 15)
            grid->setRows(r + 1);
        grid->setTextMatrix(r, 0, QString::number(r));
        grid->setTextMatrix(r, 1, QString("W%1").arg(r, 6, 10, QChar('0')));
        grid->setTextMatrix(r, 2, QStringLiteral("内職　太郎"));
        grid->setTextMatrix(r, 3, QStringLiteral("1960/04/01"));
        grid->setTextMatrix(r, 4, QStringLiteral("123-4567"));
        grid->setTextMatrix(r, 5, QStringLiteral("東京都千代田区千代田1-1"));
        grid->setTextMatrix(r, 6, QStringLiteral("03-1234-5678"));
        grid->setTextMatrix(r, 7, QStringLiteral("090-1234-5678"));
        grid->setTextMatrix(r, 8, QStringLiteral("03-1234-5679"));
        grid->setTextMatrix(r, 9, QStringLiteral("taro@example.jp"));
        grid->setTextMatrix(r, 10, QStringLiteral("A"));
        grid->setTextMatrix(r, 11, QStringLiteral("備考"));
        grid->setTextMatrix(r, 12, r % 10 == 0 ? QStringLiteral("削除") : QString());
    }
    for (int c = 1; c <= 11; ++c)
        grid->setColAlignment(c, Qt::AlignLeft);
    grid->setColAlignment(12, Qt::AlignHCenter);
}

qint64 timeFill(ListGrid* grid, int rows, bool batched) {
    GridLayout(grid, personMaster().list);
    QElapsedTimer timer;
    timer.start();
    grid->setVisible(false);
    if (batched)
        grid->beginFill();
    fillRows(grid, rows);
    if (batched)
        grid->endFill();
    grid->setVisible(true);
    QApplication::processEvents();
    return timer.elapsed();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString(argv[1]).toInt() : 100000;

    QWidget form;
    auto* grid = new ListGrid(&form);
    grid->setObjectName("grd1");
    (new QVBoxLayout(&form))->addWidget(grid);
    form.resize(1000, 600);
    form.show();
    QApplication::processEvents();

    out << rows << " rows x 13 columns, platform " << QApplication::platformName() << "\n";
    report("fill, batched (beginFill/endFill)", timeFill(grid, rows, true));
    report("fill, row by row into the hidden grid", timeFill(grid, rows, false));
    if (grid->rows() != rows + 1 || grid->textMatrix(rows, 1).isEmpty()) {
        std::fprintf(stderr, "fill went wrong: %d rows\n", grid->rows());
        return 1;
    }

    QElapsedTimer timer;
    QScrollBar* bar = grid->verticalScrollBar();
    const int steps = 2000;
    timer.start();
    for (int i = 0; i <= steps; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / steps));
        grid->viewport()->repaint();
    }
    report("scroll top to bottom, 2,001 repaints", timer.elapsed());

    timer.restart();
    grid->selectRow(1);
    for (int i = 0; i < 500; ++i) {
        grid->selectRow(1 + (rows - 1) * i / 499);
        grid->viewport()->repaint();
    }
    report("select 500 rows across the list, repainting", timer.elapsed());

    timer.restart();
    GridLayout(form.findChild<ListGrid*>(), personMaster().list);
    QApplication::processEvents();
    report("relayout back to 15 rows", timer.elapsed());
    return 0;
}
