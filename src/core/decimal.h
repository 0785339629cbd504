#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>

// An exact decimal number held as digit text, so that reading box text and
// rounding for display never pass through binary floating point.
class Decimal {
  public:
    Decimal() = default; // zero

    static Decimal fromInteger(qint64 value);
    // mantissa × 10^-scale, e.g. (12345, 4) is 1.2345.
    static Decimal fromScaled(qint64 mantissa, int scale);
    // The shortest decimal that reads back as exactly this double (0.1 is
    // 0.1, not 0.1000000000000000055...). Throws AppError for inf and NaN.
    static Decimal fromDouble(double value);
    // Reads text as the run time's Val does: leading blanks, an optional
    // sign, digits, an optional "." and fraction digits, stopping at the
    // first character it cannot read ("12x" is 12, "abc" is 0). Thousands
    // separators in the whole part are skipped, so "1,234" is 1234.
    static Decimal readVal(const QString& text);

    bool isZero() const { return m_whole.empty() && m_fraction.empty(); }
    bool isNegative() const { return m_negative; }
    // Digits of the whole part without leading zeros ("" for zero) and of
    // the fraction without trailing zeros.
    const std::string& wholeDigits() const { return m_whole; }
    const std::string& fractionDigits() const { return m_fraction; }

    // Rounded to `places` fraction digits, an exact half going away from zero.
    Decimal roundedHalfAway(int places) const;
    // value × 10^scale rounded half away from zero; nullopt when it does not
    // fit a qint64.
    std::optional<qint64> toScaled(int scale) const;

    QString toText() const; // plain form: "-1234.5", "0"

    friend bool operator==(const Decimal&, const Decimal&) = default;

  private:
    static Decimal fromParts(bool negative, std::string digits, qint64 wholeCount);
    void normalise();

    bool m_negative = false;
    std::string m_whole;    // no leading zeros
    std::string m_fraction; // no trailing zeros
};
