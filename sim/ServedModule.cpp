#include "ServedModule.h"

#include "FleetIdentity.h"
#include "StateLoader.h"
#include "snmp/ModuleAddress.h"

std::vector<ServedModule> BuildModules(
    const nlohmann::json& document, const std::vector<FleetMember>& members, Journal& journal)
{
    std::vector<ServedModule> modules;
    modules.reserve(members.size());
    for (const FleetMember& member : members) {
        ServedModule module {member, LoadState(document), nullptr};
        JournalTag tag;
        if (member.index >= 0) {
            ApplyFleetIdentity(*module.state, member.address, member.index);
            module.state->silent = member.silent;
            tag = JournalTag {DottedIpv4(member.address), member.index};
        }
        module.handler = std::make_unique<RequestHandler>(*module.state, journal, tag);
        modules.push_back(std::move(module));
    }
    return modules;
}
