#include "base/FileReplace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode a new file gets, or the old file's when there is one.
mode_t ModeFor(const std::string& path)
{
    struct stat old {};
    if (stat(path.c_str(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

// Writes, flushes and closes `fd`; false with errno set at the first failure.
bool Complete(int fd, const char* data, size_t size, mode_t mode)
{
    const bool ok = WriteAll(fd, data, size) && fchmod(fd, mode) == 0 && FileReplaceSystemCalls().syncFile(fd) == 0;
    const int saved = errno;
    const bool closed = close(fd) == 0;
    errno = ok ? errno : saved;
    return ok && closed;
}

void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    FileReplaceSystemCalls().syncFile(fd);  // some file systems cannot: the rename itself has been done
    close(fd);
}

}  // namespace

FileReplaceCalls& FileReplaceSystemCalls()
{
    static FileReplaceCalls calls {&fsync, &rename};
    return calls;
}

std::string WhyNotWritable(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return "a folder has this name";
    const std::string folder = FolderOf(path);
    if (stat(folder.c_str(), &info) != 0)
        return "folder " + folder + ": " + strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return "folder " + folder + ": " + strerror(errno);
    return std::string();
}

FileReplace ReplaceFileContents(const std::string& path, const char* data, size_t size, std::string& error)
{
    error = WhyNotWritable(path);
    if (!error.empty())
        return FileReplace::CannotCreate;
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = strerror(errno);
        return FileReplace::CannotCreate;
    }
    if (!Complete(fd, data, size, ModeFor(path))
        || FileReplaceSystemCalls().renameFile(temporary.c_str(), path.c_str()) != 0) {
        error = strerror(errno);
        unlink(temporary.c_str());
        return FileReplace::CannotWrite;
    }
    SyncFolder(FolderOf(path));
    return FileReplace::Done;
}
