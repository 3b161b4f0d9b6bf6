#include "FaultTable.h"

namespace {

bool Applies(const SimFault& fault, bool isSet)
{
    if (fault.remaining == 0)
        return false;
    if (fault.scope == SimFault::Scope::Get && isSet)
        return false;
    if (fault.scope == SimFault::Scope::Set && !isSet)
        return false;
    // An echo alone changes nothing for a read.
    return isSet || fault.silence || fault.errorStatus != 0 || fault.ShapesAnswer();
}

}  // namespace

std::optional<SimFault> FaultTable::Take(const std::string& oid, bool isSet)
{
    const auto found = m_faults.find(oid);
    if (found == m_faults.end() || !Applies(found->second, isSet))
        return std::nullopt;
    SimFault& fault = found->second;
    if (fault.remaining > 0)
        --fault.remaining;
    return fault;
}
