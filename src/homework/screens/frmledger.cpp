#include "homework/screens/frmledger.h"
#include "ui_frmledger.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/ini.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpreview.h"
#include "core/screens/waitcursor.h"
#include "homework/screens/ledgerreport.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"

frmLedger::frmLedger(QWidget* parent) : Screen(parent), ui(new Ui::frmLedger) {
    ui->setupUi(this);
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdBack, false);
    setupDateBox(*behaviour, ui->txtDay_0, true);
    setupDateBox(*behaviour, ui->txtDay_1, true);
    setupCodeCombo(ui->cboPerson_0);
    setupCodeCombo(ui->cboPerson_1);
    for (QComboBox* box : {ui->cboPerson_0, ui->cboPerson_1}) {
        behaviour->setValidator(box, codeComboCheck(this, box, LookupPerson,
                                                    QStringLiteral("指定の内職者は存在しません。"),
                                                    false));
        if (LookupPerson(box, LookupMode::Fill) == LookupResult::Found) {
            box->setCurrentIndex(-1);
            box->setEditText(QString());
        }
    }
    // The usual request: last year, as the Act keeps the ledger by years.
    const QDate today = Clock::today();
    ui->txtDay_0->setText(formatDate(QDate(today.year() - 1, 1, 1)));
    ui->txtDay_1->setText(formatDate(QDate(today.year() - 1, 12, 31)));
    connect(ui->cmdPreview, &QPushButton::clicked, this, &frmLedger::cmdPreviewClick);
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);
    FormCenter(this);
}

frmLedger::~frmLedger() = default;

std::optional<LedgerSelection> frmLedger::selection() {
    LedgerSelection s;
    s.first = parseBoxDate(ui->txtDay_0->text());
    s.last = parseBoxDate(ui->txtDay_1->text());
    if (!s.first.isValid() || !s.last.isValid()) {
        MessageBox::show(this, ConventionText::Required);
        (s.first.isValid() ? ui->txtDay_1 : ui->txtDay_0)->setFocus();
        return std::nullopt;
    }
    if (s.last < s.first) {
        MessageBox::show(this, QStringLiteral("日付の大小関係に誤りがあります。"));
        ui->txtDay_0->setFocus();
        return std::nullopt;
    }
    s.fromCode = Lookup::key(Lookup::homeWorkers(), ui->cboPerson_0->currentText());
    s.toCode = Lookup::key(Lookup::homeWorkers(), ui->cboPerson_1->currentText());
    return s;
}

void frmLedger::cmdPreviewClick() {
    const std::optional<LedgerSelection> s = selection();
    if (!s)
        return;
    std::optional<BandedReport> report;
    QString error;
    {
        const WaitCursor wait;
        try {
            const QList<LedgerWorker> workers = loadLedger(*s, PaymentTerms::read());
            if (!workers.isEmpty()) {
                report = ledgerReport(workers, *s,
                                      IniRead(QStringLiteral("User"), QStringLiteral("Name")));
                report->pageCount();
            }
        } catch (const AppError& e) {
            error = e.text();
        }
    }
    if (!error.isEmpty()) {
        MessageBox::error(this, error);
        return;
    }
    if (!report) {
        MessageBox::show(this, QStringLiteral("指定された期間に帳簿に記入する取引はありません。"
                                              "期間か内職者の範囲を見直して下さい。"));
        return;
    }
    ReportPreview* window = nullptr;
    ReportPreview preview(*report, this, [&](const BandedReport& r) {
        PrintRun run;
        QString failure;
        {
            const WaitCursor wait;
            try {
                printLedger(run, r, *s);
            } catch (const AppError& e) {
                failure = e.text();
            }
        }
        if (!failure.isEmpty())
            MessageBox::error(window, failure);
        run.tellUser(window);
    });
    window = &preview;
    preview.exec();
}

void openLedger(QWidget* parent) {
    frmLedger screen(parent);
    screen.exec();
}
