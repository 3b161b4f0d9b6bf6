#include "ctl/CtlSettingsText.h"

#include "ctl/CtlOptions.h"
#include "settings/SettingsFile.h"

namespace {

std::string Text(const QString& text) { return text.toStdString(); }
std::string ValueOrNone(const QString& value) { return value.isEmpty() ? "(none)" : Text(value); }
std::string JsonOrNull(const QString& value) { return value.isEmpty() ? "null" : JsonString(Text(value)); }

}  // namespace

std::vector<std::string> SettingsShowLines(const SettingsSnapshot& settings)
{
    std::vector<std::string> lines;
    for (const SettingSpec& spec : SettingsOf(settings.shape))
        if (settings.Has(spec.key))
            lines.push_back(spec.key + ": " + Text(settings.Value(spec.key)) + "  [" + Text(spec.label) + "]");
    return lines;
}

std::string SettingsShowJson(const SettingsSnapshot& settings)
{
    std::vector<std::string> entries;
    for (const SettingSpec& spec : SettingsOf(settings.shape))
        if (settings.Has(spec.key))
            entries.push_back("{\"key\": " + JsonString(spec.key) + ", \"label\": " + JsonString(Text(spec.label))
                + ", \"value\": " + JsonString(Text(settings.Value(spec.key))) + "}");
    return JsonArray(entries);
}

std::vector<std::string> SettingsDiffLines(const std::vector<SettingDifference>& differences)
{
    std::vector<std::string> lines;
    for (const SettingDifference& difference : differences)
        lines.push_back(difference.key + ": " + ValueOrNone(difference.from) + " -> " + ValueOrNone(difference.to)
            + "  [" + Text(difference.label) + "]");
    return lines;
}

std::string SettingsDiffJson(const std::vector<SettingDifference>& differences)
{
    std::vector<std::string> entries;
    for (const SettingDifference& difference : differences)
        entries.push_back("{\"key\": " + JsonString(difference.key)
            + ", \"label\": " + JsonString(Text(difference.label)) + ", \"from\": " + JsonOrNull(difference.from)
            + ", \"to\": " + JsonOrNull(difference.to) + "}");
    return JsonArray(entries);
}

int LoadSettingsFile(const std::string& host, const std::string& path, CtlOutput& out, SettingsSnapshot& settings)
{
    const SettingsFileParse parse = ReadSettingsFile(QString::fromLocal8Bit(path.c_str()));
    if (!parse.ok) {
        out.Error(host, "file", path + ": " + parse.error.toStdString());
        return kExitUsage;
    }
    settings = parse.snapshot;
    return kExitOk;
}
