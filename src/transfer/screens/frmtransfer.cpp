#include "transfer/screens/frmtransfer.h"
#include "ui_frmtransfer.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/numberformat.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

namespace {

TransferFileChooser g_chooser;

QString chooseFile(QWidget* parent, const QString& suggested) {
    if (g_chooser)
        return g_chooser(parent, suggested);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("振込データ作成"), suggested,
                                        QStringLiteral("振込データ (*.txt *.dat);;すべて (*)"));
}

QString amount(Yen yen) {
    return formatNumber(yen, NumberPattern::AmountList);
}

} // namespace

void setTransferFileChooser(TransferFileChooser chooser) {
    g_chooser = std::move(chooser);
}

frmTransfer::frmTransfer(QWidget* parent, const TransferBatch& batch)
    : Screen(parent), m_batch(batch), ui(new Ui::frmTransfer) {
    ui->setupUi(this);
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdBack, false);
    setupDateBox(*behaviour, ui->txtDay_0, true);
    ui->txtRun->setText(formatDateTime(batch.run));
    ui->lblSummary->setText(QStringLiteral("振込 %1 名　合計 %2 円（現金払い %3 名は金種表）")
                                .arg(batch.payees.size())
                                .arg(amount(batch.total()))
                                .arg(batch.cashWorkers));
    connect(ui->cmdWrite, &QPushButton::clicked, this, &frmTransfer::cmdWriteClick);
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);
    FormCenter(this);
    ui->txtDay_0->setFocus();
}

frmTransfer::~frmTransfer() = default;

void frmTransfer::cmdWriteClick() {
    const QDate day = parseBoxDate(ui->txtDay_0->text());
    if (!day.isValid()) {
        MessageBox::show(this, ConventionText::Required);
        ui->txtDay_0->setFocus();
        return;
    }
    QByteArray bytes;
    try {
        bytes = transferFileBytes(TransferSender::read(), day.toString(QStringLiteral("MMdd")),
                                  m_batch);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    const QString suggested = QDir::current().absoluteFilePath(
        QStringLiteral("振込-%1.txt").arg(m_batch.run.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const QString path = chooseFile(this, suggested);
    if (path.isEmpty())
        return;
    bool written = false;
    {
        const WaitCursor busy;
        QSaveFile file(path);
        written =
            file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    }
    if (!written) {
        MessageBox::error(this, QStringLiteral("振込データを書き込めません。フォルダと書き込みの"
                                               "権限、ディスクの空きを確かめて下さい。\n%1")
                                    .arg(path));
        return;
    }
    MessageBox::show(this, QStringLiteral("振込データを保存しました（%1 件、%2 円）: %3")
                               .arg(m_batch.payees.size())
                               .arg(amount(m_batch.total()), path));
    accept();
}

void openTransferFile(QWidget* parent, const QDateTime& run) {
    TransferBatch batch;
    try {
        const WaitCursor busy;
        batch = loadTransferBatch(run);
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
        return;
    }
    if (batch.payees.isEmpty()) {
        MessageBox::show(parent, QStringLiteral("この精算に振込で支払う内職者はいません。"));
        return;
    }
    frmTransfer screen(parent, batch);
    screen.exec();
}
