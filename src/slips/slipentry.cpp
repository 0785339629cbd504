#include "slips/slipentry.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/money.h"
#include "prices/pricelookup.h"

namespace {

bool blank(const QString& text) {
    return trimBlanks(text).isEmpty();
}

} // namespace

SlipField CheckRequired(const SlipInput& in) {
    if (blank(in.pno))
        return SlipField::Pno;
    if (blank(in.wno))
        return SlipField::WNo;
    if (blank(in.person))
        return SlipField::Person;
    if (blank(in.requestDate))
        return SlipField::RequestDate;
    return SlipField::None;
}

bool settlementDateChanged(const SlipStatus& loaded, const QString& boxText) {
    return trimBlanks(boxText) != loaded.settlementDate;
}

bool deletionChanged(const SlipStatus& loaded, bool checked) {
    return checked != loaded.deleted;
}

bool statusChanged(const SlipStatus& loaded, const SlipInput& in) {
    return settlementDateChanged(loaded, in.settlementDate) || deletionChanged(loaded, in.deleted);
}

bool keepsStoredPrice(const SlipInput& in, const SlipRecord* loaded) {
    if (!loaded || !loaded->settled())
        return false;
    // A changed date to another day still leaves the slip settled.
    return !settlementDateChanged(loaded->status(), in.settlementDate) || !blank(in.settlementDate);
}

bool paidFieldsChanged(const SlipInput& in, const SlipRecord& loaded, bool paid) {
    if (!paid)
        return false;
    const SlipInput was = loaded.input();
    return in.pno != was.pno || in.wno != was.wno || in.person != was.person ||
           trimBlanks(in.requestDate) != was.requestDate ||
           parseQuantity(in.delivered) != parseQuantity(was.delivered) ||
           statusChanged(loaded.status(), in);
}

QString slipTotalText(const QString& quantityText, const QString& priceText) {
    return formatNumber(shownAmountOf(UnitPrice::parse(priceText), parseQuantity(quantityText)),
                        NumberPattern::SlipAmount);
}

SlipPriceView slipPriceView(const SlipInput& in, const SlipRecord* loaded) {
    if (keepsStoredPrice(in, loaded)) {
        const QString price = priceListText(loaded->storedPrice);
        return {true, price, slipTotalText(in.issued, price)};
    }
    SlipPriceView view{false, priceListText(UnitPrice()), QStringLiteral("0")};
    if (blank(in.requestDate))
        return view;
    const QDate date = parseBoxDate(in.requestDate);
    if (!date.isValid())
        throw AppError(ConventionText::BadDate);
    const PriceLookupResult r = lookupPrice(date, in.pno, in.wno, in.person);
    if (r.found)
        view = {true, r.text(), slipTotalText(in.issued, r.text())};
    return view;
}

SlipQuestion slipSaveQuestion(const SlipInput& in, const SlipRecord* loaded) {
    if (!slipPriceView(in, loaded).found)
        return SlipQuestion::RegisterPrice;
    if (!loaded)
        return SlipQuestion::Add;
    return statusChanged(loaded->status(), in) ? SlipQuestion::StatusChange : SlipQuestion::Update;
}
