// The four print buttons of the settlement screen: each asks, prepares the
// run shown in txtDatetime under the busy pointer, and then says that
// nothing exists or hands the data to its report.
#include "core/apperror.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"
#include "settlement/screens/frmaccount.h"
#include "settlement/screens/settlementprinting.h"
#include "settlement/settlementlist.h"
#include "transfer/screens/frmtransfer.h"
#include "ui_frmaccount.h"

#include <QScopeGuard>

namespace {

struct PrintTexts {
    QString question;
    QString nothing;
};

// Runs the preparation under the busy pointer; a database error is shown
// once the pointer is back, and gives nothing.
template <typename T>
std::optional<T> prepared(QWidget* owner, std::optional<T> (*prepare)(const QString&),
                          const QString& runText, bool& failed) {
    QString error;
    std::optional<T> data;
    {
        const WaitCursor wait;
        try {
            data = prepare(runText);
        } catch (const AppError& e) {
            error = e.text();
        }
    }
    failed = !error.isEmpty();
    if (failed)
        MessageBox::error(owner, error);
    return data;
}

} // namespace

void frmAccount::printClicked(Report report) {
    if (refuseWhileRunning())
        return;
    static const PrintTexts texts[] = {
        {QStringLiteral("製品加工高精算表を発行しますか？"),
         QStringLiteral("指定日時の精算表は存在しません。")},
        {QStringLiteral("金種表を発行しますか？"),
         QStringLiteral("指定日時の金種表は存在しません。")},
        {QStringLiteral("製品図番別精算金額一覧表を発行しますか？"),
         QStringLiteral("指定日時の一覧表は存在しません。")},
        {QStringLiteral("製品加工高精算表と金種表を発行しますか？"),
         QStringLiteral("指定日時の精算表と金種表は存在しません。")},
    };
    const PrintTexts& text = texts[int(report)];
    if (MessageBox::show(this, text.question, MessageBox::Buttons::OkCancel) !=
        MessageBox::Answer::Ok)
        return;
    const QString runText = ui->txtDatetime->text();
    bool failed = false;
    // Back from a preview the list has the keyboard, on every window system.
    const auto refocus = qScopeGuard([this] { ui->grd1->setFocus(); });
    const auto nothing = [this, &text, &failed] {
        if (!failed)
            MessageBox::show(this, text.nothing);
    };
    switch (report) {
    case Report::Statement:
        if (const auto data = prepared(this, &prepareStatementPrint, runText, failed))
            previewStatement(this, *data);
        else
            nothing();
        break;
    case Report::Cash:
        if (const auto data = prepared(this, &prepareCashPrint, runText, failed))
            previewCashTable(this, *data);
        else
            nothing();
        break;
    case Report::Classes:
        if (const auto data = prepared(this, &prepareClassPrint, runText, failed))
            previewClassList(this, *data);
        else
            nothing();
        break;
    case Report::StatementAndCash: {
        const auto statement = prepared(this, &prepareStatementPrint, runText, failed);
        const auto cash =
            statement ? prepared(this, &prepareCashPrint, runText, failed) : std::nullopt;
        if (statement && cash)
            printStatementAndCash(this, *statement, *cash);
        else
            nothing();
        break;
    }
    }
}

// The transfer file of the run shown, as the print buttons print it.
void frmAccount::transferClicked() {
    if (refuseWhileRunning())
        return;
    const RunDesignation designation = designateRun(ui->txtDatetime->text());
    std::optional<QDateTime> run = designation.stamp;
    if (!designation.stamp.isValid()) {
        try {
            run = findSettlementRun(designation);
        } catch (const AppError& e) {
            MessageBox::error(this, e.text());
            return;
        }
    }
    if (!run || !run->isValid()) {
        MessageBox::show(this, QStringLiteral("指定された日時には精算処理は行われていません。"));
        return;
    }
    openTransferFile(this, *run);
    ui->grd1->setFocus();
}
