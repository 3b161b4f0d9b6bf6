#pragma once
// Misbehaviour planted on single objects: no answer at all, an error status,
// a SET answered (and stored) with another value than the one written, or
// an answer that does not answer: another OID, a second variable, or no
// value (null or an exception).

#include <map>
#include <optional>
#include <string>

#include "SimValue.h"

struct SimFault {
    enum class Scope { Any, Get, Set };
    // A variable without a value: NULL or one of the SNMPv2 exceptions.
    enum class NoValue { None, Null, NoSuchObject, NoSuchInstance, EndOfMibView };

    bool silence = false;
    int errorStatus = 0;
    std::optional<SimValue> echo;  // SET only
    bool wrongOid = false;  // the answer names the next OID (last sub-identifier + 1)
    bool extraVariable = false;  // a copy of the variable follows it in the answer
    NoValue noValue = NoValue::None;
    Scope scope = Scope::Any;
    int remaining = -1;  // requests still affected; -1: all of them

    bool ShapesAnswer() const { return wrongOid || extraVariable || noValue != NoValue::None; }
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
