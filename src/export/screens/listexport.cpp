#include "export/screens/listexport.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/filedialogs.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"
#include "export/listtable.h"
#include "export/listworkbook.h"

#include <QDir>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>

namespace {

ExportFileChooser g_chooser;

QString chooseFile(QWidget* parent, const QString& suggested) {
    if (g_chooser)
        return g_chooser(parent, suggested);
    return chooseSaveFile(parent, QStringLiteral("一覧の出力"), suggested,
                          QStringLiteral("Excel ブック (*.xlsx);;CSV ファイル (*.csv)"));
}

ListTable tableOf(const ListGrid* grid, const ListDefinition& list) {
    ListTable t = ListTable::of(list);
    t.headings.clear();
    t.shown.clear();
    for (int c = 0; c < grid->cols(); ++c) {
        t.headings << grid->textMatrix(0, c);
        t.shown << (grid->colWidthTwips(c) > 0 && list.exported(c));
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

void setExportFileChooser(ExportFileChooser chooser) {
    g_chooser = std::move(chooser);
}

void exportList(QWidget* parent, const ListGrid* grid, const ListDefinition& list) {
    const QString suggested = QDir::current().absoluteFilePath(
        QStringLiteral("%1-%2.xlsx")
            .arg(QString::fromUtf16(list.name),
                 Clock::today().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = chooseFile(parent, suggested);
    if (path.isEmpty())
        return;
    ListFile out;
    try {
        const WaitCursor busy;
        const ListTable table = tableOf(grid, list);
        if (listFormatOf(path, ListFormat::Excel) == ListFormat::Csv)
            out = listCsv(table, configuredCsvSettings());
        else
            out.bytes = listWorkbook(table);
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
        return;
    }
    {
        const WaitCursor busy;
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(out.bytes) != out.bytes.size() ||
            !file.commit())
            out.bytes.clear();
    }
    if (out.bytes.isEmpty())
        MessageBox::error(parent, QStringLiteral("ファイルを書き込めません。フォルダと書き込みの"
                                                 "権限、ディスクの空きを確かめて下さい。\n%1")
                                      .arg(path));
    else if (!out.replaced.isEmpty())
        MessageBox::show(parent, out.replaced, MessageBox::Buttons::Ok,
                         MessageBox::Icon::Exclamation);
}

QPushButton* addListExport(QWidget* screen, ListGrid* grid, const ListDefinition& list) {
    auto* button = new QPushButton(QStringLiteral("Excel出力"), screen);
    button->setObjectName(QStringLiteral("cmdExport"));
    button->setAutoDefault(false);
    // Every list's definition lives as long as the program.
    auto run = [screen, grid, &list] { exportList(screen, grid, list); };
    QObject::connect(button, &QPushButton::clicked, screen, run);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), screen);
    QObject::connect(shortcut, &QShortcut::activated, screen, run);
    return button;
}
