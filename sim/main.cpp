// kalvor-sim: a simulated IP module agent on a loopback UDP port.
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

#include "CommandLine.h"
#include "Journal.h"
#include "ModuleState.h"
#include "RequestHandler.h"
#include "SimServer.h"
#include "StateLoader.h"

namespace {
constexpr int kExitBadInput = 2;
constexpr int kExitNoPort = 1;
}  // namespace

int main(int argc, char* argv[])
{
    // Ends with the process that started it, so that a test that crashes
    // leaves no simulator behind (holding the test's output open). SIGTERM
    // stops it as usual: the journal is closed, the temporary files removed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);

    SimOptions options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "kalvor-sim: %s\n%s", error.c_str(), UsageText());
        return kExitBadInput;
    }

    std::unique_ptr<ModuleState> state;
    try {
        state = LoadStateFile(options.statePath);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalvor-sim: %s\n", e.what());
        return kExitBadInput;
    }

    Journal journal;
    if (!options.journalPath.empty() && !journal.Open(options.journalPath)) {
        std::fprintf(stderr, "kalvor-sim: cannot write the journal %s\n", options.journalPath.c_str());
        return kExitBadInput;
    }

    SimServer::PrepareProcess();
    RequestHandler handler(*state, journal);
    SimServer server(handler);
    if (!server.Open(options.address, options.port))
        return kExitNoPort;

    std::printf("kalvor-sim listening on %s:%u\n", options.address.c_str(), static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    server.Run();
    return 0;
}
