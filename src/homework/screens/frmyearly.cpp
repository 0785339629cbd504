#include "homework/screens/frmyearly.h"
#include "ui_frmyearly.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpreview.h"
#include "core/screens/waitcursor.h"
#include "homework/screens/yearlyreport.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"

frmYearly::frmYearly(QWidget* parent) : Screen(parent), ui(new Ui::frmYearly) {
    ui->setupUi(this);
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdBack, false);
    setupKeyedBox(ui->txtYear, 1, 4);
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
    // Asked for in January, for the year just ended.
    ui->txtYear->setText(QString::number(Clock::today().year() - 1));
    connect(ui->cmdPreview, &QPushButton::clicked, this, &frmYearly::cmdPreviewClick);
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);
    FormCenter(this);
}

frmYearly::~frmYearly() = default;

std::optional<YearlySelection> frmYearly::selection() {
    YearlySelection s;
    bool ok = false;
    s.year = ui->txtYear->text().toInt(&ok);
    if (!ok || ui->txtYear->text().size() != 4 || s.year < 1900) {
        MessageBox::show(this, QStringLiteral("対象年は西暦4桁で入力して下さい。"));
        ui->txtYear->setFocus();
        return std::nullopt;
    }
    s.fromCode = Lookup::key(Lookup::homeWorkers(), ui->cboPerson_0->currentText());
    s.toCode = Lookup::key(Lookup::homeWorkers(), ui->cboPerson_1->currentText());
    return s;
}

void frmYearly::cmdPreviewClick() {
    const std::optional<YearlySelection> s = selection();
    if (!s)
        return;
    std::optional<BandedReport> report;
    QString error;
    {
        const WaitCursor wait;
        try {
            const QList<YearlyStatement> statements = loadYearlyStatements(*s, IncomeLines::read());
            if (!statements.isEmpty()) {
                report = yearlyReport(statements, StatementIssuer::read());
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
        MessageBox::show(this, QStringLiteral("指定された年に支払を受けた内職者はいません。"
                                              "年か内職者の範囲を見直して下さい。"));
        return;
    }
    ReportPreview* window = nullptr;
    ReportPreview preview(*report, this, [&](const BandedReport& r) {
        PrintRun run;
        QString failure;
        {
            const WaitCursor wait;
            try {
                printYearly(run, r, s->year);
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

void openYearlyStatement(QWidget* parent) {
    frmYearly screen(parent);
    screen.exec();
}
