#pragma once
// The request journal: one JSON object per line, in arrival order, flushed
// line by line. The file is opened for appending, so that someone else may
// truncate it while the simulator runs.

#include <cstdio>
#include <string>

struct JournalRecord {
    std::string address;  // a fleet's module: its address; otherwise "" (and neither field is written)
    int index = -1;  // a fleet's module: its index in the fleet
    std::string op;  // "get", "set" or "other"
    std::string oid;
    std::string type;  // SET: the value's type letter ('s' for octet strings); otherwise ""
    std::string value;  // SET: decimal, dotted address or the octets as text; otherwise ""
    std::string hex;  // SET of an octet string: "00 11 22"; otherwise ""
    std::string community;  // as received (bytes taken as Latin-1)
    std::string reply;  // "ok", "error" or "none"
};

class Journal {
public:
    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // False when the file cannot be opened. Without a call nothing is written.
    bool Open(const std::string& path);
    void Write(const JournalRecord& record);

private:
    std::FILE* m_file = nullptr;
};
