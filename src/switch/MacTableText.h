#pragma once
// The MAC table's words and texts, free of any window: reading a searched
// address as typed, the three MAC words the switch holds, the entry status
// word, the walk's table index and the clipboard text of the result list.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// How the operator separated the bytes of a searched address; a found
// address is printed back the same way (dashes win over colons).
enum class MacStyle { Bare, Colon, Dash };

struct MacSearchKey {
    std::array<uint8_t, 6> bytes {};  // in the order typed
    MacStyle style = MacStyle::Bare;
};

// Every "-", ":" and " " removed, the rest must be exactly twelve
// hexadecimal digits (either case); anything else gives nothing.
std::optional<MacSearchKey> ParseMacSearch(const QString& text);

// The three access words of an address m1..m6: each holds two consecutive
// bytes, the earlier in the low 8 bits.
struct MacWords {
    int w244 = 0;  // m2·256 + m1
    int w243 = 0;  // m4·256 + m3
    int w242 = 0;  // m6·256 + m5
};
MacWords WordsOfMac(const std::array<uint8_t, 6>& bytes);
// The address held by three words, printed in `style` with upper-case digits.
QString FormatMacWords(const MacWords& words, MacStyle style);

// Entry status word of the last table operation.
bool IsValidMacEntry(int status);
inline int EntryPort(int status) { return status & 7; }
inline int EntryAge(int status) { return (status >> 4) & 3; }

// The walk: 1024 entries, 256 rows of 4. Entry i is addressed by
// (i >> 2)·256 + (i AND 3).
inline constexpr int kMacTableEntries = 1024;
inline int WalkIndexWord(int entry) { return (entry >> 2) * 256 + (entry & 3); }

// The clipboard text of the result list: four header lines naming the
// module, then one TAB-separated line per row, every line ending in CR LF.
QString MacTableClipboardText(const QString& moduleIp, const std::vector<QStringList>& rows);
