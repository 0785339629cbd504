// The three commands of the settlement screen: trial, settlement and
// cancellation, each after the conditions are checked and the clerk agreed.
#include "backup/screens/backupbeforerun.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/fields.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"
#include "core/session.h"
#include "settlement/incomewatch.h"
#include "settlement/screens/frmaccount.h"
#include "settlement/screens/frmatest.h"
#include "settlement/screens/runprogress.h"
#include "settlement/settlementrun.h"
#include "settlement/slippricing.h"
#include "settlement/trial.h"
#include "ui_frmaccount.h"

#include <optional>

namespace {

// The screen is marked busy for the length of a run.
class Running {
  public:
    explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Running() { m_flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

  private:
    bool& m_flag;
};

// A question taller than the screen would hide its own buttons: the list
// names this many slips and counts the rest.
constexpr qsizetype kListedSlips = 30;

// The list of settled slips one a line (it comes with Windows line ends).
QString shownList(const QString& list) {
    QStringList lines = list.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    const qsizetype rest = lines.size() - kListedSlips;
    if (rest > 0) {
        lines.resize(kListedSlips);
        lines << QStringLiteral("…ほか %1 枚").arg(rest);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString failed(const QString& action, const AppError& e) {
    return action + QStringLiteral("に失敗しました。処理前の状態に戻しました。\n") + e.text();
}

} // namespace

// Asks before a trial or a settlement, naming the slips of the selection
// that are settled already (they are not paid again).
bool frmAccount::confirmRun(const QString& action) {
    QString list;
    bool settledSlips = false;
    try {
        settledSlips = ListSettledSlips(criteria(), list);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return false;
    }
    MessageBox::Answer answer;
    if (settledSlips) {
        answer = MessageBox::show(this,
                                  QStringLiteral("精算済み伝票が存在します。") + action +
                                      QStringLiteral("を実行しますか？ \n") + shownList(list),
                                  MessageBox::Buttons::OkCancel, MessageBox::Icon::Exclamation);
    } else {
        answer = MessageBox::show(this, action + QStringLiteral("を実行しますか？"),
                                  MessageBox::Buttons::OkCancel);
    }
    return answer == MessageBox::Answer::Ok;
}

void frmAccount::cmdTestClick() {
    if (refuseWhileRunning() || CheckConditions() != 0 || !confirmRun(QStringLiteral("試算処理")))
        return;
    std::optional<TrialResult> trial;
    {
        const Running running(m_running);
        RunProgress progress(this, QStringLiteral("試算処理"));
        try {
            trial = RunTrial(criteria(), progress.callback());
        } catch (const AppError& e) {
            progress.finish();
            MessageBox::error(this, failed(QStringLiteral("試算処理"), e));
            return;
        }
    }
    const SettlementCriteria period = criteria();
    frmATest result(this, trial->rows, period.firstDay, period.lastDay);
    result.exec();
    ui->grd1->setFocus(); // where no window system reactivates the screen
}

// Slips without a price in force are paid 0 yen only when the clerk says so;
// nullopt when the settlement is not to run.
std::optional<bool> frmAccount::confirmUnpriced() {
    QStringList unpriced;
    try {
        const WaitCursor wait;
        unpriced = unpricedSlips(criteria());
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return std::nullopt;
    }
    if (unpriced.isEmpty())
        return false;
    if (MessageBox::show(this,
                         QStringLiteral("単価が未登録の伝票があります。単価0円で精算しますか？\n") +
                             shownList(numberedSlipList(unpriced)),
                         MessageBox::Buttons::OkCancelDefaultCancel,
                         MessageBox::Icon::Exclamation) != MessageBox::Answer::Ok)
        return std::nullopt;
    return true;
}

// Names the home-workers whose pay of the year this settlement takes to an
// income line of [Income], before anything is paid.
bool frmAccount::confirmIncomeLines() {
    QList<IncomeCrossing> crossings;
    try {
        const WaitCursor wait;
        crossings =
            incomeCrossings(criteria(), IncomeLines::read(), Clock::today(), readTaxRules());
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return false;
    }
    if (crossings.isEmpty())
        return true;
    QStringList lines;
    for (const IncomeCrossing& c : crossings)
        lines << c.describe();
    return MessageBox::show(this,
                            QStringLiteral("この精算で今年の支払合計が次の線に達する内職者が"
                                           "います。精算処理を実行しますか？\n") +
                                lines.join(QLatin1Char('\n')),
                            MessageBox::Buttons::OkCancelDefaultCancel,
                            MessageBox::Icon::Exclamation) == MessageBox::Answer::Ok;
}

void frmAccount::cmdAccountClick() {
    if (refuseWhileRunning() || CheckConditions() != 0 || !confirmRun(QStringLiteral("精算処理")) ||
        !backupBeforeRun(this))
        return;
    const std::optional<bool> allowUnpriced = confirmUnpriced();
    if (!allowUnpriced || !confirmIncomeLines())
        return;
    SettlementCriteria c = criteria();
    c.allowUnpriced = *allowUnpriced;
    SettlementResult result;
    {
        const Running running(m_running);
        RunProgress progress(this, QStringLiteral("精算処理"));
        try {
            result = RunSettlement(c, progress.callback());
        } catch (const AppError& e) {
            // Nothing was written: the list, the run shown and the buttons stay.
            progress.finish();
            MessageBox::error(this, failed(QStringLiteral("精算処理"), e));
            return;
        }
    }
    if (result.settled())
        setPrintButtons(true);
    layoutList(ListReset::ShowLastRun);
    LoadSettlementList(0);
}

void frmAccount::cmdACancelClick() {
    if (refuseWhileRunning() || CheckConditions() != 0)
        return;
    if (MessageBox::show(this, QStringLiteral("精算解除処理を実行しますか？"),
                         MessageBox::Buttons::OkCancel) != MessageBox::Answer::Ok ||
        !backupBeforeRun(this))
        return;
    CancelResult result;
    {
        const Running running(m_running);
        RunProgress progress(this, QStringLiteral("精算解除処理"));
        try {
            result = CancelSettlement(criteria(), progress.callback());
        } catch (const AppError& e) {
            progress.finish();
            MessageBox::error(this, failed(QStringLiteral("精算解除処理"), e));
            return;
        }
    }
    if (!result.cancelled()) {
        MessageBox::show(this, QStringLiteral("指定された日付での精算処理は行われていません。"));
        ui->txtDay_0->setFocus();
    }
    layoutList(ListReset::ShowLastRun);
    LoadSettlementList(1);
}
