#include "settings/SettingsSnapshot.h"

#include <algorithm>

namespace {

QString ItemOrNone(const QStringList& items, int32_t index)
{
    return index >= 0 && index < items.size() ? items.at(index) : QStringLiteral("none");
}

QString RegisterText(uint8_t value) { return QString::asprintf("0x%02X", value); }

// The value of one setting of the module's reads.
QString ModuleValue(const SettingSpec& spec, const ModuleSettings& main, const TrapValues* traps,
    const SerialLine* serial, const CSwitchImage* image)
{
    switch (spec.group) {
    case SettingGroup::Info:
    case SettingGroup::Main:
        for (const NamedSetting& setting : main.values)
            if (setting.key == spec.key)
                return setting.value;
        return QString();
    case SettingGroup::Modes: return (main.modeWords[spec.index / 8] >> (spec.index % 8)) & 1u ? "on" : "off";
    case SettingGroup::Serial:
        if (spec.index == 0)
            return ItemOrNone(BaudRateItems(), serial->baud);
        if (spec.index == 1)
            return ItemOrNone(ParityItems(), serial->parity);
        return QString::number(serial->timeout);
    case SettingGroup::Traps:
        if (spec.index == 0)
            return traps->server;
        return QString::number(spec.index % 2 ? traps->low[(spec.index - 1) / 2] : traps->high[(spec.index - 1) / 2]);
    case SettingGroup::Switch: return RegisterText(image->Register(spec.index));
    }
    return QString();
}

}  // namespace

QString SettingsSnapshot::Value(const std::string& key) const
{
    const auto found = values.find(key);
    return found == values.end() ? QString() : found->second;
}

size_t SettingsSnapshot::SettingCount() const
{
    size_t count = 0;
    for (const SettingSpec& spec : SettingsOf(shape))
        count += spec.group != SettingGroup::Info && Has(spec.key);
    return count;
}

SettingsSnapshot SnapshotOfModule(
    const ModuleSettings& main, const TrapValues* traps, const SerialLine* serial, const CSwitchImage* image)
{
    SettingsSnapshot snapshot;
    snapshot.fromModule = true;
    snapshot.shape = ShapeOf(main.version, main.modeWordsRead, main.modeWords[0]);
    snapshot.modeWords = {main.modeWords[0], main.modeWords[1]};
    if (traps)
        snapshot.traps = *traps;
    if (image)
        snapshot.image = *image;
    for (const SettingSpec& spec : SettingsOf(snapshot.shape)) {
        const bool missing = (spec.group == SettingGroup::Traps && !traps)
            || (spec.group == SettingGroup::Serial && !serial) || (spec.group == SettingGroup::Switch && !image);
        if (!missing)
            snapshot.values[spec.key] = ModuleValue(spec, main, traps, serial, image);
    }
    return snapshot;
}

std::vector<SettingDifference> DiffSettings(const SettingsSnapshot& from, const SettingsSnapshot& to)
{
    std::vector<SettingSpec> specs = SettingsOf(from.shape);
    for (const SettingSpec& spec : SettingsOf(to.shape))
        if (std::none_of(specs.begin(), specs.end(), [&spec](const SettingSpec& s) { return s.key == spec.key; }))
            specs.push_back(spec);
    std::stable_sort(specs.begin(), specs.end(), SettingBefore);
    std::vector<SettingDifference> differences;
    for (const SettingSpec& spec : specs) {
        if (spec.group == SettingGroup::Info)
            continue;
        const QString a = from.Value(spec.key), b = to.Value(spec.key);
        if (a != b)
            differences.push_back({spec.key, spec.label, a, b});
    }
    return differences;
}
