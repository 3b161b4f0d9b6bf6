#include "serial/SerialText.h"

#include <cstring>

namespace {

constexpr int kBytesPerDumpLine = 8;
const char* const kHexDigits = "0123456789ABCDEF";
constexpr ushort kControlPictures = 0x2400;  // U+2400 "SYMBOL FOR NULL" and its row
constexpr ushort kDeletePicture = 0x2421;

int HexValue(char c, bool anyCase)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (anyCase && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char ControlOfEscape(char letter)
{
    switch (letter) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return 0;
    }
}

bool StartsWith(const QByteArray& text, const char* marker) { return text.startsWith(QByteArray(marker)); }

}  // namespace

QString ToHexDump(const QByteArray& bytes)
{
    QString dump;
    dump.reserve(bytes.size() * 3 + bytes.size() / kBytesPerDumpLine * 2);
    for (int i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        dump += QLatin1Char(kHexDigits[byte >> 4]);
        dump += QLatin1Char(kHexDigits[byte & 15]);
        dump += QLatin1Char(' ');
        if ((i + 1) % kBytesPerDumpLine == 0)
            dump += QStringLiteral("\r\n");
    }
    return dump;
}

bool FromHexDump(const QString& text, QByteArray& bytes)
{
    QByteArray digits;
    digits.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            continue;
        // A character beyond Latin-1 is no digit; '?' stands for it.
        digits += c.unicode() < 0x100 ? char(c.unicode()) : '?';
    }
    bytes.clear();
    if (digits.size() < 2)
        return false;
    for (int i = 0; i < digits.size(); i += 2) {
        if (i + 1 >= digits.size())
            return false;
        const int high = HexValue(digits.at(i), false);
        const int low = HexValue(digits.at(i + 1), false);
        if (high < 0 || low < 0)
            return false;
        bytes += char(high * 16 + low);
    }
    return true;
}

QByteArray DecodeEscapes(const QByteArray& quoted)
{
    QByteArray bytes;
    bytes.reserve(quoted.size());
    const int n = quoted.size();
    for (int i = 0; i < n;) {
        const char c = quoted.at(i);
        if (c != '\\') {
            bytes += c;
            ++i;
            continue;
        }
        if (i + 1 >= n)
            break;  // a backslash at the very end
        const char letter = quoted.at(i + 1);
        if (const char control = ControlOfEscape(letter)) {
            bytes += control;
            i += 2;
        } else if (letter == 'x') {
            const int high = i + 2 < n ? HexValue(quoted.at(i + 2), true) : -1;
            const int low = i + 3 < n ? HexValue(quoted.at(i + 3), true) : -1;
            if (high >= 0 && low >= 0) {
                bytes += char(high * 16 + low);
                i += 4;
            } else {
                bytes += "\\x";  // kept as it stands; what follows is read as usual
                i += 2;
            }
        } else {
            bytes += letter;  // \\ and \" among them
            i += 2;
        }
    }
    return bytes;
}

ReceivedData DecodeReceived(const QByteArray& printed)
{
    static const char* const kHexMarker = "Hex-STRING: ";
    static const char* const kStringMarker = "STRING: \"";
    ReceivedData data;
    if (printed.isEmpty()) {
        data.form = ReceivedData::NoOctetString;
    } else if (StartsWith(printed, kHexMarker)) {
        const bool decoded = FromHexDump(QString::fromLatin1(printed.mid(int(strlen(kHexMarker)))), data.bytes);
        data.form = decoded ? ReceivedData::Bytes : ReceivedData::BadHexDump;
        if (!decoded)
            data.bytes.clear();
    } else if (StartsWith(printed, kStringMarker) && printed.size() > int(strlen(kStringMarker))) {
        const QByteArray quoted = printed.mid(int(strlen(kStringMarker)));
        data.form = ReceivedData::Bytes;
        data.bytes = DecodeEscapes(quoted.left(quoted.size() - 1));  // without the closing quotation mark
    } else {
        data.form = ReceivedData::Empty;
    }
    return data;
}

QString ReceiveViewText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        const bool lineBreak = byte == '\n' || (byte == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n');
        if (byte >= 0x20 && byte != 0x7F)
            text += QChar(byte);
        else if (byte == '\t' || lineBreak)
            text += QChar(byte);
        else if (byte == 0x7F)
            text += QChar(kDeletePicture);
        else
            text += QChar(ushort(kControlPictures + byte));
    }
    return text;
}

bool MessageBytes(const QString& message, QByteArray& bytes)
{
    for (QChar c : message)
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            return false;
    bytes = message.toLatin1();
    return true;
}
