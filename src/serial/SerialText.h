#pragma once
// The serial bridge's texts, free of any window (the line-setting lists are
// settings/SerialSettings.h's): the hexadecimal dump of received bytes, the decoding of the module's printed
// receive buffer, and the text view of received bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>

// Two upper-case digits and a blank per byte, CR LF after every 8th byte.
QString ToHexDump(const QByteArray& bytes);
// Blanks, CR and LF are skipped; the rest must be pairs of "0"-"9"/"A"-"F".
// Returns false for fewer than two digits, a character outside that set or
// a last digit without its partner; `bytes` then holds what was decoded
// before it.
bool FromHexDump(const QString& text, QByteArray& bytes);
// The quoted part of a printed string value back to its bytes: \a \b \f \n
// \r \t \v, \\ and \xHH; a backslash before any other character stands for
// that character; a backslash at the end is dropped. "\x" without two
// hexadecimal digits after it is kept as it stands.
QByteArray DecodeEscapes(const QByteArray& quoted);

// What a printed receive-buffer value holds.
struct ReceivedData {
    enum Form {
        Bytes,  // `bytes` is what the module received
        BadHexDump,  // a hexadecimal value that does not decode: no new data
        Empty,  // the buffer is empty
        NoOctetString,  // the answer held no octet string at all
    };
    Form form = Empty;
    QByteArray bytes;
};
// `printed` is the whole printed value: "Hex-STRING: 41 42 ", "STRING: \"AB\""
// or "\"\"" for an empty string; an empty text means no octet string came.
ReceivedData DecodeReceived(const QByteArray& printed);

// Received bytes as the text view shows them: each byte its Latin-1
// character, CR LF and LF as line breaks, and control characters (0 among
// them) as their visible control pictures (U+2400 for 0), so no byte is
// hidden and none cuts the text short.
QString ReceiveViewText(const QByteArray& bytes);

// A typed message as the bytes sent: every character must be a non-zero
// Latin-1 character; returns false (and leaves `bytes` alone) otherwise.
bool MessageBytes(const QString& message, QByteArray& bytes);
