#include "BareSnmpFleetFloor.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/select.h>

#include "snmp/ModuleObjects.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRegisters = 128;

struct FloorModule {
    std::string peer;
    netsnmp_session* session = nullptr;
    Clock::time_point sendAt;
    bool sent = false;
    bool done = false;
    int answered = 0;
};

struct RegisterNames {
    oid names[kRegisters][MAX_OID_LEN];
    size_t lengths[kRegisters];
    RegisterNames()
    {
        for (int r = 0; r < kRegisters; ++r) {
            lengths[r] = MAX_OID_LEN;
            read_objid(Oid::SwitchRegister(r).c_str(), names[r], &lengths[r]);
        }
    }
};

const RegisterNames& Names()
{
    static const RegisterNames names;
    return names;
}

void SendNext(FloorModule& module)
{
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    snmp_add_null_var(pdu, Names().names[module.answered], Names().lengths[module.answered]);
    if (!snmp_send(module.session, pdu)) {
        snmp_free_pdu(pdu);
        module.done = true;
    }
}

int OnAnswer(int operation, netsnmp_session*, int, netsnmp_pdu*, void* magic)
{
    auto& module = *static_cast<FloorModule*>(magic);
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || ++module.answered == kRegisters) {
        module.done = true;
        return 1;
    }
    SendNext(module);
    return 1;
}

void Open(FloorModule& module, const char* community)
{
    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.peername = module.peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(community));
    settings.community_len = strlen(community);
    settings.callback = OnAnswer;
    settings.callback_magic = &module;
    module.session = snmp_open(&settings);
    module.sendAt = Clock::now() + std::chrono::milliseconds(150);
    module.done = module.session == nullptr;
}

// Waits for answers, time-outs or the next pause's end.
void Wait(const std::vector<FloorModule*>& flying)
{
    int fds = 0, block = 1;
    fd_set readable;
    FD_ZERO(&readable);
    timeval timeout {1, 0};
    snmp_select_info(&fds, &readable, &timeout, &block);
    auto wait = std::chrono::microseconds(block ? 1000000 : timeout.tv_sec * 1000000L + timeout.tv_usec);
    for (const FloorModule* module : flying)
        if (!module->sent)
            wait = std::min(wait,
                std::max(std::chrono::microseconds(0),
                    std::chrono::duration_cast<std::chrono::microseconds>(module->sendAt - Clock::now())));
    timeval until {long(wait.count() / 1000000), long(wait.count() % 1000000)};
    const int ready = select(fds, &readable, nullptr, nullptr, &until);
    if (ready > 0)
        snmp_read(&readable);
    else if (ready == 0)
        snmp_timeout();
}

}  // namespace

double FleetReadFloorSeconds(const std::vector<std::string>& addresses, uint16_t port, const char* community,
    int inFlight)
{
    std::vector<FloorModule> modules(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i)
        modules[i].peer = addresses[i] + ":" + std::to_string(port);
    QElapsedTimer timer;
    timer.start();
    size_t next = 0;
    std::vector<FloorModule*> flying;
    while (next < modules.size() || !flying.empty()) {
        while (flying.size() < size_t(inFlight) && next < modules.size()) {
            Open(modules[next], community);
            flying.push_back(&modules[next++]);
        }
        for (FloorModule* module : flying)
            if (!module->sent && !module->done && Clock::now() >= module->sendAt) {
                module->sent = true;
                SendNext(*module);
            }
        for (FloorModule* module : flying)
            if (module->done && module->session) {
                snmp_close(module->session);
                module->session = nullptr;
            }
        flying.erase(std::remove_if(flying.begin(), flying.end(), [](FloorModule* m) { return m->done; }), flying.end());
        if (!flying.empty())
            Wait(flying);
    }
    int failed = 0;
    for (const FloorModule& module : modules)
        failed += module.answered != kRegisters;
    if (failed)
        fprintf(stderr, "floor: %d modules not read completely\n", failed);
    return timer.nsecsElapsed() / 1e9;
}
