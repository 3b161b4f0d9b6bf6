#include "ctl/CtlProbe.h"

#include <algorithm>

#include "settings/FeatureLevels.h"
#include "settings/MacText.h"
#include "settings/ModeBits.h"
#include "res/MainDlgIds.h"
#include "snmp/ModuleObjects.h"

namespace {

bool SwitchControl(uint32_t word1)
{
    const auto bit = std::find_if(kModeBits.begin(), kModeBits.end(),
        [](const ModeBit& mode) { return mode.control == IDC_MODE_SWITCH_CONTROL; });
    return ModeBitSet(*bit, word1, 0);
}

}  // namespace

CCtlProbe::CCtlProbe(std::string host, std::string roCommunity) : m_chain(std::move(host), std::move(roCommunity)) { }

CCtlProbe::~CCtlProbe() = default;

void CCtlProbe::Start(Done done)
{
    m_done = std::move(done);
    CSnmpRequest& request = m_chain.Next(1);
    request.AddVar(Oid::kFirmwareVersion, "", 0);
    request.Start(false, [this, &request](int code) {
        if (code < 0)
            return m_done(m_result);
        m_result.answered = true;
        m_versionWord = request.GetInteger(0);
        m_result.firmware = FirmwareVersion::FromWord(m_versionWord).Text();
        ReadSettings();
    });
}

void CCtlProbe::ReadSettings()
{
    CSnmpRequest& request = m_chain.Next(2);
    request.AddVar(Oid::kMac, "", 0);
    request.AddVar(Oid::kModeWord1, "", 0);
    request.Start(false, [this, &request](int code) {
        if (code >= 0) {
            m_result.settingsRead = true;
            m_result.mac = MacTextFromPrinted(request.GetText(0));
            m_result.switchBoard = SwitchButtonsUsable(
                FirmwareVersion::FromWord(m_versionWord), SwitchControl(uint32_t(request.GetInteger(1))));
        }
        m_done(m_result);
    });
}
