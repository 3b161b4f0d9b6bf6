#pragma once
// Misbehaviour planted on single objects: no answer at all, an error status,
// or a SET answered (and stored) with another value than the one written.

#include <map>
#include <optional>
#include <string>

#include "SimValue.h"

struct SimFault {
    enum class Scope { Any, Get, Set };

    bool silence = false;
    int errorStatus = 0;
    std::optional<SimValue> echo;  // SET only
    Scope scope = Scope::Any;
    int remaining = -1;  // requests still affected; -1: all of them
};

class FaultTable {
public:
    void Add(const std::string& oid, const SimFault& fault) { m_faults[oid] = fault; }
    // The fault that applies to this request of `oid`, if any. A fault with
    // a limited count is used up by the call.
    std::optional<SimFault> Take(const std::string& oid, bool isSet);

private:
    std::map<std::string, SimFault> m_faults;
};
