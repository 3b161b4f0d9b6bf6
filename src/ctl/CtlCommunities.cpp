#include "ctl/CtlCommunities.h"

#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kDefaultRo = "582019374620";
const char* const kDefaultRw = "marbled";
constexpr size_t kMaxCommunity = 12;
constexpr off_t kMaxFileSize = 4096;

// A community string and where it came from (an option, a file or a variable).
struct Community {
    std::string source;
    std::string text;  // as given, in the local encoding

    // The module keeps at most 12 characters of one byte each (Latin-1): a
    // longer string or another character would be stored otherwise than
    // typed. `bytes` receives the Latin-1 bytes.
    bool Take(std::string& bytes, std::string& error) const
    {
        const QString characters = QString::fromLocal8Bit(text.c_str());
        bool latin1 = true;
        for (const QChar c : characters)
            latin1 = latin1 && c.unicode() <= 0xFF;
        if (text.empty())
            error = source + (source.rfind("--", 0) == 0 ? ": the community string is empty" : " is set but empty");
        else if (!latin1)
            error = source + ": the community string holds a character outside Latin-1, which the module cannot store";
        else if (characters.size() > qsizetype(kMaxCommunity))
            error = source + ": the community string has more than 12 characters";
        bytes = characters.toLatin1().toStdString();
        return error.empty();
    }
};

std::string ModeText(mode_t mode)
{
    char text[8];
    snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
    return text;
}

// The file's text, once it is found to be a small regular file that no one
// but its owner may read or write. It is opened without waiting, so that a
// FIFO (or a device) is refused instead of waiting for a writer.
bool ReadPrivateFile(const std::string& path, std::string& text, std::string& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "--community-file: " + path + ": " + strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (!S_ISREG(info.st_mode))
        error = "--community-file: " + path + ": not a regular file";
    else if (info.st_mode & 077)
        error = "--community-file: " + path + ": others than its owner may read or change it (mode "
            + ModeText(info.st_mode) + "); make it private with chmod 600";
    else if (info.st_size > kMaxFileSize)
        error = "--community-file: " + path + ": larger than a community file can be";
    char buffer[kMaxFileSize];
    const ssize_t got = error.empty() ? read(fd, buffer, sizeof buffer) : 0;
    if (got < 0)
        error = "--community-file: " + path + ": " + strerror(errno);
    close(fd);
    text.assign(buffer, size_t(got > 0 ? got : 0));
    return error.empty();
}

}  // namespace

bool ReadCommunityFile(const std::string& path, std::string& ro, std::string& rw, int& given, std::string& error)
{
    std::string text;
    given = 0;
    if (!ReadPrivateFile(path, text, error))
        return false;
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = "--community-file: " + path + ":" + std::to_string(number) + ": ";
        const int key = line.rfind("ro=", 0) == 0 ? 1 : line.rfind("rw=", 0) == 0 ? 2 : 0;
        if (key == 0) {
            error = where + "a line is \"ro=COMMUNITY\" or \"rw=COMMUNITY\"";  // the line itself is never shown
            return false;
        }
        if (given & key) {
            error = where + (key == 1 ? "ro=" : "rw=") + " given twice";
            return false;
        }
        given |= key;
        (key == 1 ? ro : rw) = line.substr(3);
    }
    if (given == 0)
        error = "--community-file: " + path + ": neither ro= nor rw= is given";
    return error.empty();
}

bool TakeCommunities(const CtlCommunitySources& sources, const std::function<const char*(const char*)>& env,
    std::string& ro, std::string& rw, std::string& error)
{
    Community read {"KALVOR_RO_COMMUNITY", kDefaultRo};
    Community write {"KALVOR_RW_COMMUNITY", kDefaultRw};
    for (Community* community : {&read, &write})
        if (const char* value = env(community->source.c_str()))
            community->text = value;
    if (!sources.file.empty()) {
        std::string fileRo, fileRw;
        int given = 0;
        if (!ReadCommunityFile(sources.file, fileRo, fileRw, given, error))
            return false;
        if (given & 1)
            read = Community {sources.file + ": ro", fileRo};
        if (given & 2)
            write = Community {sources.file + ": rw", fileRw};
    }
    if (sources.roOption)
        read = Community {"--ro", *sources.roOption};
    if (sources.rwOption)
        write = Community {"--rw", *sources.rwOption};
    return read.Take(ro, error) && write.Take(rw, error);
}
