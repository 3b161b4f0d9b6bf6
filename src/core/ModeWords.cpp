// "Set Modes": the mode words built from the check boxes and written by the
// plan of the firmware's minor version.

#include <algorithm>
#include <initializer_list>

#include "core/MainDlg.h"
#include "settings/ModeBits.h"
#include "platform/Pause.h"
#include "res/Strings.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr unsigned kPauseBetweenPassesMs = 4000;
constexpr const char* kModeChanged = "Connection established! Mode changed.";
constexpr const char* kNothingToWrite
    = "Operating modes not changed: nothing can be written for this firmware version (read the settings first).";

enum class WritePlan { None, SingleWord, BothWords, TwoPasses };

WritePlan PlanFor(uint8_t minor)
{
    struct Rule {
        std::initializer_list<int> minors;
        WritePlan plan;
    };
    static const Rule kRules[] = {
        {{40, 50, 61}, WritePlan::SingleWord},
        {{60, 62, 65, 66}, WritePlan::BothWords},
    };
    for (const Rule& rule : kRules)
        if (std::find(rule.minors.begin(), rule.minors.end(), minor) != rule.minors.end())
            return rule.plan;
    return minor >= 70 ? WritePlan::TwoPasses : WritePlan::None;
}

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
    const ModeWrite first = {Oid::kModeWord1, m_modeWord1};
    const ModeWrite second = {Oid::kModeWord2, m_modeWord2};
    switch (PlanFor(m_minor)) {
    case WritePlan::None: SetStatus(QString::fromLatin1(kNothingToWrite)); return;
    case WritePlan::SingleWord:
        if (!WriteModeWords({first}, kPlainExchange))
            return;
        break;
    case WritePlan::BothWords:
        if (!WriteModeWords({first, second}, kPlainExchange))
            return;
        break;
    case WritePlan::TwoPasses:
        if (!WriteModeWords({first}, kFirstPass))
            return;
        Sleep(kPauseBetweenPassesMs);
        if (!WriteModeWords({second}, kSecondPass))
            return;
        break;
    }
    SetStatus(QString::fromLatin1(kModeChanged));
    UpdateData(false);
}

bool CMainDlg::WriteModeWords(std::initializer_list<ModeWrite> writes, const ExchangeTexts& texts)
{
    const auto request = NewRequest(Community::ReadWrite, static_cast<uint32_t>(writes.size()));
    for (const ModeWrite& write : writes)
        request->AddVar(write.oid, QByteArray::number(static_cast<int>(write.word)).constData(), 'i');
    return RunSet(*request, texts) >= 0;
}
