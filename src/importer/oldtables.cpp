#include "importer/oldtables.h"

namespace OldTables {

namespace {

using K = Kind;

const QList<Reference> kLineReferences = {
    {"製品図番", "zuban_m"}, {"作業コード", "sagyou_m"}, {"内職者コード", "naishoku_m"}};

const QList<Table> kTables = {
    {"syain_m",
     {{"社員コード", K::Text},
      {"氏名", K::Text},
      {"パスワード", K::Text},
      {"備考", K::Text},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag}},
     {"社員コード"},
     {}},
    {"zuban_m",
     {{"製品図番", K::Text},
      {"図番名称", K::Text},
      {"備考", K::Text},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"社員コード", K::Text}},
     {"製品図番"},
     {}},
    {"sagyou_m",
     {{"作業コード", K::Text},
      {"作業項目", K::Text},
      {"備考", K::Text},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"社員コード", K::Text}},
     {"作業コード"},
     {}},
    {"naishoku_m",
     {{"内職者コード", K::Text},
      {"内職者氏名", K::Text},
      {"生年月日", K::BirthDate},
      {"郵便番号", K::Text},
      {"住所", K::Text},
      {"電話", K::Text},
      {"携帯電話", K::Text},
      {"ファックス", K::Text},
      {"メールアドレス", K::Text},
      {"ランク", K::Text},
      {"備考", K::Text},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"性別", K::Text, true},
      {"作業場所在地", K::Text, true}},
     {"内職者コード"},
     {}},
    {"tanka_m",
     {{"単価シリアル", K::Whole},
      {"製品図番", K::Text},
      {"作業コード", K::Text},
      {"内職者コード", K::Text},
      {"単価", K::Price},
      {"備考", K::Text},
      {"適用開始日", K::Date},
      {"適用終了日", K::Date},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"社員コード", K::Text}},
     {"単価シリアル"},
     kLineReferences},
    {"seihin_t",
     {{"製品伝票番号", K::Text},
      {"製品図番", K::Text},
      {"作業コード", K::Text},
      {"内職者コード", K::Text},
      {"精算単価", K::Price},
      {"作業区分", K::Text},
      {"払出数量", K::Quantity},
      {"納入数量", K::Quantity},
      {"依頼日", K::Date},
      {"納入日", K::Date},
      {"管理ロットNo", K::Text},
      {"備考", K::Text},
      {"精算日時", K::DateTime},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"社員コード", K::Text}},
     {"製品伝票番号"},
     kLineReferences},
    {"seisan_t",
     {{"精算日時", K::DateTime},
      {"内職者コード", K::Text},
      {"精算対象開始日", K::Date},
      {"精算対象最終日", K::Date},
      {"精算対象伝票枚数", K::Whole},
      {"精算金額", K::Yen},
      {"消費税", K::Yen},
      {"合計金額", K::Yen},
      {"備考", K::Text},
      {"最終更新日時", K::DateTime},
      {"削除フラグ", K::Flag},
      {"社員コード", K::Text}},
     {"精算日時", "内職者コード"},
     {}},
};

} // namespace

int Table::indexOf(const QString& column) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name == column)
            return i;
    return -1;
}

const QList<Table>& tables() {
    return kTables;
}

const Table* find(const QString& name) {
    for (const Table& t : kTables)
        if (t.name == name)
            return &t;
    return nullptr;
}

} // namespace OldTables
