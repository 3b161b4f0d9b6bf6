#include "snmp/FirmwareVersion.h"

FirmwareVersion FirmwareVersion::FromWord(int32_t word)
{
    FirmwareVersion v;
    const auto bits = static_cast<uint32_t>(word);
    v.major = static_cast<uint8_t>((bits >> 8) & 0xFF);
    v.minor = static_cast<uint8_t>(bits & 0xFF);
    return v;
}

QString FirmwareVersion::Text() const { return QString::asprintf("%d.%03d", major, minor); }

bool SwitchBoardUsable(const FirmwareVersion& version, bool switchControl)
{
    return switchControl && version.minor != 75 && version.minor != 79;
}
