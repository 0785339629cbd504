#include "masters/masterdef.h"

namespace {

// The list screens' columns: the code again as the hidden key, then
// listColumns, then the deleted mark.
constexpr ListColumn kDrawingColumns[] = {{u"", 0},
                                          {u"製品図番", 2200},
                                          {u"図番名称", 4300},
                                          {u"備　考", 5400},
                                          {u"削除", 600, ColumnKind::Mark}};
constexpr ListColumn kWorkCodeColumns[] = {{u"", 0},
                                           {u"作業コード", 2200},
                                           {u"作業項目", 4300},
                                           {u"備　考", 5400},
                                           {u"削除", 600, ColumnKind::Mark}};
constexpr ListColumn kEmployeeColumns[] = {{u"", 0},
                                           {u"社員コード", 1200},
                                           {u"氏　　名", 2200},
                                           {u"パスワード", 1200, ColumnKind::Text, false},
                                           {u"備　　考", 5400},
                                           {u"削除", 600, ColumnKind::Mark}};
constexpr ListColumn kHomeWorkerColumns[] = {{u"", 0},
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
                                             {u"削除", 465, ColumnKind::Mark}};

MasterMessages messagesFor(const QString& thing, const QString& codeName) {
    return {QStringLiteral("%1を追加しますか？").arg(thing),
            QStringLiteral("入力された%1は既に存在します。置き換えますか。").arg(codeName),
            QStringLiteral("%1の追加に失敗しました。").arg(thing),
            QStringLiteral("%1を編集しますか？").arg(thing),
            QStringLiteral("%1の編集に失敗しました。").arg(thing)};
}

QString box(int index) {
    return QStringLiteral("txtDet_%1").arg(index);
}

// Drawing numbers and work codes share their shape: code, name, remark.
MasterDef codeNameRemark(const QString& table, const QString& title, const QString& screen,
                         const ListDefinition& list, const QString& codeColumn,
                         const QString& nameColumn) {
    MasterDef d;
    d.table = table;
    d.title = title;
    d.listScreen = screen;
    d.editScreen = screen + QStringLiteral("2");
    d.list = list;
    d.hasEmpAudit = true;
    d.fields = {{codeColumn, codeColumn, box(0), 20, 20, false, true},
                {nameColumn, nameColumn, box(1), 40, 40, true, false},
                {QStringLiteral("備考"), QStringLiteral("備　　考"), box(2), 50, 50, true, false}};
    d.listColumns = {codeColumn, nameColumn, QStringLiteral("備考")};
    d.messages = messagesFor(codeColumn, codeColumn);
    return d;
}

} // namespace

const MasterField* MasterDef::field(const QString& column) const {
    for (const MasterField& f : fields) {
        if (f.column == column)
            return &f;
    }
    return nullptr;
}

const MasterDef& pnoMaster() {
    static const MasterDef d = codeNameRemark(
        QStringLiteral("zuban_m"), QStringLiteral("製品図番マスタ"), QStringLiteral("frmPNoMnt"),
        {u"製品図番一覧", kDrawingColumns}, QStringLiteral("製品図番"), QStringLiteral("図番名称"));
    return d;
}

const MasterDef& workCodeMaster() {
    static const MasterDef d =
        codeNameRemark(QStringLiteral("sagyou_m"), QStringLiteral("作業コードマスタ"),
                       QStringLiteral("frmWorkNoMnt"), {u"作業コード一覧", kWorkCodeColumns},
                       QStringLiteral("作業コード"), QStringLiteral("作業項目"));
    return d;
}

const MasterDef& empMaster() {
    static const MasterDef d = [] {
        MasterDef d;
        d.table = QStringLiteral("syain_m");
        d.title = QStringLiteral("社員マスタ");
        d.listScreen = QStringLiteral("frmEmpMnt");
        d.editScreen = QStringLiteral("frmEmpMnt2");
        d.list = {u"社員一覧", kEmployeeColumns};
        d.hasEmpAudit = false; // 社員コード is the record's own key here
        d.fields = {
            {QStringLiteral("社員コード"), QStringLiteral("社員コード"), box(0), 10, 10, false,
             true},
            {QStringLiteral("氏名"), QStringLiteral("氏　　名"), box(1), 20, 20, true, false},
            {QStringLiteral("パスワード"), QStringLiteral("パスワード"), box(2), 6, 6, false, false,
             FieldKind::Password},
            {QStringLiteral("備考"), QStringLiteral("備　　考"), box(3), 50, 50, true, false}};
        d.listColumns = {QStringLiteral("社員コード"), QStringLiteral("氏名"),
                         QStringLiteral("パスワード"), QStringLiteral("備考")};
        d.messages = messagesFor(QStringLiteral("社員コード"), QStringLiteral("社員コード"));
        return d;
    }();
    return d;
}

const MasterDef& personMaster() {
    static const MasterDef d = [] {
        MasterDef d;
        d.table = QStringLiteral("naishoku_m");
        d.title = QStringLiteral("内職者マスタ");
        d.listScreen = QStringLiteral("frmPersonMnt");
        d.editScreen = QStringLiteral("frmPersonMnt2");
        d.list = {u"内職者一覧", kHomeWorkerColumns};
        d.hasEmpAudit = false;
        // Tab order; the boxes are not in index order on the screen.
        d.fields = {
            {QStringLiteral("内職者コード"), QStringLiteral("内職者コード"), box(0), 10, 10, false,
             true},
            {QStringLiteral("内職者氏名"), QStringLiteral("内職者氏名"), box(1), 20, 20, true,
             true},
            {QStringLiteral("生年月日"), QStringLiteral("生年月日"), QStringLiteral("txtDay_0"), 8,
             10, false, false, FieldKind::Date},
            {QStringLiteral("住所"), QStringLiteral("住　　所"), box(3), 40, 40, true, false},
            {QStringLiteral("郵便番号"), QStringLiteral("郵便番号"), box(2), 8, 8, false, false},
            {QStringLiteral("電話"), QStringLiteral("電話番号"), box(4), 15, 15, false, false},
            {QStringLiteral("携帯電話"), QStringLiteral("携帯電話番号"), box(5), 15, 15, false,
             false},
            {QStringLiteral("ファックス"), QStringLiteral("ファックス"), box(6), 15, 15, false,
             false},
            {QStringLiteral("メールアドレス"), QStringLiteral("メールアドレス"), box(7), 30, 30,
             false, false},
            {QStringLiteral("ランク"), QStringLiteral("ランク"), box(8), 2, 2, false, false},
            {QStringLiteral("備考"), QStringLiteral("備　　考"), box(9), 50, 50, true, false},
            // For the Home Work Act's ledger; the workplace only where it
            // is not the address.
            {QStringLiteral("性別"), QStringLiteral("性　　別"), box(10), 4, 4, true, false},
            {QStringLiteral("作業場所在地"), QStringLiteral("作業場所在地"), box(11), 40, 40, true,
             false},
            // Paying by transfer; a typed name is kept as the bank holds it.
            {QStringLiteral("支払方法"),
             QStringLiteral("支払方法"),
             box(12),
             1,
             1,
             false,
             false,
             FieldKind::Choice,
             {QStringLiteral("0 現金"), QStringLiteral("1 振込")}},
            {QStringLiteral("銀行コード"), QStringLiteral("銀行コード"), box(13), 4, 4, false,
             false, FieldKind::Digits},
            {QStringLiteral("支店コード"), QStringLiteral("支店コード"), box(14), 3, 3, false,
             false, FieldKind::Digits},
            {QStringLiteral("預金種目"),
             QStringLiteral("預金種目"),
             box(15),
             1,
             1,
             false,
             false,
             FieldKind::Choice,
             {QStringLiteral("1 普通"), QStringLiteral("2 当座"), QStringLiteral("4 貯蓄")}},
            {QStringLiteral("口座番号"), QStringLiteral("口座番号"), box(16), 7, 7, false, false,
             FieldKind::Digits},
            {QStringLiteral("口座名義"), QStringLiteral("口座名義（ｶﾅ）"), box(17), 60, 30, true,
             false, FieldKind::BankKana}};
        d.listColumns = {QStringLiteral("内職者コード"),
                         QStringLiteral("内職者氏名"),
                         QStringLiteral("生年月日"),
                         QStringLiteral("郵便番号"),
                         QStringLiteral("住所"),
                         QStringLiteral("電話"),
                         QStringLiteral("携帯電話"),
                         QStringLiteral("ファックス"),
                         QStringLiteral("メールアドレス"),
                         QStringLiteral("ランク"),
                         QStringLiteral("備考")};
        d.messages = messagesFor(QStringLiteral("内職者"), QStringLiteral("内職者コード"));
        d.dateNote = QStringLiteral("※　日付の入力はYYYYMMDD形式で入力して下さい。");
        return d;
    }();
    return d;
}

const QList<const MasterDef*>& allMasters() {
    static const QList<const MasterDef*> all = {&pnoMaster(), &workCodeMaster(), &empMaster(),
                                                &personMaster()};
    return all;
}
