#pragma once
#include <QByteArray>
#include <QString>

#include "snmp/PrintedMac.h"  // MacTextFromPrinted

// A MAC lock as the operator typed it: six hexadecimal bytes, separated by
// blanks, dashes or colons, or twelve digits in a row. On success `hex`
// holds the bytes as "00 11 22 33 44 55", the form the 'x' type letter takes.
bool MacLockToHex(const QString& text, QByteArray& hex);
