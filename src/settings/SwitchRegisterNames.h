#pragma once
// The settings each switch register holds, named as the switch settings
// window names them, so that a register number can be told to the operator
// in the window's words. Built from the same register tables the window's
// field exchange walks.

#include <string>
#include <vector>

// The names of the settings held (wholly or in part) by register `r`, in
// the order of the window's tables; empty for a register no field shows.
// Port settings are prefixed "Port N: ", group settings name the group.
std::vector<std::string> SwitchRegisterNames(int r);
