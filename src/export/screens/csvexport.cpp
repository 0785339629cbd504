#include "export/screens/csvexport.h"

#include "core/clock.h"
#include "core/screens/filedialogs.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"
#include "export/listtable.h"

#include <QDir>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>

namespace {

CsvFileChooser g_chooser;

QString chooseFile(QWidget* parent, const QString& suggested) {
    if (g_chooser)
        return g_chooser(parent, suggested);
    return chooseSaveFile(parent, QStringLiteral("CSV出力"), suggested,
                          QStringLiteral("CSV ファイル (*.csv)"));
}

ListTable tableOf(const ListGrid* grid, int kind) {
    ListTable t;
    for (int c = 0; c < grid->cols(); ++c) {
        t.headings << grid->textMatrix(0, c);
        t.shown << (grid->colWidthTwips(c) > 0 && exportedColumn(kind, c));
    }
    for (int r = 1; r < grid->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->cols(); ++c)
            row << grid->textMatrix(r, c);
        t.rows << row;
    }
    return t;
}

} // namespace

void setCsvFileChooser(CsvFileChooser chooser) {
    g_chooser = std::move(chooser);
}

void exportListCsv(QWidget* parent, const ListGrid* grid, int kind) {
    const QString suggested = QDir::current().absoluteFilePath(
        QStringLiteral("%1-%2.csv")
            .arg(listExportName(kind), Clock::today().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = chooseFile(parent, suggested);
    if (path.isEmpty())
        return;
    {
        const WaitCursor busy;
        const QByteArray bytes = listCsv(tableOf(grid, kind), configuredCsvEncoding());
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return;
    }
    MessageBox::error(parent, QStringLiteral("CSVファイルを書き込めません。フォルダと書き込みの"
                                             "権限、ディスクの空きを確かめて下さい。\n%1")
                                  .arg(path));
}

QPushButton* addCsvExport(QWidget* screen, ListGrid* grid, int kind) {
    auto* button = new QPushButton(QStringLiteral("CSV出力"), screen);
    button->setObjectName(QStringLiteral("cmdCsv"));
    button->setAutoDefault(false);
    auto run = [screen, grid, kind] { exportListCsv(screen, grid, kind); };
    QObject::connect(button, &QPushButton::clicked, screen, run);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), screen);
    QObject::connect(shortcut, &QShortcut::activated, screen, run);
    return button;
}
