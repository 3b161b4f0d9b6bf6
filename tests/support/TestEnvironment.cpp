#include "TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "base/Pause.h"
#include "snmp/SnmpRequest.h"

namespace TestEnvironment {
namespace {

std::vector<unsigned> g_pauses;
std::string g_dir;

const char* const kSnmpConf = "# Written by the test environment: quick failures, no MIBs, no state.\n"
                              "timeout 1\n"
                              "retries 0\n"
                              "mibs :\n"
                              "noPersistentLoad yes\n"
                              "noPersistentSave yes\n";

void RemoveDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
}

std::string MakeDir()
{
    char pattern[] = "/tmp/kalvor-test-env-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("TestEnvironment: cannot create a temporary directory");
    return pattern;
}

}  // namespace

void Init()
{
    if (!g_dir.empty())
        return;
    g_dir = MakeDir();
    std::atexit(RemoveDir);

    std::ofstream(g_dir + "/snmp.conf") << kSnmpConf;
    const std::string persistentDir = g_dir + "/persistent";
    // The library creates cert_indexes on start-up and announces it on
    // stderr unless it is there already.
    std::filesystem::create_directories(persistentDir + "/cert_indexes");
    setenv("SNMPCONFPATH", g_dir.c_str(), 1);
    setenv("SNMP_PERSISTENT_DIR", persistentDir.c_str(), 1);

    Reset();
}

void Reset()
{
    CSnmpRequest::SetTimeoutOverride(0);
    CSnmpRequest::SetRetriesOverride(-1);
    SetSleepHook([](unsigned milliseconds) { g_pauses.push_back(milliseconds); });
}

std::vector<unsigned> TakePauses()
{
    std::vector<unsigned> taken;
    taken.swap(g_pauses);
    return taken;
}

}  // namespace TestEnvironment
