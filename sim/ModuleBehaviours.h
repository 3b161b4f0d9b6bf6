#pragma once
// What the simulated module does beyond storing values: commands that act
// when read, objects that mirror each other, community objects that change
// the strings the module accepts.

class ModuleState;

struct BehaviourOptions {
    // Writing .1.1.4.0 / .1.1.17.0 changes the accepted community strings.
    bool linkCommunities = true;
};

void InstallModuleBehaviours(ModuleState& state, const BehaviourOptions& options);
