#include "snmp/PrintedMac.h"

#include <QByteArray>
#include <cstring>

namespace {
constexpr size_t kHexPrefixLength = 12;  // "Hex-STRING: "
constexpr int kMacTextLength = 17;  // six bytes, two digits and a blank each

// The library prints six bytes that happen to be printable characters as
// STRING: "..." (with '"' and '\\' escaped); those bytes are shown in hex too.
bool QuotedBytes(const char* printed, QByteArray& bytes)
{
    static const char kPrefix[] = "STRING: \"";
    if (strncmp(printed, kPrefix, sizeof kPrefix - 1) != 0)
        return false;
    const char* end = strrchr(printed, '"');
    for (const char* p = printed + sizeof kPrefix - 1; p < end; ++p) {
        if (*p == '\\' && p + 1 < end)
            ++p;
        bytes.append(*p);
    }
    return true;
}
}  // namespace

QString MacTextFromPrinted(const char* printed)
{
    if (QByteArray bytes; QuotedBytes(printed, bytes))
        return QString::fromLatin1(bytes.left(6).toHex(' ').toUpper());
    if (strlen(printed) <= kHexPrefixLength)
        return QString();
    return QString::fromLatin1(printed + kHexPrefixLength).left(kMacTextLength);
}
