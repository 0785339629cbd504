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

LookupResult lookUp(QComboBox* combo, const Lookup::Source& source) {
    const std::optional<QString> item = Lookup::find(source, combo->currentText());
    if (!item)
        return LookupResult::NotFound;
    if (combo->isEditable()) {
        combo->setEditText(*item);
    } else {
        combo->setCurrentIndex(combo->findText(*item));
    }
    return LookupResult::Found;
}

LookupResult run(QComboBox* combo, const Lookup::Source& source, LookupMode mode) {
    if (!combo) {
        MessageBox::error(nullptr, QStringLiteral("コード一覧のコンボボックスがありません。"));
        return LookupResult::Failed;
    }
    try {
        if (mode == LookupMode::Find)
            return lookUp(combo, source);
        fill(combo, source);
        return LookupResult::Found;
    } catch (const AppError& e) {
        MessageBox::error(combo->window(), e.text());
        return LookupResult::Failed;
    }
}

} // namespace

LookupResult LookupPno(QComboBox* combo, LookupMode mode) {
    return run(combo, Lookup::drawingNumbers(), mode);
}

LookupResult LookupWorkCode(QComboBox* combo, LookupMode mode) {
    return run(combo, Lookup::workCodes(), mode);
}

LookupResult LookupPerson(QComboBox* combo, LookupMode mode) {
    return run(combo, Lookup::homeWorkers(), mode);
}

std::function<bool()> codeComboCheck(QWidget* form, QComboBox* box, CodeLookup lookup,
                                     const QString& notFound, bool required) {
    return [=] {
        if (box->currentText().trimmed().isEmpty()) {
            if (required)
                MessageBox::show(form, ConventionText::Required);
            return !required;
        }
        const LookupResult result = lookup(box, LookupMode::Find);
        if (result == LookupResult::NotFound)
            MessageBox::show(form, notFound);
        return result == LookupResult::Found;
    };
}
