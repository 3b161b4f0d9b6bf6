#include "fleet/CtlProbe.h"

#include "fleet/CtlDescriptors.h"
#include "snmp/FirmwareVersion.h"
#include "snmp/ModuleObjects.h"
#include "snmp/PrintedMac.h"

CCtlProbe::CCtlProbe(std::string host, std::string roCommunity) : m_chain(std::move(host), std::move(roCommunity)) { }

CCtlProbe::~CCtlProbe() = default;

void CCtlProbe::Start(Done done)
{
    m_done = std::move(done);
    CSnmpRequest& request = m_chain.Next(1);
    request.AddVar(Oid::kFirmwareVersion, "", 0);
    CtlDescriptors::StartBatch(request, false, &m_context, [this, &request](int code) {
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
    CtlDescriptors::StartBatch(request, false, &m_context, [this, &request](int code) {
        if (code >= 0) {
            m_result.settingsRead = true;
            m_result.mac = MacTextFromPrinted(request.GetText(0));
            const bool switchControl = (uint32_t(request.GetInteger(1)) >> Oid::kSwitchControlBit) & 1u;
            m_result.switchBoard = SwitchBoardUsable(FirmwareVersion::FromWord(m_versionWord), switchControl);
        }
        m_done(m_result);
    });
}
