#include "ModuleBehaviours.h"

#include "DefaultObjects.h"
#include "ModuleState.h"
#include "SimOid.h"

namespace {

struct MirrorRow {
    const char* written;
    const char* mirror;  // takes every value written to `written`
};

// An I/O port is written through .1.2.n.0; firmware from 4.070 on reads it
// back through .1.2.n.33.0.
const MirrorRow kMirrors[] = {
    {Oid::kPortP3, Oid::kPortP3Wide},
    {Oid::kPortP5, Oid::kPortP5Wide},
    {Oid::kPortP6, Oid::kPortP6Wide},
};

struct ClearRow {
    const char* command;
    const char* cleared;  // octet string emptied by the command
};

const ClearRow kClears[] = {
    {Oid::kSerialFlush, Oid::kSerialReceive},  // serial re-initialisation flushes the receive buffer
};

// Firmware below 4.070 keeps one community string for reads and writes.
constexpr int32_t kSeparateCommunitiesFrom = 0x0446;

bool HasSingleCommunity(const ModuleState& state)
{
    const SimObject* firmware = state.objects.Find(SimOid::Full(kFirmwareObject));
    return firmware && (firmware->value.number & 0xFFFF) < kSeparateCommunitiesFrom;
}

std::string OctetsOf(const ModuleState& state, const char* relativeOid)
{
    const SimObject* object = state.objects.Find(SimOid::Full(relativeOid));
    return object ? object->value.bytes : std::string();
}

void InstallCommands(ModuleState& state)
{
    for (const CommandObject& command : CommandObjects()) {
        const std::string oid = SimOid::Full(command.oid);
        state.AfterRead(oid, [oid](ModuleState& s) { s.CountCommand(oid); });
    }
}

void InstallMirrors(ModuleState& state)
{
    for (const MirrorRow& row : kMirrors) {
        const std::string written = SimOid::Full(row.written);
        const std::string mirror = SimOid::Full(row.mirror);
        state.AfterWrite(written, [written, mirror](ModuleState& s) {
            if (const SimObject* source = s.objects.Find(written))
                s.objects.SetValue(mirror, source->value);
        });
    }
}

void InstallClears(ModuleState& state)
{
    for (const ClearRow& row : kClears) {
        const std::string cleared = SimOid::Full(row.cleared);
        state.AfterRead(SimOid::Full(row.command),
            [cleared](ModuleState& s) { s.objects.SetValue(cleared, SimValue::Octets("")); });
    }
}

void InstallCommunityLinks(ModuleState& state)
{
    state.AfterWrite(SimOid::Full(kWriteCommunityObject), [](ModuleState& s) {
        s.writeCommunity = OctetsOf(s, kWriteCommunityObject);
        if (HasSingleCommunity(s)) {
            s.readCommunity = s.writeCommunity;
            s.objects.SetValue(SimOid::Full(kReadCommunityObject), SimValue::Octets(s.readCommunity));
        }
    });
    state.AfterWrite(SimOid::Full(kReadCommunityObject),
        [](ModuleState& s) { s.readCommunity = OctetsOf(s, kReadCommunityObject); });
}

}  // namespace

void InstallModuleBehaviours(ModuleState& state, const BehaviourOptions& options)
{
    InstallCommands(state);
    InstallMirrors(state);
    InstallClears(state);
    if (options.linkCommunities)
        InstallCommunityLinks(state);
}
