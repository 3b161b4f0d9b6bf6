#include "fleet/ModuleSettingsRead.h"

#include "snmp/ModuleObjects.h"

CModuleSettingsRead::CModuleSettingsRead(std::string host, std::string roCommunity)
    : m_chain(std::move(host), std::move(roCommunity))
{
}

CModuleSettingsRead::~CModuleSettingsRead() = default;

void CModuleSettingsRead::Start(Done done)
{
    m_done = std::move(done);
    CSnmpRequest& request = m_chain.Next(1);
    request.AddVar(Oid::kFirmwareVersion, "", 0);
    request.Start(
        false,
        [this, &request](int code) {
            if (code < 0)
                m_decoder.Fail(-1, code);
            if (code < 0 || !m_decoder.TakeVersion(request.GetInteger(0)))
                return Report();
            ReadBatch(0);
        },
        m_waiting);
}

void CModuleSettingsRead::Cancel()
{
    m_chain.Cancel();
    m_cancelled = true;
}

void CModuleSettingsRead::ReadBatch(size_t batch)
{
    if (batch >= m_decoder.Batches().size())
        return Report();
    const std::vector<SettingsObject>& objects = m_decoder.Batches()[batch];
    CSnmpRequest& request = m_chain.Next(static_cast<uint32_t>(objects.size()));
    for (const SettingsObject& object : objects)
        request.AddVar(object.oid, "", 0);
    request.Start(
        false,
        [this, &request, batch](int code) {
            if (code < 0) {
                m_decoder.Fail(int(batch), code);
                return Report();
            }
            m_decoder.TakeBatch(batch, request);
            ReadBatch(batch + 1);
        },
        m_waiting);
}

void CModuleSettingsRead::Report()
{
    if (!m_cancelled)
        m_done(m_decoder.Result());
}
