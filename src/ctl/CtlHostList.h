#pragma once
// kalvorctl's host lists: reading --hosts and writing --hosts-out.

#include <string>
#include <vector>

#include "ctl/CtlOptions.h"

struct HostList {
    std::vector<std::string> hosts;  // canonical form, each once, in list order
    std::string duplicates;  // a line saying which addresses were listed more than once, or empty
};

// The addresses of a host list ("-": standard input), read to the end of
// the stream, in their canonical form: one a line, blank lines and text from
// '#' on skipped, an address listed again taken once. False with `error` set
// when the list cannot be read, a line is not a module address or none is
// given.
bool ReadHostList(const std::string& path, HostList& list, std::string& error);

// Writes `hosts` to the run's --hosts-out file ({date} expanded), one a
// line, replacing the file only when complete. True when done or not asked
// for; false after one line on standard error saying why not.
bool WriteHostsOut(const CtlOptions& options, const std::vector<std::string>& hosts);
