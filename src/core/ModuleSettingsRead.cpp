#include "core/ModuleSettingsRead.h"

#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

CModuleSettingsRead::CModuleSettingsRead(std::string host, std::string roCommunity)
    : m_host(std::move(host)), m_community(std::move(roCommunity))
{
}

CModuleSettingsRead::~CModuleSettingsRead() = default;

CSnmpRequest& CModuleSettingsRead::NewRequest(uint32_t capacity)
{
    m_requests.push_back(std::make_unique<CSnmpRequest>(m_host.c_str(), m_community.c_str(), capacity));
    return *m_requests.back();
}

void CModuleSettingsRead::Start(Done done)
{
    m_done = std::move(done);
    CSnmpRequest& request = NewRequest(1);
    request.AddVar(Oid::kFirmwareVersion, "", 0);
    request.Start(false, [this, &request](int code) {
        if (code < 0)
            m_decoder.Fail(-1, code);
        if (code < 0 || !m_decoder.TakeVersion(request.GetInteger(0)))
            return m_done(m_decoder.Result());
        ReadBatch(0);
    });
}

void CModuleSettingsRead::ReadBatch(size_t batch)
{
    if (batch >= m_decoder.Batches().size())
        return m_done(m_decoder.Result());
    const std::vector<SettingsObject>& objects = m_decoder.Batches()[batch];
    CSnmpRequest& request = NewRequest(static_cast<uint32_t>(objects.size()));
    for (const SettingsObject& object : objects)
        request.AddVar(object.oid, "", 0);
    request.Start(false, [this, &request, batch](int code) {
        if (code < 0) {
            m_decoder.Fail(int(batch), code);
            return m_done(m_decoder.Result());
        }
        m_decoder.TakeBatch(batch, request);
        ReadBatch(batch + 1);
    });
}
