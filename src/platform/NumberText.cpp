#include "platform/NumberText.h"

#include <cctype>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <QByteArray>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// The C library's conversions skip any white space before the sign.
const char* SkipSpace(const char* p)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

bool OnlyBlanksFollow(const char* p) { return *SkipBlanks(p) == '\0'; }

const char* SkipDigits(const char* p)
{
    while (std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

struct ScannedInteger {
    bool negative = false;
    uint64_t magnitude = 0;
    bool tooLarge = false;
    const char* end = nullptr;  // first character after the digits
};

// [space][sign]digits; nullopt when there are no digits.
std::optional<ScannedInteger> ScanInteger(const char* p)
{
    ScannedInteger scanned;
    p = SkipSpace(p);
    if (*p == '+' || *p == '-')
        scanned.negative = (*p++ == '-');
    const char* digits = p;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        scanned.magnitude = scanned.magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (scanned.magnitude > std::numeric_limits<uint32_t>::max())
            scanned.tooLarge = true;
        if (scanned.tooLarge)
            scanned.magnitude = uint64_t(1) << 33;  // keep it from wrapping
    }
    if (p == digits)
        return std::nullopt;
    scanned.end = p;
    return scanned;
}

// End of [space][sign]digits[.digits][e[sign]digits], nullptr without a digit
// in the mantissa. An exponent without digits is not part of the number.
const char* ScanRealEnd(const char* p)
{
    p = SkipSpace(p);
    if (*p == '+' || *p == '-')
        ++p;
    const char* mantissa = p;
    p = SkipDigits(p);
    bool hasDigits = p != mantissa;
    if (*p == '.') {
        const char* fraction = p + 1;
        p = SkipDigits(fraction);
        hasDigits = hasDigits || p != fraction;
    }
    if (!hasDigits)
        return nullptr;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        const char* afterExponent = SkipDigits(exponent);
        if (afterExponent != exponent)
            p = afterExponent;
    }
    return p;
}

double ConvertInCLocale(const QByteArray& number)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(number.constData(), nullptr, cLocale);
}

}  // namespace

namespace NumberText {

std::optional<uint32_t> ParseUnsigned(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    const char* start = SkipBlanks(latin1.constData());
    if (*start == '-')
        return std::nullopt;
    const std::optional<ScannedInteger> scanned = ScanInteger(start);
    if (!scanned || scanned->negative || scanned->tooLarge)
        return std::nullopt;
    if (scanned->magnitude == 0 && *start != '0')
        return std::nullopt;
    if (!OnlyBlanksFollow(scanned->end))
        return std::nullopt;
    return static_cast<uint32_t>(scanned->magnitude);
}

std::optional<int32_t> ParseSigned(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    const char* start = SkipBlanks(latin1.constData());
    const std::optional<ScannedInteger> scanned = ScanInteger(start);
    if (!scanned || scanned->tooLarge)
        return std::nullopt;
    const uint64_t limit = scanned->negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1;
    if (scanned->magnitude > limit)
        return std::nullopt;
    if (scanned->magnitude == 0 && *start != '0')
        return std::nullopt;
    if (!OnlyBlanksFollow(scanned->end))
        return std::nullopt;
    const int64_t value = scanned->negative ? -int64_t(scanned->magnitude) : int64_t(scanned->magnitude);
    return static_cast<int32_t>(value);
}

std::optional<double> ParseReal(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    const char* start = SkipBlanks(latin1.constData());
    const char* end = ScanRealEnd(start);
    if (!end || !OnlyBlanksFollow(end))
        return std::nullopt;
    const double value = ConvertInCLocale(QByteArray(start, int(end - start)));
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0.0 && *start != '0')
        return std::nullopt;
    return value;
}

QString FormatReal(double value, int significantDigits) { return QString::asprintf("%.*g", significantDigits, value); }

}  // namespace NumberText
