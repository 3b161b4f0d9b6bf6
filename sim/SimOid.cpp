#include "SimOid.h"

#include <cctype>

namespace SimOid {

std::string Full(const std::string& key)
{
    static const std::string kAbsoluteStart = ".1.3.6.1.";
    if (key.compare(0, kAbsoluteStart.size(), kAbsoluteStart) == 0)
        return key;
    const std::string relative = (!key.empty() && key[0] == '.') ? key : "." + key;
    return kEnterprise + relative;
}

std::vector<unsigned long> Parse(const std::string& text)
{
    std::vector<unsigned long> ids;
    size_t pos = (!text.empty() && text[0] == '.') ? 1 : 0;
    while (pos < text.size()) {
        size_t end = text.find('.', pos);
        if (end == std::string::npos)
            end = text.size();
        if (end == pos)
            return {};
        unsigned long id = 0;
        for (size_t i = pos; i < end; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])))
                return {};
            id = id * 10 + static_cast<unsigned long>(text[i] - '0');
        }
        ids.push_back(id);
        pos = end + 1;
        if (end + 1 == text.size())
            return {};  // trailing dot
    }
    return ids;
}

std::string Format(const unsigned long* ids, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += "." + std::to_string(ids[i]);
    return text;
}

}  // namespace SimOid
