#pragma once

#include <QString>

// Employee passwords as salted, slow hashes: libsodium's Argon2id strings
// ("$argon2id$v=19$m=…,t=…,p=…$salt$hash"). A stored value that is not such
// a string is a clear password from older data, "" is none.
namespace PasswordHash {

// A new hash of clear (salted afresh every time).
QString make(const QString& clear);

bool isHash(const QString& stored);

// The typed password (trailing blanks removed) against a stored value:
// a hash is verified, a clear one compared as exact text, none ("") matches
// only an empty box.
bool matches(const QString& typed, const QString& stored);

// Everything of a hash but the hash itself: algorithm, costs and salt.
// A server hands out only this, never the hash.
QString settingOf(const QString& hash);

// The hash that typed gives under setting: equal to the stored hash exactly
// when typed is the password. "" when the setting cannot be read.
QString remake(const QString& typed, const QString& setting);

// The library's lightest costs: a test suite hashes hundreds of times.
void useLightCostForTests();

} // namespace PasswordHash
