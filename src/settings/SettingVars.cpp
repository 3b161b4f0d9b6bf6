#include "settings/SettingVars.h"

void AddReads(CSnmpRequest& request, const std::vector<std::string>& oids)
{
    for (const std::string& oid : oids)
        request.AddVar(oid, "", 0);
}

void AddWrites(CSnmpRequest& request, const std::vector<SnmpVarSpec>& vars)
{
    for (const SnmpVarSpec& var : vars)
        request.AddVar(var.oid, var.value.c_str(), var.type);
}
