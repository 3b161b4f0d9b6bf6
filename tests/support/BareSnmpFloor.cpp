#include "BareSnmpFloor.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "snmp/ModuleObjects.h"

double RegisterReadFloorSeconds(const std::string& address, uint16_t port, const char* community)
{
    constexpr int kRegisters = 128;
    QElapsedTimer timer;
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = address + ":" + std::to_string(port);
    settings.peername = peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(community));
    settings.community_len = strlen(community);
    netsnmp_session* session = snmp_open(&settings);
    for (int r = 0; r < kRegisters; ++r) {
        oid name[MAX_OID_LEN];
        size_t length = MAX_OID_LEN;
        read_objid(Oid::SwitchRegister(r).c_str(), name, &length);
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
