#include "prices/screens/pricelookupform.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"
#include "masters/lookup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

namespace {

template <typename T> T* control(QWidget* form, const char* name) {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        throw AppError(QStringLiteral("画面に %1 がありません。").arg(QLatin1String(name)));
    return w;
}

QString comboCode(QWidget* form, const char* name, const Lookup::Source& source) {
    return Lookup::key(source, control<QComboBox>(form, name)->currentText());
}

} // namespace

PriceLookupResult PriceLookup(QWidget* form) {
    const QDate date = parseBoxDate(rtrim(control<QLineEdit>(form, "txtDay_0")->text()));
    return lookupPrice(date, comboCode(form, "cboPno", Lookup::drawingNumbers()),
                       comboCode(form, "cboWNo", Lookup::workCodes()),
                       comboCode(form, "cboPerson", Lookup::homeWorkers()));
}
