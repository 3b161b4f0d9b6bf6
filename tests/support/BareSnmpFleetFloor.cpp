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
constexpr auto kPause = std::chrono::milliseconds(150);

struct FloorModule {
    std::string peer;
    netsnmp_session* session = nullptr;
    Clock::time_point sendAt;
    bool sent = false;  // the current batch's first request
    bool done = false;
    size_t batch = 0;
    size_t answered = 0;  // in the current batch
};

struct ParsedOid {
    oid name[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
};
using ParsedBatches = std::vector<std::vector<ParsedOid>>;

const ParsedBatches* g_batches = nullptr;

ParsedBatches Parse(const FloorBatches& batches)
{
    ParsedBatches parsed;
    for (const auto& batch : batches) {
        parsed.emplace_back(batch.size());
        for (size_t i = 0; i < batch.size(); ++i)
            read_objid(batch[i].c_str(), parsed.back()[i].name, &parsed.back()[i].length);
    }
    return parsed;
}

void SendNext(FloorModule& module)
{
    const ParsedOid& name = (*g_batches)[module.batch][module.answered];
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    snmp_add_null_var(pdu, name.name, name.length);
    if (!snmp_send(module.session, pdu)) {
        snmp_free_pdu(pdu);
        module.done = true;
    }
}

int OnAnswer(int operation, netsnmp_session*, int, netsnmp_pdu*, void* magic)
{
    auto& module = *static_cast<FloorModule*>(magic);
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE) {
        module.done = true;
        return 1;
    }
    if (++module.answered < (*g_batches)[module.batch].size()) {
        SendNext(module);
        return 1;
    }
    // The batch is read: the next one after its pause.
    module.answered = 0;
    module.done = ++module.batch == g_batches->size();
    module.sent = false;
    module.sendAt = Clock::now() + kPause;
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
    module.sendAt = Clock::now() + kPause;
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
    int inFlight, const FloorBatches& batches)
{
    FloorBatches registers(1);
    for (int r = 0; r < 128; ++r)
        registers[0].push_back(Oid::SwitchRegister(r));
    const ParsedBatches parsed = Parse(batches.empty() ? registers : batches);
    g_batches = &parsed;
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
        flying.erase(
            std::remove_if(flying.begin(), flying.end(), [](FloorModule* m) { return m->done; }), flying.end());
        if (!flying.empty())
            Wait(flying);
    }
    g_batches = nullptr;
    int failed = 0;
    for (const FloorModule& module : modules)
        failed += module.batch != parsed.size();
    if (failed)
        fprintf(stderr, "floor: %d modules not read completely\n", failed);
    return timer.nsecsElapsed() / 1e9;
}
