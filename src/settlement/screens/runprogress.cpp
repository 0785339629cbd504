#include "settlement/screens/runprogress.h"

#include "core/numberformat.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressDialog>

namespace {

// A short run ends before the window would only flash up.
constexpr qint64 kShowAfterMs = 400;
// Often enough to keep the windows painted, rarely enough to cost nothing.
constexpr qint64 kPumpEveryMs = 40;

class ProgressWindow : public QProgressDialog {
  public:
    explicit ProgressWindow(QWidget* owner) : QProgressDialog(owner) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowTitle(QStringLiteral("Tarvelシステム"));
        setWindowModality(Qt::ApplicationModal);
        setCancelButton(nullptr);
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(0);
        setMinimumWidth(360);
    }

  public slots:
    void reject() override {}

  protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

RunProgress::RunProgress(QWidget* owner, const QString& what) : m_owner(owner), m_what(what) {
    m_wait.emplace();
    m_started.start();
    m_lastPump.start();
}

RunProgress::~RunProgress() {
    finish();
}

void RunProgress::finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (m_window) {
        m_window->hide();
        delete m_window.data();
    }
    m_wait.reset();
}

bool RunProgress::windowShown() const {
    return m_window && m_window->isVisible();
}

SettlementProgress RunProgress::callback() {
    return [this](qint64 done, qint64 total) { advance(done, total); };
}

void RunProgress::advance(qint64 done, qint64 total) {
    if (m_finished || (m_pumped && m_lastPump.elapsed() < kPumpEveryMs && done < total))
        return;
    m_pumped = true;
    m_lastPump.restart();
    if (!m_window && m_started.elapsed() >= kShowAfterMs) {
        m_window = new ProgressWindow(m_owner);
        m_window->show();
    }
    if (m_window) {
        // QProgressDialog counts in int; slips of one run stay far below.
        m_window->setMaximum(int(qMin<qint64>(total, INT_MAX)));
        m_window->setValue(int(qMin<qint64>(done, INT_MAX)));
        m_window->setLabelText(QStringLiteral("%1中です。しばらくお待ち下さい。\n%2 / %3 件")
                                   .arg(m_what, formatNumber(done, NumberPattern::Count),
                                        formatNumber(total, NumberPattern::Count)));
    }
    // Until the modal window stands in front, the clerk's clicks and keys
    // wait; afterwards it keeps them from the screen beneath.
    QCoreApplication::processEvents(m_window ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
}
