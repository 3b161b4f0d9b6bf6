#include "RequestHandler.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>

#include "Journal.h"
#include "ModuleState.h"
#include "SimOid.h"

namespace {

constexpr long kNoSuchName = SNMP_ERR_NOSUCHNAME;
constexpr long kBadValue = SNMP_ERR_BADVALUE;

u_char AsnTypeOf(SimFault::NoValue noValue)
{
    switch (noValue) {
    case SimFault::NoValue::NoSuchObject: return SNMP_NOSUCHOBJECT;
    case SimFault::NoValue::NoSuchInstance: return SNMP_NOSUCHINSTANCE;
    case SimFault::NoValue::EndOfMibView: return SNMP_ENDOFMIBVIEW;
    default: return ASN_NULL;
    }
}

}  // namespace

RequestHandler::Operation RequestHandler::OperationOf(int command)
{
    struct Row {
        int command;
        Operation operation;
    };
    static const Row kRows[] = {
        {SNMP_MSG_GET, Operation::Get},
        {SNMP_MSG_SET, Operation::Set},
        {SNMP_MSG_RESPONSE, Operation::Unanswered},
        {SNMP_MSG_TRAP, Operation::Unanswered},
        {SNMP_MSG_TRAP2, Operation::Unanswered},
        {SNMP_MSG_REPORT, Operation::Unanswered},
    };
    for (const Row& row : kRows)
        if (row.command == command)
            return row.operation;
    return Operation::Other;
}

std::vector<RequestHandler::Variable> RequestHandler::VariablesOf(const snmp_pdu& request)
{
    std::vector<Variable> variables;
    for (const netsnmp_variable_list* var = request.variables; var; var = var->next_variable) {
        Variable variable;
        variable.oid = SimOid::Format(var->name, var->name_length);
        if (request.command == SNMP_MSG_SET)
            variable.decoded = SimValue::FromVariable(*var, variable.written);
        variables.push_back(variable);
    }
    return variables;
}

bool RequestHandler::CommunityAllows(Operation operation, const std::string& community) const
{
    if (community == m_state.writeCommunity)
        return true;
    return operation != Operation::Set && community == m_state.readCommunity;
}

RequestHandler::Decision RequestHandler::DecideGet(const std::vector<Variable>& variables)
{
    Decision decision;
    for (size_t i = 0; i < variables.size(); ++i) {
        const std::optional<SimFault> fault = m_state.faults.Take(variables[i].oid, false);
        const SimObject* object = m_state.objects.Find(variables[i].oid);
        if (fault && fault->silence)
            return Decision::Silent();
        if (fault && fault->errorStatus != 0)
            return Decision::Refused(fault->errorStatus, static_cast<long>(i + 1));
        if (!object)
            return Decision::Refused(kNoSuchName, static_cast<long>(i + 1));
        decision.answers.push_back(object->command ? SimValue::Integer(1) : object->value);
        decision.shapes.push_back(fault ? *fault : SimFault {});
    }
    return decision;
}

RequestHandler::Decision RequestHandler::DecideSet(const std::vector<Variable>& variables)
{
    Decision decision;
    for (size_t i = 0; i < variables.size(); ++i) {
        const Variable& variable = variables[i];
        const std::optional<SimFault> fault = m_state.faults.Take(variable.oid, true);
        const SimObject* object = m_state.objects.Find(variable.oid);
        const long index = static_cast<long>(i + 1);
        if (fault && fault->silence)
            return Decision::Silent();
        if (fault && fault->errorStatus != 0)
            return Decision::Refused(fault->errorStatus, index);
        if (!object || !object->writable || object->command)
            return Decision::Refused(kNoSuchName, index);
        if (!variable.decoded || variable.written.type != object->value.type)
            return Decision::Refused(kBadValue, index);
        decision.answers.push_back(fault && fault->echo ? *fault->echo : variable.written);
        decision.shapes.push_back(fault ? *fault : SimFault {});
    }
    return decision;
}

RequestHandler::Decision RequestHandler::DecideOther(const std::vector<Variable>& variables)
{
    return Decision::Refused(kNoSuchName, variables.empty() ? 0L : 1L);
}

void RequestHandler::Apply(Operation operation, const std::vector<Variable>& variables, const Decision& decision)
{
    if (decision.silent || decision.errorStatus != 0)
        return;
    for (size_t i = 0; i < variables.size(); ++i) {
        if (operation == Operation::Set) {
            m_state.objects.SetValue(variables[i].oid, decision.answers[i]);
            m_state.RunWriteActions(variables[i].oid);
        } else if (operation == Operation::Get) {
            m_state.RunReadActions(variables[i].oid);
        }
    }
}

void RequestHandler::Record(
    Operation operation, const std::vector<Variable>& variables, const std::string& community, const char* reply)
{
    const bool isSet = operation == Operation::Set;
    for (const Variable& variable : variables) {
        JournalRecord record;
        record.address = m_tag.address;
        record.index = m_tag.index;
        record.op = operation == Operation::Get ? "get" : isSet ? "set" : "other";
        record.oid = variable.oid;
        if (isSet && variable.decoded) {
            record.type = std::string(1, variable.written.type);
            record.value = variable.written.Text();
            record.hex = variable.written.Hex();
        }
        record.community = community;
        record.reply = reply;
        m_journal.Write(record);
    }
}

snmp_pdu* RequestHandler::BuildResponse(const snmp_pdu& request, const Decision& decision)
{
    netsnmp_pdu* response = snmp_clone_pdu(const_cast<netsnmp_pdu*>(&request));
    if (!response)
        return nullptr;
    response->command = SNMP_MSG_RESPONSE;
    response->flags &= ~UCD_MSG_FLAG_EXPECT_RESPONSE;
    response->errstat = decision.errorStatus;
    response->errindex = decision.errorIndex;
    if (decision.errorStatus != 0)
        return response;  // an error answer carries the request's variables
    size_t i = 0;
    for (netsnmp_variable_list* var = response->variables; var; var = var->next_variable) {
        decision.answers[i].StoreInto(*var);
        SpoilAnswer(*var, decision.shapes[i]);
        if (decision.shapes[i].extraVariable)
            var = var->next_variable;  // past the copy just inserted
        ++i;
    }
    return response;
}

void RequestHandler::SpoilAnswer(netsnmp_variable_list& var, const SimFault& shape)
{
    if (shape.noValue != SimFault::NoValue::None)
        snmp_set_var_typed_value(&var, AsnTypeOf(shape.noValue), nullptr, 0);
    if (shape.wrongOid && var.name_length > 0) {
        std::vector<oid> other(var.name, var.name + var.name_length);
        ++other.back();
        snmp_set_var_objid(&var, other.data(), other.size());
    }
    if (shape.extraVariable) {
        auto* copy = static_cast<netsnmp_variable_list*>(calloc(1, sizeof(netsnmp_variable_list)));
        if (!copy || snmp_clone_var(&var, copy) != 0) {
            snmp_free_var(copy);
            return;
        }
        copy->next_variable = var.next_variable;
        var.next_variable = copy;
    }
}

snmp_pdu* RequestHandler::Handle(const snmp_pdu& request)
{
    const Operation operation = OperationOf(request.command);
    const std::string community = request.community
        ? std::string(reinterpret_cast<const char*>(request.community), request.community_len)
        : std::string();
    const std::vector<Variable> variables = VariablesOf(request);
    if (operation == Operation::Unanswered || m_state.silent || !CommunityAllows(operation, community)) {
        Record(operation, variables, community, "none");
        return nullptr;
    }
    const Decision decision = operation == Operation::Get ? DecideGet(variables)
        : operation == Operation::Set                     ? DecideSet(variables)
                                                          : DecideOther(variables);
    if (decision.silent) {
        Record(operation, variables, community, "none");
        return nullptr;
    }
    Apply(operation, variables, decision);
    Record(operation, variables, community, decision.errorStatus == 0 ? "ok" : "error");
    return BuildResponse(request, decision);
}
