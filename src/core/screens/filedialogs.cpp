#include "core/screens/filedialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QRegularExpression>
#include <QSplitter>
#include <QTreeView>

namespace {

// Columns of QFileSystemModel.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

// The file model's kind and date columns as a Japanese clerk reads them,
// whatever the system locale says.
class JapaneseFileColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kDateColumn)
            return files->lastModified(source).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
        // The model speaks the system locale's units ("bytes" under C).
        if (index.column() == kSizeColumn && !files->isDir(source))
            return QLocale(QLocale::Japanese, QLocale::Japan)
                .formattedDataSize(files->size(source));
        if (index.column() == kTypeColumn) {
            if (files->isDir(source))
                return QStringLiteral("フォルダー");
            const QString suffix = files->fileInfo(source).suffix();
            return suffix.isEmpty() ? QStringLiteral("ファイル")
                                    : suffix.toUpper() + QStringLiteral(" ファイル");
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// "xlsx" of "Excel ブック (*.xlsx)"; "" for a kind without one extension.
QString suffixOf(const QString& nameFilter) {
    static const QRegularExpression single(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
    return single.match(nameFilter).captured(1);
}

QString run(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new JapaneseFileColumns(&dialog));
    dialog.resize(760, 480);
    // The places on the left are named whole (「コンピューター」).
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({130, 630});
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column <= kDateColumn; ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter) {
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    // Choosing another kind of file changes the name's extension with it.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& kind) {
        const QString suffix = suffixOf(kind);
        dialog.setDefaultSuffix(suffix);
        const QFileInfo typed(dialog.selectedFiles().value(0, suggested));
        if (!suffix.isEmpty())
            dialog.selectFile(typed.completeBaseName() + QLatin1Char('.') + suffix);
    });
    const QString path = run(dialog);
    // A name of no kind offered gets the extension of the kind chosen.
    const QString suffix = suffixOf(dialog.selectedNameFilter());
    for (const QString& kind : dialog.nameFilters())
        if (!suffixOf(kind).isEmpty() &&
            path.endsWith(QLatin1Char('.') + suffixOf(kind), Qt::CaseInsensitive))
            return path;
    return path.isEmpty() || suffix.isEmpty() ? path : path + QLatin1Char('.') + suffix;
}

QString chooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    QFileDialog dialog(parent, title, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return run(dialog);
}
