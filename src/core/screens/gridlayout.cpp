#include "core/screens/gridlayout.h"

#include "core/screens/listgrid.h"

#include <array>
#include <vector>

namespace {

struct Column {
    const char16_t* heading; // empty: a hidden column without heading
    int widthTwips;
};

constexpr int layoutRows = 15;
constexpr int rowHeightTwips = 400;

const std::vector<Column>& columnsOf(int kind) {
    static const std::array<std::vector<Column>, 8> kinds = {{
        // 1 drawing numbers
        {{u"", 0}, {u"製品図番", 2200}, {u"図番名称", 4300}, {u"備　考", 5400}, {u"削除", 600}},
        // 2 work codes
        {{u"", 0}, {u"作業コード", 2200}, {u"作業項目", 4300}, {u"備　考", 5400}, {u"削除", 600}},
        // 3 employees
        {{u"", 0},
         {u"社員コード", 1200},
         {u"氏　　名", 2200},
         {u"パスワード", 1200},
         {u"備　　考", 5400},
         {u"削除", 600}},
        // 4 home-workers
        {{u"", 0},
         {u"内職者コード", 1200},
         {u"内職者氏名", 2200},
         {u"生年月日", 1500},
         {u"郵便番号", 900},
         {u"住　　所", 2200},
         {u"電　話", 1400},
         {u"携帯電話", 1500},
         {u"ファックス", 1400},
         {u"メールアドレス", 1650},
         {u"ランク", 600},
         {u"備　考", 1200},
         {u"削除", 600}},
        // 5 unit prices
        {{u"", 0},
         {u"製品図番", 2200},
         {u"作業コード", 2200},
         {u"作業項目", 2200},
         {u"内職者コード", 1200},
         {u"内職者氏名", 2200},
         {u"単価", 1500},
         {u"適用開始日", 1500},
         {u"適用終了日", 1500},
         {u"備　考", 2700},
         {u"削除", 600}},
        // 6 slips
        {{u"", 0},
         {u"伝票番号", 1200},
         {u"製品図番", 2200},
         {u"図番名称", 1200},
         {u"作業コード", 2200},
         {u"作業項目", 1200},
         {u"作業区分", 1200},
         {u"内職者氏名", 1650},
         {u"単価", 1400},
         {u"依頼日", 1400},
         {u"払出数量", 900},
         {u"納入日", 1400},
         {u"納入数量", 900},
         {u"管理ロットNO", 2200},
         {u"備考", 1200},
         {u"削除", 600}},
        // 7 settlements
        {{u"", 0},
         {u"", 0},
         {u"", 0},
         {u"内職者氏名", 2200},
         {u"対象伝票枚数", 1650},
         {u"精算金額", 1650},
         {u"消費税", 1400},
         {u"合計金額", 1650},
         {u"", 0},
         {u"削除", 600}},
        // 8 trial result
        {{u"", 0},
         {u"内職者コード", 1200},
         {u"内職者氏名", 2200},
         {u"製品図番", 2200},
         {u"作業コード", 2200},
         {u"作業項目", 2200},
         {u"単価", 1650},
         {u"納入数量", 1200},
         {u"合　計", 1650}},
    }};
    return kinds.at(kind - 1);
}

} // namespace

void GridLayout(ListGrid* grid, int kind, bool selectFirstRow) {
    if (kind < 1 || kind > 8 || grid == nullptr)
        return;
    const std::vector<Column>& columns = columnsOf(kind);
    {
        ListGrid::Fill fill(grid);
        grid->setCols(int(columns.size()));
        grid->setRows(layoutRows);
        grid->clear();
        grid->resetColAlignments();
        grid->setRowHeightTwips(rowHeightTwips);
        for (int c = 0; c < int(columns.size()); ++c) {
            grid->setColWidthTwips(c, columns[c].widthTwips);
            const QString heading = QString::fromUtf16(columns[c].heading);
            if (!heading.isEmpty()) {
                grid->setTextMatrix(0, c, heading);
                grid->setCellAlignment(0, c, Qt::AlignCenter);
            }
        }
    }
    if (selectFirstRow)
        grid->selectRow(1);
}
