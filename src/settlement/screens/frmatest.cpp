#include "settlement/screens/frmatest.h"

#include "core/clock.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "settlement/screens/trialprinting.h"
#include "ui_frmatest.h"

namespace {
constexpr int kEmptyRows = 14;
constexpr int kRowTwips = 400;
constexpr int kPriceCol = 6;
const QString kUnpricedNote =
    QStringLiteral("単価が未登録です。精算では確認のうえ0円で支払われます。");
} // namespace

frmATest::frmATest(QWidget* parent, const QList<TrialRow>& rows, QDate firstDay, QDate lastDay)
    : Screen(parent), m_firstDay(firstDay), m_lastDay(lastDay), ui(new Ui::frmATest) {
    ui->setupUi(this);
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->cmdPrint, &QPushButton::clicked, this, [this] {
        printTrialList(this, gridTexts(), {m_firstDay, m_lastDay, Clock::today()});
    });
    FormCenter(this);
    GridLayout(ui->grd1, trialListDefinition());
    fill(rows);
}

frmATest::~frmATest() = default;

void frmATest::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    ui->grd1->setFocus();
}

void frmATest::fill(const QList<TrialRow>& rows) {
    ListGrid* grid = ui->grd1;
    {
        ListGrid::Fill fill(grid);
        grid->setRows(qMax(kEmptyRows, int(rows.size())) + 1);
        int r = 1;
        for (const TrialRow& row : rows) {
            if (row.unpriced)
                grid->setCellNote(r, kPriceCol, kUnpricedNote);
            grid->setRowTexts(r++, {row.slipNumber, row.workerCode, row.workerName,
                                    row.drawingNumber, row.workCode, row.workItem, row.priceText,
                                    row.quantityText, row.amountText});
        }
        grid->setRowHeightTwips(kRowTwips);
    }
}

QList<QStringList> frmATest::gridTexts() const {
    const ListGrid* grid = ui->grd1;
    QList<QStringList> texts;
    texts.reserve(grid->rows());
    for (int r = 0; r < grid->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->cols(); ++c)
            cells << grid->textMatrix(r, c);
        texts << cells;
    }
    return texts;
}
