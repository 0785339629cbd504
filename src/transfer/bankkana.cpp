#include "transfer/bankkana.h"

#include "core/apperror.h"

#include <QHash>

#include <algorithm>

namespace {

// Full-width katakana ア (U+30A1) to ヶ (U+30F6) in half-width form; small
// kana are written large, as banks require. Empty: none.
const char16_t* const kKatakana[] = {
    u"ｱ",  u"ｱ",  u"ｲ",  u"ｲ",  u"ｳ",  u"ｳ",  u"ｴ",  u"ｴ",  u"ｵ",  u"ｵ",  u"ｶ", u"ｶﾞ", //
    u"ｷ",  u"ｷﾞ", u"ｸ",  u"ｸﾞ", u"ｹ",  u"ｹﾞ", u"ｺ",  u"ｺﾞ", u"ｻ",  u"ｻﾞ", u"ｼ", u"ｼﾞ", //
    u"ｽ",  u"ｽﾞ", u"ｾ",  u"ｾﾞ", u"ｿ",  u"ｿﾞ", u"ﾀ",  u"ﾀﾞ", u"ﾁ",  u"ﾁﾞ", u"ﾂ", u"ﾂ",  //
    u"ﾂﾞ", u"ﾃ",  u"ﾃﾞ", u"ﾄ",  u"ﾄﾞ", u"ﾅ",  u"ﾆ",  u"ﾇ",  u"ﾈ",  u"ﾉ",  u"ﾊ", u"ﾊﾞ", //
    u"ﾊﾟ", u"ﾋ",  u"ﾋﾞ", u"ﾋﾟ", u"ﾌ",  u"ﾌﾞ", u"ﾌﾟ", u"ﾍ",  u"ﾍﾞ", u"ﾍﾟ", u"ﾎ", u"ﾎﾞ", //
    u"ﾎﾟ", u"ﾏ",  u"ﾐ",  u"ﾑ",  u"ﾒ",  u"ﾓ",  u"ﾔ",  u"ﾔ",  u"ﾕ",  u"ﾕ",  u"ﾖ", u"ﾖ",  //
    u"ﾗ",  u"ﾘ",  u"ﾙ",  u"ﾚ",  u"ﾛ",  u"ﾜ",  u"ﾜ",  u"ｲ",  u"ｴ",  u"ｵ",  u"ﾝ", u"ｳﾞ", //
    u"ｶ",  u"ｹ"};
constexpr char16_t kFirstKatakana = u'ァ';
constexpr char16_t kLastKatakana = u'ヶ';

// Half-width small kana and marks that banks want otherwise. ｦ is no bank
// character either; its sound is ｵ.
const QHash<char16_t, QString> kHalfWidth = {{u'ｧ', "ｱ"}, {u'ｨ', "ｲ"}, {u'ｩ', "ｳ"}, {u'ｪ', "ｴ"},
                                             {u'ｫ', "ｵ"}, {u'ｬ', "ﾔ"}, {u'ｭ', "ﾕ"}, {u'ｮ', "ﾖ"},
                                             {u'ｯ', "ﾂ"}, {u'ｰ', "-"}, {u'ｦ', "ｵ"}, {u'･', "."}};

// Marks and symbols typed in full width.
const QHash<char16_t, QString> kSymbols = {
    {u'ー', "-"}, {u'－', "-"}, {u'‐', "-"},      {u'−', "-"},     {u'　', " "},
    {u'（', "("}, {u'）', ")"}, {u'．', "."},     {u'／', "/"},    {u'・', "."},
    {u'゛', "ﾞ"}, {u'゜', "ﾟ"}, {u'\u3099', "ﾞ"}, {u'\u309A', "ﾟ"}};

bool accepted(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'ｱ' && u <= u'ﾟ') ||
           u == u' ' || u == u'(' || u == u')' || u == u'.' || u == u'-' || u == u'/';
}

// The form of one character, "" when there is none.
QString converted(char16_t u, bool atStart) {
    if (u >= u'ぁ' && u <= u'ゖ')
        u = char16_t(u + (u'ァ' - u'ぁ'));
    if (u >= kFirstKatakana && u <= kLastKatakana)
        return QString::fromUtf16(kKatakana[u - kFirstKatakana]);
    if (u >= u'！' && u <= u'～')
        u = char16_t(u - (u'！' - u'!'));
    if (u >= u'a' && u <= u'z')
        u = char16_t(u - ('a' - 'A'));
    if (u == u'㈱')
        return atStart ? QStringLiteral("ｶ)") : QStringLiteral("(ｶ");
    if (u == u'㈲')
        return atStart ? QStringLiteral("ﾕ)") : QStringLiteral("(ﾕ");
    if (const auto half = kHalfWidth.constFind(u); half != kHalfWidth.constEnd())
        return *half;
    if (const auto symbol = kSymbols.constFind(u); symbol != kSymbols.constEnd())
        return *symbol;
    const QChar c(u);
    return accepted(c) ? QString(c) : QString();
}

} // namespace

namespace BankKana {

QString fromTyped(const QString& typed) {
    QString result;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QString part = converted(typed.at(i).unicode(), result.trimmed().isEmpty());
        if (part.isEmpty()) {
            const QString shown = typed.at(i).isHighSurrogate() ? typed.mid(i, 2) : typed.mid(i, 1);
            throw AppError(QStringLiteral("口座名義に使えない文字があります:「%1」。"
                                          "カタカナかひらがな、英数字で入力して下さい。")
                               .arg(shown));
        }
        result += part;
    }
    return result;
}

bool isAccepted(const QString& text) {
    return std::all_of(text.begin(), text.end(), accepted);
}

QByteArray toJisBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!accepted(c))
            bytes += '?';
        else if (u >= u'｡')
            bytes += char(0xA1 + (u - u'｡'));
        else
            bytes += char(u);
    }
    return bytes;
}

} // namespace BankKana
