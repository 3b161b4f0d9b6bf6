#pragma once
// A main window pointed at a simulated module, for the window tests. The
// module address control is set to the simulator's loopback address before
// any exchange, so no test ever aims at the built-in default address.

#include <QtGlobal>
#include <memory>
#include <string>

#include "app/LaunchTable.h"
#include "core/MainDlg.h"
#include "res/MainDlgIds.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

namespace fixture {

inline const std::string kPrefix = ".1.3.6.1.4.1.19865";
inline const char* const kReadCommunity = "582019374620";
inline const char* const kWriteCommunity = "marbled";
inline const char* const kDataReceived = "Connection established! SNMP data received.";
inline const char* const kSnmpError = "SNMP Error: Unable to connect to target host! (Error code %1)";

// `launchers`: the application's windows unless a test gives probes.
inline std::unique_ptr<CMainDlg> OpenMainWindow(const SimModule& sim, LaunchTable launchers = KalvorLaunchTable())
{
    sim.Use();
    auto window = std::make_unique<CMainDlg>(std::move(launchers));
    window->Create();
    drive::SetIp(*window, IDC_MODULE_ADDRESS, sim.Address());
    return window;
}

// A window that has read the module's settings; journal and pauses start empty.
inline std::unique_ptr<CMainDlg> ReadyWindow(SimModule& sim)
{
    auto window = OpenMainWindow(sim);
    drive::Press(*window, IDC_READ_SETTINGS);
    if (drive::Status(*window) != kDataReceived)
        qWarning("Read Settings failed: %s", qPrintable(drive::Status(*window)));
    sim.ClearJournal();
    TestEnvironment::TakePauses();
    return window;
}

}  // namespace fixture
