#include "slips/screens/printslips.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "core/screens/waitcursor.h"
#include "homework/paymentterms.h"
#include "prices/pricelookup.h"
#include "slips/screens/frmdenpyo.h"
#include "slips/slipprintdata.h"

#include <QPageLayout>
#include <QPageSize>
#include <optional>

namespace {

// The copies show the same data; these are the boxes filled per slip.
const char* const kFilled[] = {"lblDet0", "lblDay0", "lblPerson", "lblPno",    "lblWno",
                               "lblDet1", "lblMon0", "lblMon1",   "lblMon2",   "lblMon3",
                               "lblDet2", "lblDet3", "lblDay1",   "lblFuryou", "lblSyain"};

} // namespace

void fillDenpyo(frmDenpyo& form, const SlipPrintData& slip, const SlipMargins& margins,
                const PaymentTerms* handbook) {
    const auto set = [&form](const char* control, const QString& text) {
        form.setCaption(QString::fromUtf8(control) + QStringLiteral("_0"), text);
    };
    set("lblDet0", slip.slipNo);
    set("lblDay0", slip.requestDate);
    set("lblPerson", slip.personName);
    set("lblPno", slip.drawing);
    set("lblWno", slip.work);
    set("lblDet1", slip.workKind);
    set("lblMon0", slip.issuedQuantity);
    set("lblDet2", slip.lotNo);
    set("lblDet3", slip.remark);
    set("lblMon3", slip.deliveredQuantity);
    set("lblDay1", slip.deliveryDate);
    // Prices are not printed; the defect count is written in by hand.
    set("lblMon1", QString());
    set("lblMon2", QString());
    set("lblFuryou", QString());
    set("lblSyain", slip.employeeName);
    for (const char* control : kFilled) {
        const QString name = QString::fromUtf8(control);
        form.setCaption(name + QStringLiteral("_1"), form.caption(name + QStringLiteral("_0")));
    }
    if (handbook) {
        // The total's box carries the payment due date on this copy.
        form.setCaption(QStringLiteral("lblMon1_0"), priceListText(slip.price));
        form.setCaption(QStringLiteral("Label11_0"), QStringLiteral("支払"));
        form.setCaption(QStringLiteral("lblMon2_0"),
                        formatDate(handbook->slipPaymentDue(slip.requestedOn, slip.deliveredOn)));
        form.setCaption(QStringLiteral("lblDue"),
                        formatDate(handbook->deliveryDue(slip.requestedOn)));
        form.setCaption(QStringLiteral("lblTerms"),
                        QStringLiteral("支払条件：%1　納期：依頼日から%2日")
                            .arg(handbook->describe())
                            .arg(handbook->deliveryDays));
        for (const char* control : {"Label18", "lblDue", "lblTerms"})
            form.setVisible(QString::fromUtf8(control), true);
    }
    form.setBarcode(0, form.caption(QStringLiteral("lblDet0_0")));
    form.setBarcode(1, form.barcode(0));
    form.moveFrames(margins.top, margins.left1, margins.left2);
}

int PrintSlips(QWidget* parent, const QString& key) {
    const QPageLayout layout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF());
    std::optional<PrintRun> run;
    int printed = 0;
    QString error;
    {
        const WaitCursor wait;
        try {
            const SlipMargins margins = readSlipMargins();
            const PaymentTerms terms = PaymentTerms::read();
            const QList<SlipPrintData> slips = loadSlipsToPrint(key);
            if (!slips.isEmpty())
                run.emplace();
            for (const SlipPrintData& slip : slips) {
                frmDenpyo form;
                fillDenpyo(form, slip, margins, terms.handbookSlip ? &terms : nullptr);
                PrintDocument document(*run, slip.slipNo, layout);
                scaleToTwips(document.painter());
                form.paint(document.painter());
                document.finish();
                ++printed;
            }
        } catch (const AppError& e) {
            error = e.text();
        }
    }
    if (!error.isEmpty())
        MessageBox::error(parent, error);
    if (run)
        run->tellUser(parent);
    return printed;
}
