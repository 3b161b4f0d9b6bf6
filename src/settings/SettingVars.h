#pragma once
// Filling a batch from a list of variables, so that a window, the settings
// file and kalvorctl send one list built in one place.

#include <string>
#include <vector>

#include "snmp/SnmpRequest.h"

// Reads of `oids`, in order (capacity: their number).
void AddReads(CSnmpRequest& request, const std::vector<std::string>& oids);
// Writes of `vars`, in order.
void AddWrites(CSnmpRequest& request, const std::vector<SnmpVarSpec>& vars);
