#pragma once
#include <QString>

// The MAC text of a printed octet-string result: the 12 characters of the
// "Hex-STRING: " prefix skipped, the next 17 kept ("00 0A 1B 2C 3D 4E").
// The cut is by position only. Six printable bytes, which the library prints
// as STRING: "ABCDEF", are shown in the same hexadecimal form.
QString MacTextFromPrinted(const char* printed);
