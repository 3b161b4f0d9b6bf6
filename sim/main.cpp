// kalvor-sim: simulated IP module agents on loopback UDP ports.
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FleetPlan.h"
#include "Journal.h"
#include "ServedModule.h"
#include "SimServer.h"
#include "StateLoader.h"
#include "snmp/ModuleAddress.h"

namespace {

constexpr int kExitServed = 0;
constexpr int kExitBadInput = 2;
constexpr int kExitNoPort = 1;

// "127.0.0.1" for one module, "127.1.0.1-127.1.0.20" for a fleet.
std::string AddressesText(const std::vector<FleetMember>& members)
{
    const std::string first = DottedIpv4(members.front().address);
    return members.size() == 1 ? first : first + "-" + DottedIpv4(members.back().address);
}

// Every module on the same port; with port 0 the system's choice for the
// first one.
bool OpenAll(SimServer& server, const std::vector<ServedModule>& modules, uint16_t port)
{
    for (const ServedModule& module : modules) {
        const FleetMember& member = module.member;
        if (!server.Open(DottedIpv4(member.address), port, *module.handler, member.delayMs))
            return false;
        port = server.Port();
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Ends with the process that started it, so that a test that crashes
    // leaves no simulator behind (holding the test's output open). SIGTERM
    // stops it as usual: the journal is closed, the temporary files removed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);

    SimOptions options;
    std::vector<FleetMember> members;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)
        || (options.request == SimOptions::Request::Serve && !PlanFleet(options, members, error))) {
        std::fprintf(stderr, "kalvor-sim: %s; see --help\n", error.c_str());
        return kExitBadInput;
    }
    if (options.request == SimOptions::Request::Help) {
        std::printf("%s\n%s", UsageText(), HelpText());
        return kExitServed;
    }
    if (options.request == SimOptions::Request::Version) {
        std::printf("kalvor-sim %s\n", KALVOR_VERSION);
        return kExitServed;
    }

    Journal journal;  // before the modules, which write to it
    std::vector<ServedModule> modules;
    try {
        modules = BuildModules(ReadStateFile(options.statePath), members, journal);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalvor-sim: %s\n", e.what());
        return kExitBadInput;
    }
    if (!options.journalPath.empty() && !journal.Open(options.journalPath)) {
        std::fprintf(stderr, "kalvor-sim: cannot write the journal %s\n", options.journalPath.c_str());
        return kExitBadInput;
    }

    SimServer::PrepareProcess(modules.size());
    SimServer server;
    if (!OpenAll(server, modules, options.port))
        return kExitNoPort;

    std::printf("kalvor-sim listening on %s:%u\n", AddressesText(members).c_str(), static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    server.Run();
    return kExitServed;
}
