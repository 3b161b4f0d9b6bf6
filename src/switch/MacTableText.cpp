#include "switch/MacTableText.h"

namespace {

int HexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

const char* const kRule = "=========================";  // 25 characters

}  // namespace

std::optional<MacSearchKey> ParseMacSearch(const QString& text)
{
    MacSearchKey key;
    QString digits = text;
    const bool dashes = digits.contains(QLatin1Char('-'));
    digits.remove(QLatin1Char('-'));
    const bool colons = digits.contains(QLatin1Char(':'));
    digits.remove(QLatin1Char(':'));
    digits.remove(QLatin1Char(' '));
    key.style = dashes ? MacStyle::Dash : colons ? MacStyle::Colon : MacStyle::Bare;
    if (digits.size() != 12)
        return std::nullopt;
    for (int i = 0; i < 6; ++i) {
        const int high = HexDigit(digits.at(2 * i));
        const int low = HexDigit(digits.at(2 * i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        key.bytes[i] = uint8_t(high * 16 + low);
    }
    return key;
}

MacWords WordsOfMac(const std::array<uint8_t, 6>& m)
{
    return MacWords {m[1] * 256 + m[0], m[3] * 256 + m[2], m[5] * 256 + m[4]};
}

QString FormatMacWords(const MacWords& words, MacStyle style)
{
    const char* format = style == MacStyle::Dash ? "%02X-%02X-%02X-%02X-%02X-%02X"
        : style == MacStyle::Colon               ? "%02X:%02X:%02X:%02X:%02X:%02X"
                                                 : "%02X%02X%02X%02X%02X%02X";
    return QString::asprintf(format, words.w244 & 255, (words.w244 >> 8) & 255, words.w243 & 255,
        (words.w243 >> 8) & 255, words.w242 & 255, (words.w242 >> 8) & 255);
}

bool IsValidMacEntry(int status)
{
    return ((status & 0x0F) != 0x0F && (status & 0x30) != 0) || (status & 0x40) != 0;
}

QString MacTableClipboardText(const QString& moduleIp, const std::vector<QStringList>& rows)
{
    const QString rule = QString::fromLatin1(kRule);
    QString text = QStringLiteral("MAC table for host: %1\r\n").arg(moduleIp);
    text += rule + QStringLiteral("\r\nMAC\tPort\tAge\r\n") + rule + QStringLiteral("\r\n");
    for (const QStringList& row : rows)
        text += row.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    return text;
}
