#include "ctl/CtlHostList.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sys/stat.h>

#include "base/FileReplace.h"
#include "snmp/ModuleAddress.h"

namespace {

// One line of `file` without its line end; false at the end of the stream.
bool ReadLine(FILE* file, std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = fgetc(file)) != EOF && c != '\n')
        line += char(c);
    return c != EOF || !line.empty();
}

std::string Trimmed(const std::string& text)
{
    const char* const blanks = " \t\r\f\v";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The addresses of `file`, each once; `repeated` counts the lines that named
// an address again and `firstRepeated` is the first of them.
struct ListReader {
    std::string name;
    HostList& list;
    std::map<std::string, int> lineOf;
    int repeated = 0;
    std::string firstRepeated;

    bool Take(FILE* file, std::string& error)
    {
        int number = 0;
        for (std::string line; ReadLine(file, line);) {
            ++number;
            const std::string host = Trimmed(line.substr(0, line.find('#')));
            if (host.empty())
                continue;
            const ModuleAddressParse address = ParseModuleAddress(host);
            if (!address.Accepted()) {
                error = name + ":" + std::to_string(number) + ": " + address.error;
                return false;
            }
            if (!lineOf.emplace(address.address, number).second) {
                if (repeated++ == 0)
                    firstRepeated = address.address + " (lines " + std::to_string(lineOf[address.address]) + " and "
                        + std::to_string(number) + ")";
                continue;
            }
            list.hosts.push_back(address.address);
        }
        if (repeated)
            list.duplicates = name + ": " + std::to_string(repeated) + " line" + (repeated == 1 ? "" : "s")
                + " named a module listed before, first " + firstRepeated + "; each module is run once";
        return true;
    }
};

}  // namespace

bool ReadHostList(const std::string& path, HostList& list, std::string& error)
{
    const bool standardInput = path == "-";
    const std::string name = standardInput ? std::string("standard input") : path;
    struct stat info {};
    FILE* file = standardInput ? stdin : fopen(path.c_str(), "r");
    if (!file || (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode))) {
        error = "cannot read the host list " + name + ": " + (file ? "a folder" : strerror(errno));
        if (file)
            fclose(file);
        return false;
    }
    list = HostList();
    error.clear();
    ListReader reader {name, list, {}, 0, {}};
    if (reader.Take(file, error) && ferror(file))
        error = "cannot read the host list " + name + ": " + strerror(errno);
    if (!standardInput)
        fclose(file);
    if (error.empty() && list.hosts.empty())
        error = "the host list " + name + " holds no address";
    return error.empty();
}

bool WriteHostsOut(const CtlOptions& options, const std::vector<std::string>& hosts)
{
    if (options.hostsOut.empty())
        return true;
    const std::string path = Expanded(options.hostsOut, "", options.date);
    std::string text;
    for (const std::string& host : hosts)
        text += host + "\n";
    std::string error;
    if (ReplaceFileContents(path, text.data(), text.size(), error) == FileReplace::Done)
        return true;
    fprintf(stderr, "kalvorctl: --hosts-out: %s: %s\n", path.c_str(), error.c_str());
    return false;
}
