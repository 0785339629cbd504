#pragma once

class QWidget;

// The menu's doors to the production slips; each screen opens modally over
// parent and returns when it is closed.
void openSlipSearch(QWidget* parent);           // 内職製品伝票登録 (frmProduct)
void openDeliveryRegistration(QWidget* parent); // 内職製品納入登録 (frmDenNouhin)
