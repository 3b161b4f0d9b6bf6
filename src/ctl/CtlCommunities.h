#pragma once
// Where kalvorctl's two community strings come from: --ro/--rw, then a
// --community-file, then the environment, then the defaults. No message
// ever shows a community, only where it came from.

#include <functional>
#include <string>
#include <sys/types.h>

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

// One community string from `source` (an option, a variable, a file and
// line) checked as the module stores it: 1 to 12 Latin-1 characters.
// `bytes` gets the Latin-1 bytes; false with `error` naming the source.
bool TakeCommunity(const std::string& source, const std::string& text, std::string& bytes, std::string& error);

// The text and mode of a regular file of at most `limit` bytes; errors
// start with `what` (the option) and name the file. It is opened without
// waiting, so that a FIFO (or a device) is refused instead of waiting for a
// writer.
bool ReadSmallFile(const std::string& what, const std::string& path, size_t limit, std::string& text, mode_t& mode,
    std::string& error);
// The refusal of a file of community strings that others than its owner
// may read or change; empty when it is private.
std::string NotPrivate(const std::string& what, const std::string& path, mode_t mode);
