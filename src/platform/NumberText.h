#pragma once
// Numbers as the dialog framework reads and writes them in edit controls.
//
// Reading: leading blanks and tabs are skipped, the number may be followed by
// blanks and tabs only, and a result of zero needs text that starts with '0'
// (so "+0", "-0" and ".0" are refused). An empty text, a '-' in front of an
// unsigned number and a value that does not fit the type are refused too.

#include <QString>
#include <cstdint>
#include <optional>

namespace NumberText {
std::optional<uint32_t> ParseUnsigned(const QString& text);
std::optional<int32_t> ParseSigned(const QString& text);
std::optional<double> ParseReal(const QString& text);

// "%.*g": 6 significant digits for a float, 15 for a double.
QString FormatReal(double value, int significantDigits);
enum : int { kFloatDigits = 6, kDoubleDigits = 15 };
}  // namespace NumberText
