#pragma once

#include "core/screens/screen.h"
#include "transfer/transferfile.h"

#include <functional>
#include <memory>

namespace Ui {
class frmTransfer;
}

// The banks' transfer file of one settlement run: the run and what it pays
// by transfer, the transfer day, and the file written where the clerk says.
// The same run may be written again (an upload that failed).
class frmTransfer : public Screen {
    Q_OBJECT
  public:
    frmTransfer(QWidget* parent, const TransferBatch& batch);
    ~frmTransfer() override;

  private:
    void cmdWriteClick();

    const TransferBatch m_batch;
    const std::unique_ptr<Ui::frmTransfer> ui;
};

// Opens the screen for the run, or says why the run has no transfer file
// (cancelled, incomplete accounts, nobody paid by transfer).
void openTransferFile(QWidget* parent, const QDateTime& run);

// Tests answer the save dialog: the chooser gets the suggested path and
// returns the chosen one ("" cancels). An empty function restores the dialog.
using TransferFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
void setTransferFileChooser(TransferFileChooser chooser);
