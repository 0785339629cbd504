#include "core/passwordhash.h"

#include "core/apperror.h"
#include "core/bytetext.h"

#include <QByteArray>
#include <QRegularExpression>
#include <sodium.h>

namespace {

// Costs fit for a login on an office PC: a fraction of a second and 64 MiB.
unsigned long long gOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
size_t gMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

// The string form of the library: 32 bytes of hash, base64 without padding.
constexpr size_t kHashBytes = 32;
constexpr int kBase64 = sodium_base64_VARIANT_ORIGINAL_NO_PADDING;

void initialise() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw AppError(QStringLiteral("パスワードの暗号化ライブラリを初期化できません。"
                                      "libsodium の導入を確かめて下さい。"));
}

QByteArray passwordBytes(const QString& typed) {
    return rtrim(typed).toUtf8();
}

} // namespace

namespace PasswordHash {

QString make(const QString& clear) {
    initialise();
    const QByteArray pw = passwordBytes(clear);
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, pw.constData(), pw.size(), gOpsLimit, gMemLimit) != 0)
        throw AppError(QStringLiteral("パスワードを暗号化するメモリが足りません。"
                                      "他のプログラムを閉じてやり直して下さい。"));
    return QString::fromLatin1(out);
}

bool isHash(const QString& stored) {
    return stored.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

bool matches(const QString& typed, const QString& stored) {
    if (!isHash(stored))
        return rtrim(typed) == stored;
    initialise();
    const QByteArray pw = passwordBytes(typed);
    return crypto_pwhash_str_verify(stored.toLatin1().constData(), pw.constData(), pw.size()) == 0;
}

QString settingOf(const QString& hash) {
    return isHash(hash) ? hash.left(hash.lastIndexOf(QLatin1Char('$'))) : QString();
}

QString remake(const QString& typed, const QString& setting) {
    static const QRegularExpression form(
        QStringLiteral("^\\$argon2id\\$v=19\\$m=(\\d{1,7}),t=(\\d{1,3}),p=1\\$([A-Za-z0-9+/]+)$"));
    const QRegularExpressionMatch m = form.match(setting);
    if (!m.hasMatch())
        return {};
    const QByteArray salt64 = m.captured(3).toLatin1();
    unsigned char salt[crypto_pwhash_SALTBYTES];
    size_t saltLength = 0;
    if (sodium_base642bin(salt, sizeof salt, salt64.constData(), salt64.size(), nullptr,
                          &saltLength, nullptr, kBase64) != 0 ||
        saltLength != sizeof salt)
        return {};
    initialise();
    const QByteArray pw = passwordBytes(typed);
    unsigned char hash[kHashBytes];
    if (crypto_pwhash(hash, sizeof hash, pw.constData(), pw.size(), salt,
                      m.captured(2).toULongLong(), m.captured(1).toULongLong() * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    char encoded[sodium_base64_ENCODED_LEN(kHashBytes, kBase64)];
    sodium_bin2base64(encoded, sizeof encoded, hash, sizeof hash, kBase64);
    return setting + QLatin1Char('$') + QString::fromLatin1(encoded);
}

void useLightCostForTests() {
    gOpsLimit = crypto_pwhash_OPSLIMIT_MIN;
    gMemLimit = crypto_pwhash_MEMLIMIT_MIN;
}

} // namespace PasswordHash
