#include "settings/SettingsApplyPlan.h"

#include <algorithm>
#include <map>
#include <utility>

#include "res/MainDlgIds.h"
#include "settings/ModeBits.h"
#include "settings/SetterTable.h"
#include "snmp/ModuleObjects.h"

namespace {

using Specs = std::map<std::string, SettingSpec>;

Specs SpecsOf(const SettingsSnapshot& snapshot)
{
    Specs specs;
    for (const SettingSpec& spec : SettingsOf(snapshot.shape))
        specs[spec.key] = spec;
    return specs;
}

bool Chosen(const std::vector<std::string>& keys, const std::string& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The value the window would send: the file's for a chosen setting, else
// what the module holds.
QString Wanted(const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys,
    const std::string& key)
{
    return Chosen(keys, key) ? file.Value(key) : module.Value(key);
}

std::vector<std::string> ChosenOf(const std::vector<std::string>& keys, const Specs& specs, SettingGroup group)
{
    std::vector<std::string> chosen;
    for (const std::string& key : keys)
        if (specs.count(key) && specs.at(key).group == group)
            chosen.push_back(key);
    return chosen;
}

// The setters of the chosen settings: all but the module's own address, or
// that one only.
void AddSetters(const SettingsSnapshot& file, const std::vector<std::string>& keys, const Specs& specs,
    bool moduleAddress, std::vector<ApplyStep>& steps)
{
    for (const SetterSpec& setter : kSetters) {
        if ((setter.button == IDC_SET_IP) != moduleAddress)
            continue;
        const auto spec = std::find_if(specs.begin(), specs.end(), [&setter](const auto& entry) {
            return entry.second.group == SettingGroup::Main && entry.second.index == setter.field;
        });
        if (spec == specs.end() || !Chosen(keys, spec->first))
            continue;
        const QString value = file.Value(spec->first);
        ApplyStep step;
        step.keys = {spec->first};
        step.writes.resize(1);
        SetterWrite(setter, value, value.toUInt(), step.writes[0]);
        step.moduleAddress = moduleAddress;
        steps.push_back(step);
    }
}

void AddModes(const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys,
    const Specs& specs, std::vector<ApplyStep>& steps)
{
    const std::vector<std::string> chosen = ChosenOf(keys, specs, SettingGroup::Modes);
    if (chosen.empty())
        return;
    std::array<uint32_t, 2> words = module.modeWords;
    for (const std::string& key : chosen) {
        const int index = specs.at(key).index;
        const uint32_t bit = 1u << (index % 8);
        words[size_t(index / 8)]
            = file.Value(key) == "on" ? words[size_t(index / 8)] | bit : words[size_t(index / 8)] & ~bit;
    }
    for (const ModePass& pass : ModeWritePasses(module.shape.version.minor, words[0], words[1])) {
        ApplyStep step;
        step.group = SettingGroup::Modes;
        step.writes = pass.writes;
        step.pauseBeforeMs = pass.pauseBeforeMs;
        for (const std::string& key : chosen) {
            const char* oid = specs.at(key).index < 8 ? Oid::kModeWord1 : Oid::kModeWord2;
            if (std::any_of(
                    pass.writes.begin(), pass.writes.end(), [oid](const SnmpVarSpec& w) { return w.oid == oid; }))
                step.keys.push_back(key);
        }
        steps.push_back(step);
    }
}

void AddSerial(const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys,
    const Specs& specs, std::vector<ApplyStep>& steps)
{
    const std::vector<std::string> chosen = ChosenOf(keys, specs, SettingGroup::Serial);
    if (chosen.empty())
        return;
    ApplyStep step;
    step.group = SettingGroup::Serial;
    step.keys = chosen;
    step.writes = SerialSettings::Writes(int(BaudRateItems().indexOf(Wanted(module, file, keys, "serial.baud"))),
        int(ParityItems().indexOf(Wanted(module, file, keys, "serial.parity"))),
        Wanted(module, file, keys, "serial.receive_timeout").toUInt());
    steps.push_back(step);
}

void AddTraps(const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys,
    const Specs& specs, std::vector<ApplyStep>& steps)
{
    const std::vector<std::string> chosen = ChosenOf(keys, specs, SettingGroup::Traps);
    if (chosen.empty())
        return;
    TrapValues wanted = module.traps;
    wanted.server = Wanted(module, file, keys, "trap.server");
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        wanted.low[channel] = int32_t(Wanted(module, file, keys, ThresholdKey(2 * channel + 1)).toUInt());
        wanted.high[channel] = int32_t(Wanted(module, file, keys, ThresholdKey(2 * channel + 2)).toUInt());
    }
    ApplyStep step;
    step.group = SettingGroup::Traps;
    step.keys = chosen;
    step.writes = TrapSettings::Changes(module.traps, wanted);
    steps.push_back(step);
}

void AddSwitch(const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys,
    const Specs& specs, std::vector<ApplyStep>& steps)
{
    const std::vector<std::string> chosen = ChosenOf(keys, specs, SettingGroup::Switch);
    if (chosen.empty())
        return;
    ApplyStep step;
    step.group = SettingGroup::Switch;
    step.keys = chosen;
    step.switchUpload = true;
    step.image = module.image;
    for (const std::string& key : chosen)
        step.image.SetRegister(specs.at(key).index, uint8_t(file.Value(key).mid(2).toUInt(nullptr, 16)));
    steps.push_back(step);
}

}  // namespace

std::vector<ApplyRefusal> CheckFileValues(const SettingsSnapshot& file, bool withAddress)
{
    std::vector<ApplyRefusal> refusals;
    for (const SettingSpec& spec : SettingsOf(file.shape)) {
        if (spec.group == SettingGroup::Info || (spec.key == "ip" && !withAddress))
            continue;
        const QString refusal = WriteRefusal(spec, file.Value(spec.key));
        if (!refusal.isEmpty())
            refusals.push_back({spec.key, refusal});
    }
    return refusals;
}

std::vector<ApplyRefusal> CheckApply(
    const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys)
{
    const Specs moduleSpecs = SpecsOf(module);
    const Specs fileSpecs = SpecsOf(file);
    const QString firmware = module.shape.version.Text();
    std::vector<ApplyRefusal> refusals;
    bool noSwitch = false;
    for (const std::string& key : keys) {
        const auto spec = moduleSpecs.find(key);
        if (spec == moduleSpecs.end()) {
            const bool registers = fileSpecs.count(key) && fileSpecs.at(key).group == SettingGroup::Switch;
            if (registers && std::exchange(noSwitch, true))
                continue;
            refusals.push_back(registers
                    ? ApplyRefusal {"switch registers",
                        "the module has no switch board to write (Trellim control mode off, or firmware " + firmware
                            + " without the switch windows)"}
                    : ApplyRefusal {key,
                        "the module (firmware " + firmware + ") has no "
                            + (fileSpecs.count(key) ? fileSpecs.at(key).label : QString::fromStdString(key))});
            continue;
        }
        // A bit or a number that means something else on the module's firmware.
        const QString fileLabel = fileSpecs.count(key) ? fileSpecs.at(key).label : spec->second.label;
        if (fileLabel != spec->second.label) {
            refusals.push_back({key,
                "it is " + fileLabel + " on the file's firmware " + file.shape.version.Text() + " but "
                    + spec->second.label + " on the module's " + firmware});
            continue;
        }
        const QString refusal = WriteRefusal(spec->second, file.Value(key));
        if (!refusal.isEmpty())
            refusals.push_back({key, refusal});
    }
    // The serial window sends its three settings together.
    for (const auto& [key, spec] : moduleSpecs)
        if (spec.group == SettingGroup::Serial && !ChosenOf(keys, moduleSpecs, SettingGroup::Serial).empty()
            && !Chosen(keys, key) && !WriteRefusal(spec, module.Value(key)).isEmpty())
            refusals.push_back({key,
                "the module's value is not one of the list: it is sent with the others; "
                "give it in the file"});
    return refusals;
}

std::vector<ApplyStep> PlanApply(
    const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys)
{
    const Specs specs = SpecsOf(module);
    std::vector<ApplyStep> steps;
    AddSetters(file, keys, specs, false, steps);
    AddModes(module, file, keys, specs, steps);
    AddSerial(module, file, keys, specs, steps);
    AddTraps(module, file, keys, specs, steps);
    AddSwitch(module, file, keys, specs, steps);
    AddSetters(file, keys, specs, true, steps);
    return steps;
}

std::vector<std::string> KeysToApply(
    const std::vector<SettingDifference>& differences, const SettingsSnapshot& file, bool withAddress)
{
    std::vector<std::string> keys;
    for (const SettingDifference& difference : differences)
        if (file.Has(difference.key) && (withAddress || difference.key != "ip"))
            keys.push_back(difference.key);
    return keys;
}
