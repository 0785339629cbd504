#pragma once

#include "core/screens/waitcursor.h"
#include "settlement/settlementcriteria.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <optional>

class QProgressDialog;
class QWidget;

// The busy pointer and the progress window of one long run (a trial, a
// settlement, a cancellation). The run is one transaction, so it cannot be
// stopped half-way: the window has no Cancel button and ignores Escape and
// its close box. The window appears once the run has taken a moment and
// counts the slips done; between slips the screens are repainted.
class RunProgress {
  public:
    // `what` names the run in the window ("精算処理").
    RunProgress(QWidget* owner, const QString& what);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // For the engine: called with the slips (or rows) done so far.
    SettlementProgress callback();
    // Closes the window and restores the pointer (before any message).
    void finish();

    bool windowShown() const;

  private:
    void advance(qint64 done, qint64 total);

    QWidget* m_owner;
    QString m_what;
    std::optional<WaitCursor> m_wait;
    QPointer<QProgressDialog> m_window;
    QElapsedTimer m_started;
    QElapsedTimer m_lastPump;
    bool m_pumped = false;
    bool m_finished = false;
};
