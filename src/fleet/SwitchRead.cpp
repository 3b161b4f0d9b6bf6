#include "fleet/SwitchRead.h"

#include "fleet/CtlDescriptors.h"
#include "settings/SwitchTransfer.h"

CSwitchRead::CSwitchRead(std::string host, std::string roCommunity) : m_chain(std::move(host), std::move(roCommunity))
{
}

CSwitchRead::~CSwitchRead() = default;

void CSwitchRead::Start(Done done)
{
    CSnmpRequest& request = m_chain.Next(SwitchMap::kRegisters);
    SwitchTransfer::AddRegisterReads(request);
    CtlDescriptors::StartBatch(request, false, &m_context, [&request, done = std::move(done)](int code) {
        SwitchReadResult result;
        result.code = code;
        if (code >= 0) {
            result.image = SwitchTransfer::ImageFromReads(request);
            result.plausible = result.image.IsPlausible();
        }
        done(result);
    });
}
