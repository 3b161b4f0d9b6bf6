#pragma once
// Turns one received request into the module's answer: checks the
// community, looks the objects up, applies faults, stores written values,
// runs the objects' actions and journals every variable.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FaultTable.h"
#include "SimValue.h"

struct snmp_pdu;
class Journal;
class ModuleState;

// How a fleet's module marks its journal lines; empty for the single module.
struct JournalTag {
    std::string address;
    int index = -1;
};

class RequestHandler {
public:
    RequestHandler(ModuleState& state, Journal& journal, JournalTag tag = {})
        : m_state(state), m_journal(journal), m_tag(std::move(tag))
    {
    }

    // The response to send (the caller owns it), or nullptr when the module
    // does not answer.
    snmp_pdu* Handle(const snmp_pdu& request);

private:
    enum class Operation { Get, Set, Other, Unanswered };

    struct Variable {
        std::string oid;
        bool decoded = false;  // SET: the written value has a type the module knows
        SimValue written;
    };

    struct Decision {
        bool silent = false;
        long errorStatus = 0;
        long errorIndex = 0;
        std::vector<SimValue> answers;  // one per variable when there is no error
        std::vector<SimFault> shapes;  // per answer: how the answer is spoilt (SimFault::ShapesAnswer)

        static Decision Silent()
        {
            Decision decision;
            decision.silent = true;
            return decision;
        }
        static Decision Refused(long status, long index)
        {
            Decision decision;
            decision.errorStatus = status;
            decision.errorIndex = index;
            return decision;
        }
    };

    static Operation OperationOf(int command);
    static std::vector<Variable> VariablesOf(const snmp_pdu& request);
    bool CommunityAllows(Operation operation, const std::string& community) const;

    Decision DecideGet(const std::vector<Variable>& variables);
    Decision DecideSet(const std::vector<Variable>& variables);
    static Decision DecideOther(const std::vector<Variable>& variables);
    void Apply(Operation operation, const std::vector<Variable>& variables, const Decision& decision);

    void Record(
        Operation operation, const std::vector<Variable>& variables, const std::string& community, const char* reply);
    static snmp_pdu* BuildResponse(const snmp_pdu& request, const Decision& decision);
    static void SpoilAnswer(struct variable_list& var, const SimFault& shape);

    ModuleState& m_state;
    Journal& m_journal;
    JournalTag m_tag;
};
