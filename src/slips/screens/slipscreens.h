#pragma once

class QWidget;
struct SlipSearch;

// The menu's doors to the production slips; each screen opens modally over
// parent and returns when it is closed.
void openSlipSearch(QWidget* parent); // 内職製品伝票登録 (frmProduct)
// The slip search opened on a selection of its own (the menu's warning).
void openSlipSearch(QWidget* parent, const SlipSearch& opening);
void openDeliveryRegistration(QWidget* parent); // 内職製品納入登録 (frmDenNouhin)
