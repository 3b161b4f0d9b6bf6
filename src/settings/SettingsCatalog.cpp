#include "settings/SettingsCatalog.h"

#include <QRegularExpression>
#include <algorithm>

#include "res/MainDlgIds.h"
#include "settings/FeatureLevels.h"
#include "settings/MacText.h"
#include "settings/ModeBits.h"
#include "settings/SerialSettings.h"
#include "settings/SetterTable.h"
#include "settings/SettingsRead.h"
#include "settings/SwitchRegisterNames.h"
#include "settings/SwitchTables.h"
#include "settings/TrapSettings.h"
#include "snmp/ModuleAddress.h"

namespace {

QString OneLine(const char* caption)
{
    return QString::fromLatin1(caption ? caption : "").replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

QString Padded(int value, int width) { return QString::number(value).rightJustified(width, QLatin1Char('0')); }

// The main window's settings that the version's read fills (the MAC
// address is Info: read, never written).
void AddMain(const ModuleShape& shape, std::vector<SettingSpec>& specs)
{
    std::vector<int> read;
    for (ReadBatch batch : PlanRead(shape.version).batches)
        for (const SettingsObject& object : BatchObjects(batch))
            read.push_back(object.control);
    const auto& names = MainSettingNames();
    for (size_t i = 0; i < names.size(); ++i) {
        const MainSettingName& name = names[i];
        if (std::find(read.begin(), read.end(), name.control) == read.end())
            continue;
        const char* label = name.label ? name.label : LayoutFor(shape.version).pulseWidthLabel;
        const bool info = !SetterFor(name.control);
        specs.push_back(
            {name.key, OneLine(label), info ? SettingGroup::Info : SettingGroup::Main, info ? 1 : name.control});
    }
}

// The boxes the operator may change at this firmware.
void AddModes(const ModuleShape& shape, std::vector<SettingSpec>& specs)
{
    if (!shape.modeWords)
        return;
    for (const ModeBit& mode : kModeBits) {
        const ControlLook look = ModeBoxAt(shape.version, mode.control);
        if (look.enabled)
            specs.push_back({ModeKey(mode.word, mode.bit), OneLine(look.caption), SettingGroup::Modes,
                8 * (mode.word - 1) + mode.bit});
    }
}

void AddSerial(const ModuleShape& shape, std::vector<SettingSpec>& specs)
{
    if (!shape.serialPort)
        return;
    specs.push_back({"serial.baud", "Baud rate", SettingGroup::Serial, 0});
    specs.push_back({"serial.parity", "Parity", SettingGroup::Serial, 1});
    specs.push_back({"serial.receive_timeout", "Receive Timeout (x250ms)", SettingGroup::Serial, 2});
}

void AddTraps(const ModuleShape& shape, std::vector<SettingSpec>& specs)
{
    if (!shape.traps)
        return;
    specs.push_back({"trap.server", "Trap Server IP address", SettingGroup::Traps, 0});
    for (int n = 1; n <= 2 * kTrapChannels; ++n)
        specs.push_back({ThresholdKey(n),
            QStringLiteral("Ch.%1 %2 Threshold").arg((n + 1) / 2).arg(n % 2 ? "Low" : "High"), SettingGroup::Traps, n});
}

void AddSwitch(const ModuleShape& shape, std::vector<SettingSpec>& specs)
{
    if (!shape.switchBoard)
        return;
    for (int r = 0; r < SwitchMap::kRegisters; ++r) {
        QStringList names;
        for (const std::string& name : SwitchRegisterNames(r))
            names << QString::fromStdString(name);
        const QString label = QStringLiteral("register %1").arg(r);
        specs.push_back(
            {RegisterKey(r), names.isEmpty() ? label : label + ": " + names.join("; "), SettingGroup::Switch, r});
    }
}

bool ParseNumber(const QString& text, uint32_t& number)
{
    static const QRegularExpression digits("^[0-9]{1,10}$");
    if (!digits.match(text).hasMatch() || text.toULongLong() > 0xFFFFFFFFull)
        return false;
    number = static_cast<uint32_t>(text.toULongLong());
    return true;
}

QStringList ItemsOf(const SettingSpec& spec) { return spec.index == 0 ? BaudRateItems() : ParityItems(); }

QString RangeRefusal(uint32_t number, uint32_t min, uint32_t max)
{
    if (number >= min && number <= max)
        return QString();
    return QStringLiteral("%1 is outside %2..%3").arg(number).arg(min).arg(max);
}

}  // namespace

std::string ModeKey(int word, int bit) { return "mode" + std::to_string(word) + ".bit" + std::to_string(bit); }
std::string RegisterKey(int r) { return "switch.reg" + Padded(r, 3).toStdString(); }
std::string ThresholdKey(int n) { return "trap.ch" + std::to_string((n + 1) / 2) + (n % 2 ? ".low" : ".high"); }

bool ReadsModeWords(const FirmwareVersion& version)
{
    for (ReadBatch batch : PlanRead(version).batches)
        for (const SettingsObject& object : BatchObjects(batch))
            if (object.decode == SettingDecode::ModeWord1)
                return true;
    return false;
}

ModuleShape ShapeOf(const FirmwareVersion& version, bool modeWords, uint32_t modeWord1)
{
    ModuleShape shape;
    shape.version = version;
    shape.modeWords = modeWords;
    const auto bit = [&](int control) {
        for (const ModeBit& mode : kModeBits)
            if (mode.control == control)
                return modeWords && ModeBitSet(mode, modeWord1, 0);
        return false;
    };
    const WindowButtons buttons = WindowButtonsFor(version, bit(IDC_MODE_SWITCH_CONTROL), bit(IDC_MODE_P6_ANALOG));
    shape.switchBoard = buttons.switchWindows;
    shape.serialPort = buttons.rs232;
    shape.traps = buttons.traps;
    return shape;
}

std::vector<SettingSpec> SettingsOf(const ModuleShape& shape)
{
    std::vector<SettingSpec> specs {{"firmware", "Version", SettingGroup::Info, 0}};
    AddMain(shape, specs);
    AddModes(shape, specs);
    AddSerial(shape, specs);
    AddTraps(shape, specs);
    AddSwitch(shape, specs);
    // The MAC address goes with the firmware, before the settings.
    std::stable_sort(specs.begin(), specs.end(), SettingBefore);
    return specs;
}

bool SettingBefore(const SettingSpec& a, const SettingSpec& b)
{
    if (a.group != b.group)
        return a.group < b.group;
    if (a.group != SettingGroup::Main)
        return a.index < b.index;
    const auto& names = MainSettingNames();
    const auto rank = [&names](const SettingSpec& spec) {
        return std::find_if(names.begin(), names.end(), [&spec](const MainSettingName& name) {
            return name.key == spec.key;
        }) - names.begin();
    };
    return rank(a) < rank(b);
}

bool CanonicalValue(const SettingSpec& spec, const QString& text, QString& canonical, QString& error)
{
    const QString value = text.trimmed();
    uint32_t number = 0;
    const SetterSpec* setter = spec.group == SettingGroup::Main ? SetterFor(spec.index) : nullptr;
    const bool address = (setter && setter->kind == SetterField::IpAddress) || spec.key == "trap.server";
    const bool mac = (setter && setter->kind == SetterField::MacLock) || spec.key == "mac";
    if (spec.key == "firmware") {
        static const QRegularExpression version("^([0-9]{1,3})\\.([0-9]{3})$");
        const auto match = version.match(value);
        canonical = value;
        error = "not a firmware version such as 4.073";
        return match.hasMatch() && match.captured(1).toInt() <= 255 && match.captured(2).toInt() <= 255;
    }
    if (address) {
        const auto parsed = ParseDottedIpv4(value.toStdString());
        canonical = parsed ? QString::fromStdString(DottedIpv4(*parsed)) : QString();
        error = "not an IPv4 address of four decimal parts";
        return bool(parsed);
    }
    if (mac) {
        // A module may hold no six bytes; that is kept, and never sent.
        QByteArray hex;
        canonical = value.isEmpty() || !MacLockToHex(value, hex) ? value : QString::fromLatin1(hex);
        error = "not six hexadecimal bytes";
        return value.isEmpty() || !hex.isEmpty();
    }
    switch (spec.group) {
    case SettingGroup::Modes:
        canonical = value;
        error = "neither on nor off";
        return value == "on" || value == "off";
    case SettingGroup::Switch: {
        static const QRegularExpression hex("^0[xX][0-9A-Fa-f]{2}$");
        canonical = QStringLiteral("0x") + value.mid(2).toUpper();
        error = "not a register value 0x00 to 0xFF";
        return hex.match(value).hasMatch();
    }
    case SettingGroup::Serial:
        if (spec.index != 2) {
            canonical = value;
            error = "not one of " + ItemsOf(spec).join(", ") + " (or none)";
            return value == "none" || ItemsOf(spec).contains(value);
        }
        break;
    default: break;
    }
    error = "not a decimal number";
    if (!ParseNumber(value, number))
        return false;
    canonical = QString::number(number);
    return true;
}

QString WriteRefusal(const SettingSpec& spec, const QString& value)
{
    if (spec.group == SettingGroup::Info)
        return "it is read, never written";
    if (spec.group == SettingGroup::Serial && spec.index != 2)
        return value == "none" ? "no item of the list is chosen" : QString();
    uint32_t number = 0;
    const bool isNumber = ParseNumber(value, number);
    if (spec.group == SettingGroup::Serial)
        return RangeRefusal(number, 0, SerialSettings::kMaxTimeout);
    if (spec.group == SettingGroup::Traps && spec.index > 0)
        return RangeRefusal(number, 0, TrapSettings::kThresholdMax);
    const SetterSpec* setter = spec.group == SettingGroup::Main ? SetterFor(spec.index) : nullptr;
    if (!setter)
        return QString();
    switch (setter->kind) {
    case SetterField::Number:
        return isNumber ? RangeRefusal(number, setter->check.min, setter->check.max) : QString("not a number");
    case SetterField::MacLock: {
        SnmpVarSpec var;
        return SetterWrite(*setter, value, 0, var) ? QString() : QString("not six hexadecimal bytes");
    }
    case SetterField::IpAddress: {
        const auto address = ParseDottedIpv4(value.toStdString());
        const char* refusal = address ? SetterAddressRefusal(*setter, *address) : "not an address";
        return refusal ? QString::fromLatin1(refusal) : QString();
    }
    }
    return QString();
}
