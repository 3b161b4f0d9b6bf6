// Times "List Entire Table" of the MAC table window (1024 entries, 50 of
// them valid) against a simulated switch, with the pauses recorded by the
// pause seam instead of slept, and, as the floor, the same exchanges sent by
// a bare Net-SNMP loop with a session per batch, as CSnmpRequest opens them
// (and, for comparison, the same loop on one session); the three run in
// interleaved rounds, the best of each kept. Opening the window is timed on
// its own, before the walks. Prints the times, the real-time floor of the
// walk (its pauses at 150 ms each), "ratio X.XX" (walk / session-per-batch
// loop) and, last, the longest stall of the event loop while the window
// opened or walked. The application's main window is opened first, outside
// any timing. "--walk-only [N]" runs N walks alone (for a profiler; 36 when
// N is not given).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ReportList.h"
#include "res/MacTableDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/BenchRounds.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/MacTableDlg.h"
#include "switch/MacTableText.h"

namespace {

constexpr int kValidEntries = 50;
constexpr int kRounds = 12;
constexpr unsigned kPauseMs = 150;
const char* const kWrite = "marbled";
const char* const kRead = "582019374620";

bool IsValidIndex(int entry) { return entry % 20 == 3 && entry / 20 < kValidEntries; }

std::string TableState()
{
    std::string entries;
    for (int entry = 0; entry < kMacTableEntries; ++entry) {
        if (!IsValidIndex(entry))
            continue;
        char mac[32];
        snprintf(mac, sizeof mac, "02-00-00-00-%02X-%02X", entry >> 8, entry & 0xFF);
        entries += std::string(entries.empty() ? "" : ",") + "{\"index\": " + std::to_string(entry) + ", \"mac\": \""
            + mac + "\", \"port\": " + std::to_string(entry % 8) + ", \"age\": 2}";
    }
    return "{\"macTable\": [" + entries + "]}";
}

// Presses "List Entire Table" of the open window; the window is made and
// shown once, before any timing.
double WalkSeconds(CMacTableDlg& window, size_t& pauses, int& rows, qint64& stall)
{
    TestEnvironment::TakePauses();
    const StallProbe probe;
    QElapsedTimer timer;
    timer.start();
    drive::Press(window, IDC_MAC_LIST_TABLE);
    const double seconds = timer.nsecsElapsed() / 1e9;
    stall = std::max(stall, probe.LongestMs());
    pauses = TestEnvironment::TakePauses().size();
    rows = window.Item<CReportList>(IDC_MAC_RESULTS)->GetItemCount();
    if (drive::Status(window) != "Downloading complete.")
        fprintf(stderr, "walk failed: %s\n", qPrintable(drive::Status(window)));
    return seconds;
}

// One request and its answer; false when no answer came.
bool Exchange(netsnmp_session* session, int command, const char* oidText, const char* value)
{
    oid name[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
    read_objid(oidText, name, &length);
    netsnmp_pdu* pdu = snmp_pdu_create(command);
    if (value)
        snmp_add_var(pdu, name, length, 'i', value);
    else
        snmp_add_null_var(pdu, name, length);
    netsnmp_pdu* response = nullptr;
    const bool answered = snmp_synch_response(session, pdu, &response) == STAT_SUCCESS;
    if (response)
        snmp_free_pdu(response);
    return answered;
}

netsnmp_session* OpenSession(uint16_t port)
{
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = "127.0.0.1:" + std::to_string(port);
    settings.peername = peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(kWrite));
    settings.community_len = strlen(kWrite);
    return snmp_open(&settings);
}

// The walk's exchanges on one session, or (`sessionPerBatch`) on a session
// per batch as the window's requests open them.
double LoopSeconds(uint16_t port, bool sessionPerBatch)
{
    QElapsedTimer timer;
    timer.start();
    netsnmp_session* shared = sessionPerBatch ? nullptr : OpenSession(port);
    bool ok = sessionPerBatch || shared;
    // Runs one batch of exchanges on the shared session or a session of its own.
    auto batch = [&](const std::vector<std::pair<const char*, const char*>>& exchanges) {
        netsnmp_session* session = shared ? shared : OpenSession(port);
        for (size_t i = 0; session && ok && i < exchanges.size(); ++i) {
            const char* value = exchanges[i].second;
            ok = Exchange(session, value ? SNMP_MSG_SET : SNMP_MSG_GET, exchanges[i].first, value);
        }
        ok = ok && session;
        if (session && !shared)
            snmp_close(session);
    };
    for (int entry = 0; ok && entry < kMacTableEntries; ++entry) {
        const std::string index = std::to_string(WalkIndexWord(entry));
        batch({{Oid::kMacTableWord56, index.c_str()}, {Oid::kMacTableStart, "65535"}});
        batch({{Oid::kMacTableStatus, nullptr}});
        if (IsValidIndex(entry))
            batch({{Oid::kMacTableWord12, nullptr}, {Oid::kMacTableWord34, nullptr}, {Oid::kMacTableWord56, nullptr}});
    }
    if (shared)
        snmp_close(shared);
    if (!ok)
        fprintf(stderr, "bare loop failed\n");
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    TestEnvironment::Init();
    SimModule sim(TableState());
    sim.Use();
    init_snmp("snmpapp");
    ScriptedUi ui;  // answers the question with Yes

    double startUp = 0;
    const auto mainWindow = bench::StartUp(sim, startUp);
    // Opening the window is an action of its own; the walks run in it.
    std::unique_ptr<CMacTableDlg> opened;
    const bench::Action opening = bench::Measure([&] {
        opened = std::make_unique<CMacTableDlg>(SubWindowArgs {sim.Address(), kWrite, kRead});
        opened->Create();
        opened->show();  // the bar and the list paint as in use
    });
    CMacTableDlg& window = *opened;
    size_t pauses = 0;
    int rows = 0;
    qint64 stall = opening.stallMs;
    if (argc > 1 && strcmp(argv[1], "--walk-only") == 0) {  // for a profiler: the walks alone
        const int walks = argc > 2 ? std::max(1, atoi(argv[2])) : 3 * kRounds;
        for (int round = 0; round < walks; ++round) {
            const std::clock_t cpu = std::clock();
            const double seconds = WalkSeconds(window, pauses, rows, stall);
            printf("walk: %.4f s, processor %.4f s\n", seconds, double(std::clock() - cpu) / CLOCKS_PER_SEC);
        }
        return 0;
    }
    const std::vector<double> best = bench::BestOfInterleaved(kRounds,
        {[&] { return WalkSeconds(window, pauses, rows, stall); }, [&] { return LoopSeconds(sim.Port(), true); },
            [&] { return LoopSeconds(sim.Port(), false); }});
    const double walk = best[0], loopPerBatch = best[1], loop = best[2];
    printf("start-up (the main window, before the event loop runs): %.1f ms\n", startUp * 1e3);
    printf("opening the window: %.1f ms, longest stall %lld ms\n", opening.seconds * 1e3,
        static_cast<long long>(opening.stallMs));
    printf("window walk of %d entries (%d listed), pauses recorded: %.4f s\n", kMacTableEntries, rows, walk);
    printf("bare Net-SNMP loop of the same exchanges, a session per batch as the requests open them: %.4f s\n",
        loopPerBatch);
    printf("the same loop on one session: %.4f s (walk / it: %.2f)\n", loop, walk / loop);
    printf("(best of %d rounds, the three interleaved)\n", kRounds);
    printf("real-time floor of the walk: %zu pauses x %u ms = %.1f s\n", pauses, kPauseMs, pauses * kPauseMs / 1000.0);
    printf("ratio %.2f\n", walk / loopPerBatch);
    printf("longest stall %lld ms\n", static_cast<long long>(stall));
    return 0;
}
