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
constexpr size_t kMaxFileSize = 4096;

// A community string and where it came from (an option, a file or a variable).
struct Community {
    std::string source;
    std::string text;  // as given, in the local encoding

    bool Take(std::string& bytes, std::string& error) const { return TakeCommunity(source, text, bytes, error); }
};

std::string ModeText(mode_t mode)
{
    char text[8];
    snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
    return text;
}

}  // namespace

bool TakeCommunity(const std::string& source, const std::string& text, std::string& bytes, std::string& error)
{
    // The module keeps at most 12 characters of one byte each (Latin-1): a
    // longer string or another character would be stored otherwise than
    // typed.
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

bool ReadSmallFile(
    const std::string& what, const std::string& path, size_t limit, std::string& text, mode_t& mode, std::string& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = what + ": " + path + ": " + strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    mode = info.st_mode;
    if (!S_ISREG(info.st_mode))
        error = what + ": " + path + ": not a regular file";
    else if (size_t(info.st_size) > limit)
        error = what + ": " + path + ": larger than " + std::to_string(limit) + " bytes";
    text.assign(error.empty() ? size_t(info.st_size) : 0, '\0');
    size_t got = 0;
    ssize_t part = 1;
    while (got < text.size() && (part = read(fd, &text[got], text.size() - got)) > 0)
        got += size_t(part);
    if (part < 0)
        error = what + ": " + path + ": " + strerror(errno);
    close(fd);
    text.resize(got);
    return error.empty();
}

std::string NotPrivate(const std::string& what, const std::string& path, mode_t mode)
{
    if (!(mode & 077))
        return std::string();
    return what + ": " + path + ": others than its owner may read or change it (mode " + ModeText(mode)
        + "); make it private with chmod 600";
}

bool ReadCommunityFile(const std::string& path, std::string& ro, std::string& rw, int& given, std::string& error)
{
    std::string text;
    mode_t mode = 0;
    given = 0;
    if (!ReadSmallFile("--community-file", path, kMaxFileSize, text, mode, error))
        return false;
    error = NotPrivate("--community-file", path, mode);
    if (!error.empty())
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
