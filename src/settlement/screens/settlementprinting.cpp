#include "settlement/screens/settlementprinting.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/ini.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpainter.h"
#include "core/screens/reportpreview.h"
#include "core/screens/waitcursor.h"
#include "settlement/screens/reports/settlementreports.h"
#include "settlement/settlementlist.h"

#include <functional>
#include <initializer_list>

namespace {

// The run the text names, as an exact designation: the fill that follows
// then prints that run and no later one.
std::optional<RunDesignation> exactRun(const QString& runText) {
    const std::optional<QDateTime> run = findSettlementRun(designateRun(runText));
    if (!run)
        return std::nullopt;
    RunDesignation exact;
    exact.stamp = *run;
    return exact;
}

ReportContext reportContext() {
    return ReportContext{IniRead(QStringLiteral("User"), QStringLiteral("Name")), Clock::today(),
                         configuredPaidFigure()};
}

struct Document {
    BandedReport report;
    QString name; // of the printer job or the PDF file
};

QString documentName(const char* kind, const QDateTime& run) {
    return QString::fromLatin1(kind) + run.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

Document statementDocument(const StatementPrint& data) {
    return {drptAccount(data.lines, data.settled, reportContext()),
            documentName("statement-", data.run)};
}

Document cashDocument(const CashPrint& data) {
    return {drptKinshu(data.timeStampText, data.lines, reportContext()),
            documentName("cash-", data.run)};
}

Document classDocument(const ClassPrint& data) {
    return {drptPnoAccount(data.lines, reportContext()), documentName("classes-", data.run)};
}

// Everything one action prints goes in one run: a failure ends it with one
// message, and the user hears once where the files went.
void output(QWidget* parent, std::initializer_list<const Document*> documents) {
    PrintRun run;
    QString error;
    {
        const WaitCursor wait;
        try {
            for (const Document* document : documents)
                printReport(run, document->report, document->name);
        } catch (const AppError& e) {
            error = e.text();
        }
    }
    if (!error.isEmpty())
        MessageBox::error(parent, error);
    run.tellUser(parent);
}

// Built and laid out under the busy pointer: a long run takes a moment.
Document laidOut(const std::function<Document()>& build) {
    const WaitCursor wait;
    Document document = build();
    document.report.pageCount();
    return document;
}

void preview(QWidget* owner, const std::function<Document()>& build) {
    const Document document = laidOut(build);
    // The print button's messages belong over the preview, not its owner.
    ReportPreview* window = nullptr;
    ReportPreview preview(document.report, owner,
                          [&](const BandedReport&) { output(window, {&document}); });
    window = &preview;
    preview.exec();
}

} // namespace

std::optional<StatementPrint> prepareStatementPrint(const QString& runText) {
    const std::optional<RunDesignation> run = exactRun(runText);
    if (!run)
        return std::nullopt;
    std::optional<QList<StatementLine>> lines = FillStatementTable(*run);
    // A run without a live slip has no statement to print.
    if (!lines || lines->isEmpty())
        return std::nullopt;
    QMap<QString, SettledFigures> settled;
    for (const SettlementRow& row : settlementRowsOfRun(run->stamp))
        settled.insert(row.workerCode, row.figures());
    return StatementPrint{run->stamp, std::move(*lines), std::move(settled)};
}

std::optional<CashPrint> prepareCashPrint(const QString& runText) {
    const std::optional<RunDesignation> run = exactRun(runText);
    if (!run)
        return std::nullopt;
    QList<CashLine> lines = cashLinesOfRun(run->stamp, configuredPaidFigure());
    if (lines.isEmpty())
        return std::nullopt;
    return CashPrint{run->stamp, formatDateTime(run->stamp), std::move(lines)};
}

std::optional<ClassPrint> prepareClassPrint(const QString& runText) {
    const std::optional<RunDesignation> run = exactRun(runText);
    if (!run)
        return std::nullopt;
    std::optional<QList<PnoLine>> lines = FillPnoTable(*run);
    if (!lines || lines->isEmpty())
        return std::nullopt;
    return ClassPrint{run->stamp, std::move(*lines)};
}

void previewStatement(QWidget* owner, const StatementPrint& data) {
    preview(owner, [&] { return statementDocument(data); });
}

void previewCashTable(QWidget* owner, const CashPrint& data) {
    preview(owner, [&] { return cashDocument(data); });
}

void previewClassList(QWidget* owner, const ClassPrint& data) {
    preview(owner, [&] { return classDocument(data); });
}

void printStatementAndCash(QWidget* owner, const StatementPrint& statement, const CashPrint& cash) {
    const Document first = laidOut([&] { return statementDocument(statement); });
    const Document second = laidOut([&] { return cashDocument(cash); });
    output(owner, {&first, &second});
}
