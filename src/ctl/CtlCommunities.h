#pragma once
// Where kalvorctl's two community strings come from: --ro/--rw, then a
// --community-file, then the environment, then the defaults. No message
// ever shows a community, only where it came from.

#include <functional>
#include <string>

struct CtlCommunitySources {
    const std::string* roOption = nullptr;  // --ro, when given
    const std::string* rwOption = nullptr;
    std::string file;  // --community-file, or empty
};

// The two communities as Latin-1 bytes, as the module stores them. False
// with `error` set (one line) when a source is unusable.
bool TakeCommunities(const CtlCommunitySources& sources, const std::function<const char*(const char*)>& env,
    std::string& ro, std::string& rw, std::string& error);

// A community file: lines "ro=COMMUNITY" and "rw=COMMUNITY" (each at most
// once, at least one), readable by its owner only. `ro`/`rw` are set only for
// the lines given; `given` bit 0 for ro, bit 1 for rw.
bool ReadCommunityFile(const std::string& path, std::string& ro, std::string& rw, int& given, std::string& error);
