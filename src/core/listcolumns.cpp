#include "core/listcolumns.h"

#include <array>

const std::vector<ListColumn>& listColumns(int kind) {
    static const std::array<std::vector<ListColumn>, 8> kinds = {{
        // 1 drawing numbers
        {{u"", 0}, {u"製品図番", 2200}, {u"図番名称", 4300}, {u"備　考", 5400}, {u"削除", 600}},
        // 2 work codes
        {{u"", 0}, {u"作業コード", 2200}, {u"作業項目", 4300}, {u"備　考", 5400}, {u"削除", 600}},
        // 3 employees
        {{u"", 0},
         {u"社員コード", 1200},
         {u"氏　　名", 2200},
         {u"パスワード", 1200, ColumnKind::Text, false},
         {u"備　　考", 5400},
         {u"削除", 600}},
        // 4 home-workers
        {{u"", 0},
         {u"内職者コード", 1170},
         {u"内職者氏名", 1290},
         {u"生年月日", 1305, ColumnKind::Date},
         {u"郵便番号", 1050},
         {u"住　　所", 3075},
         {u"電　話", 1500},
         {u"携帯電話", 1620},
         {u"ファックス", 1500},
         {u"メールアドレス", 2160},
         {u"ランク", 570},
         {u"備　考", 645},
         {u"削除", 465}},
        // 5 unit prices
        {{u"", 0},
         {u"製品図番", 2200},
         {u"作業コード", 2200},
         {u"作業項目", 2200},
         {u"内職者コード", 1365},
         {u"内職者氏名", 2200},
         {u"単価", 1500, ColumnKind::Price},
         {u"適用開始日", 1500, ColumnKind::Date},
         {u"適用終了日", 1500, ColumnKind::Date},
         {u"備　考", 2535},
         {u"削除", 600}},
        // 6 slips
        {{u"", 0},
         {u"伝票番号", 1200},
         {u"製品図番", 1500},
         {u"図番名称", 2340},
         {u"作業コード", 1095},
         {u"作業項目", 1200},
         {u"作業区分", 1200},
         {u"内職者氏名", 1815},
         {u"単価", 1395, ColumnKind::Price},
         {u"依頼日", 1395, ColumnKind::Date},
         {u"払出数量", 900, ColumnKind::Whole},
         {u"納入日", 1395, ColumnKind::Date},
         {u"納入数量", 900, ColumnKind::Whole},
         {u"管理ロットNO", 2190},
         {u"備考", 1725},
         {u"削除", 600}},
        // 7 settlements
        {{u"", 0},
         {u"", 0},
         {u"", 0},
         {u"内職者氏名", 2200},
         {u"対象伝票枚数", 1650, ColumnKind::Whole},
         {u"精算金額", 1650, ColumnKind::Whole},
         {u"消費税", 1400, ColumnKind::Whole},
         {u"合計金額", 1650, ColumnKind::Whole},
         {u"", 0},
         {u"削除", 600}},
        // 8 trial result
        {{u"", 0},
         {u"内職者コード", 1365},
         {u"内職者氏名", 2200},
         {u"製品図番", 2200},
         {u"作業コード", 2035},
         {u"作業項目", 2200},
         {u"単価", 1650, ColumnKind::Price},
         {u"納入数量", 1200, ColumnKind::Whole},
         {u"合　計", 1650, ColumnKind::Whole}},
    }};
    return kinds.at(kind - 1);
}
