#pragma once
// The commands of kalvorctl for one module. Output goes through CtlOutput so
// that a run over many modules can mark every line with its module.

#include <string>

#include "ctl/CtlOptions.h"

class CtlOutput {
public:
    // `prefix` goes before every line of standard output ("" or "HOST: ").
    explicit CtlOutput(std::string prefix = std::string()) : m_prefix(std::move(prefix)) { }
    void Line(const std::string& text) const;  // standard output, with the prefix
    void Raw(const std::string& text) const;  // standard output as is (one JSON line)
    // One line on standard error naming the host and the phase.
    void Error(const std::string& host, const std::string& phase, const std::string& text) const;

private:
    std::string m_prefix;
};

// Runs `options.command` for `host` (files with {host} replaced) and
// returns its exit status.
int RunCtlCommand(const CtlOptions& options, const std::string& host, const CtlOutput& out);

// The wait between the switch board's restart and the confirmation:
// KALVOR_RESTART_WAIT_MS when set to a number, else 10 000 ms.
unsigned RestartWaitMs();
