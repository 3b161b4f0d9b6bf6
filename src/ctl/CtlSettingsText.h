#pragma once
// How kalvorctl shows module settings: every setting of a file, and the
// settings that differ between a module and a file or two files, as text
// lines or JSON.

#include <string>
#include <vector>

#include "ctl/CtlOutput.h"
#include "settings/SettingsSnapshot.h"

// "KEY: VALUE  [LABEL]" for every setting, firmware and MAC first.
std::vector<std::string> SettingsShowLines(const SettingsSnapshot& settings);
// The same as a JSON array of {"key", "label", "value"}.
std::string SettingsShowJson(const SettingsSnapshot& settings);
// "KEY: FROM -> TO  [LABEL]" for each difference ("(none)" for a side that
// does not have the setting).
std::vector<std::string> SettingsDiffLines(const std::vector<SettingDifference>& differences);
// The same as a JSON array of {"key", "label", "from", "to"} (null for a
// side that does not have the setting).
std::string SettingsDiffJson(const std::vector<SettingDifference>& differences);

// The file status of a module settings file that could not be read (2),
// the error said on `out`; 0 when read into `settings`.
int LoadSettingsFile(const std::string& host, const std::string& path, CtlOutput& out, SettingsSnapshot& settings);
