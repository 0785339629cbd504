#pragma once

#include "core/screens/screen.h"
#include "settlement/trial.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <memory>

namespace Ui {
class frmATest;
}

// The trial result: slip by slip what a settlement of the settlement
// screen's conditions would pay, and its printed list with a subtotal per
// home-worker.
class frmATest : public Screen {
    Q_OBJECT
  public:
    // firstDay..lastDay: the period of the trial, printed on every page.
    frmATest(QWidget* parent, const QList<TrialRow>& rows, QDate firstDay = {}, QDate lastDay = {});
    ~frmATest() override;

    // The grid's cell texts, row 0 the headings (what 印刷 prints).
    QList<QStringList> gridTexts() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fill(const QList<TrialRow>& rows);

    QDate m_firstDay;
    QDate m_lastDay;

    const std::unique_ptr<Ui::frmATest> ui;
};
