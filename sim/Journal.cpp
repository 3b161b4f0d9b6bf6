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
    const nlohmann::ordered_json line = {
        {"op", record.op},
        {"oid", record.oid},
        {"type", record.type},
        {"value", record.value},
        {"hex", record.hex},
        {"community", Latin1ToUtf8(record.community)},
        {"reply", record.reply},
    };
    const std::string text = line.dump() + "\n";
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fflush(m_file);
}
