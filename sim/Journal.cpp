#include "Journal.h"

#include <nlohmann/json.hpp>

#include "SimValue.h"

Journal::~Journal()
{
    if (m_file)
        std::fclose(m_file);
}

bool Journal::Open(const std::string& path)
{
    m_file = std::fopen(path.c_str(), "a");
    return m_file != nullptr;
}

void Journal::Write(const JournalRecord& record)
{
    if (!m_file)
        return;
    nlohmann::ordered_json line = nlohmann::ordered_json::object();
    if (!record.address.empty()) {
        line["address"] = record.address;
        line["index"] = record.index;
    }
    line["op"] = record.op;
    line["oid"] = record.oid;
    line["type"] = record.type;
    line["value"] = record.value;
    line["hex"] = record.hex;
    line["community"] = Latin1ToUtf8(record.community);
    line["reply"] = record.reply;
    const std::string text = line.dump() + "\n";
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fflush(m_file);
}
