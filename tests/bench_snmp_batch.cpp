// Times a 128-variable Get batch against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause. Prints both and, last, "ratio X.XX" (batch / floor).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/Pause.h"
#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 5;
const char* const kCommunity = "582019374620";

std::string RegisterOid(int r) { return ".1.3.6.1.4.1.19865.1.4.2." + std::to_string(r) + ".0"; }

double BatchSeconds()
{
    CSnmpRequest request("127.0.0.1", kCommunity, kRegisters);
    for (int r = 0; r < kRegisters; ++r)
        request.AddVar(RegisterOid(r).c_str(), "", 0);
    QElapsedTimer timer;
    timer.start();
    if (request.Get() != 0)
        fprintf(stderr, "batch failed\n");
    return timer.nsecsElapsed() / 1e9;
}

double FloorSeconds(uint16_t port)
{
    QElapsedTimer timer;
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = "127.0.0.1:" + std::to_string(port);
    settings.peername = peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(kCommunity));
    settings.community_len = strlen(kCommunity);
    netsnmp_session* session = snmp_open(&settings);
    for (int r = 0; r < kRegisters; ++r) {
        oid name[MAX_OID_LEN];
        size_t length = MAX_OID_LEN;
        read_objid(RegisterOid(r).c_str(), name, &length);
        netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
        snmp_add_null_var(pdu, name, length);
        netsnmp_pdu* response = nullptr;
        if (snmp_synch_response(session, pdu, &response) != STAT_SUCCESS)
            fprintf(stderr, "floor request failed\n");
        if (response)
            snmp_free_pdu(response);
    }
    snmp_close(session);
    return timer.nsecsElapsed() / 1e9;
}
}  // namespace

int main()
{
    TestEnvironment::Init();
    SetSleepHook(nullptr);  // the batch's own pause is part of what is timed
    SimModule sim;
    sim.Use();

    QElapsedTimer initTimer;
    initTimer.start();
    init_snmp("snmpapp");
    printf("init_snmp: %.4f s\n", initTimer.nsecsElapsed() / 1e9);

    double batch = 1e9, floor = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        batch = std::min(batch, BatchSeconds());
        floor = std::min(floor, FloorSeconds(sim.Port()));
    }
    printf("batch of %d GETs: %.4f s (best of %d)\n", kRegisters, batch, kRounds);
    printf("bare loop + 150 ms pause: %.4f s (best of %d)\n", floor, kRounds);
    printf("ratio %.2f\n", batch / floor);
    return 0;
}
