#pragma once

#include <QString>

// What the slip screens say. The entry screen adds the required-field and
// bad-date texts of ConventionText (core/conventions.h).
namespace SlipText {

// Search screen.
inline const QString RangeOrder = QStringLiteral("大小関係に誤りがあります。");
inline const QString PrintAllQuestion =
    QStringLiteral("指定された依頼日の伝票をすべて印刷します｡ "); // half-width "｡" and a blank
inline const QString UnknownPno = QStringLiteral("指定の製品図番は存在しません。");
inline const QString UnknownPerson = QStringLiteral("指定の内職者は存在しません。");

// Entry screen.
inline const QString UnknownWorkCode = QStringLiteral("指定の作業コードは存在しません。");
inline const QString AddQuestion =
    QStringLiteral("製品伝票を追加します。伝票は印刷しますか。\n\n"
                   "（はい）:伝票を印刷する。（いいえ）:伝票を印刷しない。");
inline const QString UpdateQuestion =
    QStringLiteral("製品伝票を更新します。伝票は印刷しますか。\n\n"
                   "（はい）:伝票を印刷する。（いいえ）:伝票を印刷しない。");
inline const QString StatusQuestion =
    QStringLiteral("伝票ステータスが変わります。製品伝票を変更しますか？");
inline const QString RegisterPriceQuestion =
    QStringLiteral("単価が未登録です。作業単価マスタでの入力が必要です。作業単価を登録しますか？");
inline const QString NoPrice =
    QStringLiteral("単価が未登録です。作業単価マスタでの入力が必要です。");
inline const QString StatusChanges = QStringLiteral("伝票ステータスが変更されます。");
inline const QString UpdateFailed = QStringLiteral("製品伝票の更新に失敗しました。");
inline const QString DayFull = QStringLiteral("本日の伝票番号は上限（999）に達しました。");
inline const QString SettledElsewhere =
    QStringLiteral("この伝票は画面を開いた後に精算または精算取消されました。"
                   "変更は保存されていません。伝票を開き直して下さい。");
inline const QString PaidLocked =
    QStringLiteral("精算済みの伝票です。金額に関わる項目は変更できません。"
                   "精算を解除してから変更して下さい。");
inline const QString PaidField =
    QStringLiteral("精算済みの伝票のため変更できません。精算を解除してから変更して下さい。");
inline const QString ModeAdd = QStringLiteral("追　加");
inline const QString ModeEdit = QStringLiteral("編　集");

// Delivery screen: "伝票(…)は登録されていません。" with the number as typed.
inline QString notRegistered(const QString& typed) {
    return QStringLiteral("伝票(%1)は登録されていません。").arg(typed);
}

} // namespace SlipText
