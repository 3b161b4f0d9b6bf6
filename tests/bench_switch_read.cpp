// Times "Read Configuration" of the switch settings window (128 register
// reads, decoded and shown) against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause. Prints both and, last, "ratio X.XX" (window / floor).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/Pause.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/SwitchDlg.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 5;
const char* const kCommunity = "582019374620";

double WindowSeconds(CSwitchDlg& window)
{
    QElapsedTimer timer;
    timer.start();
    drive::Press(window, IDC_SW_READ);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (drive::Status(window) != "Connection established! Trellim configuration received.")
        fprintf(stderr, "read failed: %s\n", qPrintable(drive::Status(window)));
    return seconds;
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
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment::Init();
    SetSleepHook(nullptr);  // the batch's own pause is part of what is timed
    ScriptedUi ui;
    SimModule sim;
    sim.Use();
    init_snmp("snmpapp");

    CSwitchDlg window(SubWindowArgs {sim.Address(), "marbled", kCommunity});
    window.Create();
    window.show();

    double read = 1e9, floor = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        read = std::min(read, WindowSeconds(window));
        floor = std::min(floor, FloorSeconds(sim.Port()));
    }
    printf("window read of %d registers: %.4f s (best of %d)\n", kRegisters, read, kRounds);
    printf("bare loop + 150 ms pause: %.4f s (best of %d)\n", floor, kRounds);
    printf("ratio %.2f\n", read / floor);
    return 0;
}
