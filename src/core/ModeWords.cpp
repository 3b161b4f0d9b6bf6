// "Set Modes": the mode words built from the check boxes and written by the
// plan of the firmware's minor version.

#include "base/Pause.h"
#include "core/MainDlg.h"
#include "res/Strings.h"
#include "settings/ModeBits.h"
#include "settings/SettingVars.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr const char* kModeChanged = "Connection established! Mode changed.";
constexpr const char* kNothingToWrite
    = "Operating modes not changed: nothing can be written for this firmware version (read the settings first).";

const ExchangeTexts kFirstPass = {"Connecting to target host ... (first pass)",
    "SNMP Error: Unable to connect to target host(first)! (Error code %1)"};
const ExchangeTexts kSecondPass = {"Connecting to target host ...(second pass)",
    "SNMP Error: Unable to connect to target host(second)! (Error code %1)"};
}  // namespace

void CMainDlg::BuildModeWords()
{
    const auto words = BuildModeWordsFrom([this](int control) { return *FlagMember(control); });
    m_modeWord1 = words[0];
    m_modeWord2 = words[1];
}

void CMainDlg::OnSetModes()
{
    if (!TakeFields() || !ReadyToSend())
        return;
    // Words never read from this module would overwrite its modes with
    // whatever the boxes happen to show.
    if (!m_modeWordsRead) {
        SetStatus(QString::fromLatin1(kNothingToWrite));
        return;
    }
    BuildModeWords();
    const std::vector<ModePass> passes = ModeWritePasses(m_minor, m_modeWord1, m_modeWord2);
    if (passes.empty()) {
        SetStatus(QString::fromLatin1(kNothingToWrite));
        return;
    }
    for (size_t pass = 0; pass < passes.size(); ++pass) {
        if (passes[pass].pauseBeforeMs)
            Sleep(passes[pass].pauseBeforeMs);
        const ExchangeTexts& texts = passes.size() == 1 ? kPlainExchange : pass == 0 ? kFirstPass : kSecondPass;
        const auto request = NewRequest(Community::ReadWrite, static_cast<uint32_t>(passes[pass].writes.size()));
        AddWrites(*request, passes[pass].writes);
        if (RunSet(*request, texts) < 0)
            return;
    }
    SetStatus(QString::fromLatin1(kModeChanged));
    UpdateData(false);
}
