#include "io/IoLevels.h"

#include <algorithm>
#include <initializer_list>

#include "snmp/ModuleObjects.h"

namespace {

// Volts per raw count: 1/2730 for the three inputs of the older analog mode,
// 1/310 for the eight inputs of newer firmware.
constexpr double kThreeChannelScale = 0.0003663003663003663;
constexpr double kEightChannelScale = 0.0032258064516129032;

constexpr BoxMasks kAllBoxes {0xFF, 0xFF};
constexpr BoxMasks kOlderBoxes {0x0F, 0xAA};  // P3 bits 0-3, P5 bits 1, 3, 5, 7

const IoDataSet kDigitalOnly {
    "digital-only",
    {Oid::kPortP3, Oid::kPortP5, Oid::kPortP6},
    {},
    0.0,
    true,
};

const IoDataSet kThreeChannels {
    "three-channel",
    {Oid::kPortP3, Oid::kPortP5, Oid::kPortP6, Oid::kAnalogCh3, Oid::kAnalogCh5, Oid::kAnalogCh7},
    {2, 4, 6},
    kThreeChannelScale,
    false,
};

const IoDataSet kEightChannels {
    "eight-channel",
    {Oid::kPortP3Wide, Oid::kPortP5Wide, Oid::kPortP6Wide, Oid::AnalogChannel(1), Oid::AnalogChannel(2),
        Oid::AnalogChannel(3), Oid::AnalogChannel(4), Oid::AnalogChannel(5), Oid::AnalogChannel(6),
        Oid::AnalogChannel(7), Oid::AnalogChannel(8)},
    {0, 1, 2, 3, 4, 5, 6, 7},
    kEightChannelScale,
    false,
};

bool MinorIn(FirmwareVersion v, std::initializer_list<int> minors)
{
    return std::find(minors.begin(), minors.end(), v.minor) != minors.end();
}
bool DigitalMinor(FirmwareVersion v) { return MinorIn(v, {40, 50}); }
bool AnalogMinor(FirmwareVersion v) { return MinorIn(v, {60, 61, 62, 65, 66}); }
// From 4.070 on every P3 and P5 bit is an output, whatever the data set.
bool AllOutputs(FirmwareVersion v) { return v.Number() >= VersionNumber(4, 70); }

struct LevelRow {
    bool (*applies)(FirmwareVersion);
    IoLevel level;
};

// The data set follows the minor (eight channels only with major 4); the
// boxes follow the version number. First matching row wins.
const LevelRow kLevels[] = {
    {[](FirmwareVersion v) { return v.major == 4 && v.minor >= 70; }, {"4.070 and above", &kEightChannels, kAllBoxes}},
    {[](FirmwareVersion v) { return AllOutputs(v) && DigitalMinor(v); },
        {"newer major, digital minor", &kDigitalOnly, kAllBoxes}},
    {[](FirmwareVersion v) { return AllOutputs(v) && AnalogMinor(v); },
        {"newer major, analog minor", &kThreeChannels, kAllBoxes}},
    {AllOutputs, {"newer major, other minor", nullptr, kAllBoxes}},
    {DigitalMinor, {"4.040, 4.050", &kDigitalOnly, kOlderBoxes}},
    {AnalogMinor, {"4.060-4.066", &kThreeChannels, kOlderBoxes}},
    {[](FirmwareVersion) { return true; }, {"no I/O data", nullptr, std::nullopt}},
};

}  // namespace

const IoLevel& IoLevelFor(FirmwareVersion version)
{
    for (const LevelRow& row : kLevels) {
        if (row.applies(version))
            return row.level;
    }
    return kLevels[std::size(kLevels) - 1].level;
}
