#include "masters/screens/lookups.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/screens/messagebox.h"
#include "masters/lookup.h"

#include <QComboBox>
#include <QFont>
#include <QStringListModel>
#include <QWidget>

namespace {

QFont listFont() {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPointSize(12);
    return font;
}

// The items live in a plain string list: tens of thousands of home-workers
// would each cost an item object of the combo box's own model.
QStringListModel* listModel(QComboBox* combo) {
    if (auto* model = qobject_cast<QStringListModel*>(combo->model()))
        return model;
    QStringList existing;
    for (int i = 0; i < combo->count(); ++i)
        existing << combo->itemText(i);
    auto* model = new QStringListModel(existing, combo);
    combo->setModel(model);
    return model;
}

void fill(QComboBox* combo, const Lookup::Source& source) {
    const QStringList items = Lookup::items(source); // read fully before touching the box
    combo->setFont(listFont());
    // Measuring every item for the box's width would cost more than the fill.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // A fill appends and leaves the text in the box as it was.
    const QString text = combo->currentText();
    QStringListModel* model = listModel(combo);
    model->setStringList(model->stringList() + items);
    combo->setCurrentIndex(text.isEmpty() ? -1 : combo->findText(text));
    if (combo->isEditable())
        combo->setEditText(text);
}

int lookUp(QComboBox* combo, const Lookup::Source& source) {
    const std::optional<QString> item = Lookup::find(source, combo->currentText());
    if (!item)
        return LookupNotFound;
    if (combo->isEditable()) {
        combo->setEditText(*item);
    } else {
        combo->setCurrentIndex(combo->findText(*item));
    }
    return LookupFound;
}

int run(QWidget* form, const QString& comboName, const Lookup::Source& source, bool lookUpMode) {
    QComboBox* combo = form ? form->findChild<QComboBox*>(comboName) : nullptr;
    if (!combo) {
        MessageBox::error(form, QStringLiteral("コンボボックス %1 がありません。").arg(comboName));
        return LookupFailed;
    }
    try {
        if (lookUpMode)
            return lookUp(combo, source);
        fill(combo, source);
        return LookupFound;
    } catch (const AppError& e) {
        MessageBox::error(form, e.text());
        return LookupFailed;
    }
}

int badMode(QWidget* form, int mode) {
    MessageBox::error(form,
                      QStringLiteral("コード一覧の呼び出し方が誤っています（%1）。").arg(mode));
    return LookupFailed;
}

} // namespace

int LookupPno(QWidget* form, int mode) {
    if (mode != 1 && mode != 2)
        return badMode(form, mode);
    return run(form, QStringLiteral("cboPno"), Lookup::drawingNumbers(), mode == 2);
}

int LookupWorkCode(QWidget* form, int mode) {
    if (mode != 1 && mode != 2)
        return badMode(form, mode);
    return run(form, QStringLiteral("cboWNo"), Lookup::workCodes(), mode == 2);
}

int LookupPerson(QWidget* form, int mode, int index) {
    if (mode < 1 || mode > 4)
        return badMode(form, mode);
    const QString name =
        mode <= 2 ? QStringLiteral("cboPerson") : QStringLiteral("cboPerson_%1").arg(index);
    return run(form, name, Lookup::homeWorkers(), mode == 2 || mode == 4);
}

std::function<bool()> codeComboCheck(QWidget* form, QComboBox* box, std::function<int()> lookup,
                                     const QString& notFound, bool required) {
    return [=] {
        if (box->currentText().trimmed().isEmpty()) {
            if (required)
                MessageBox::show(form, ConventionText::Required);
            return !required;
        }
        const int result = lookup();
        if (result == LookupNotFound)
            MessageBox::show(form, notFound);
        return result == LookupFound;
    };
}
