#include "history/RunLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const char* const kCommitting = " committing";

std::string Contents(int fd)
{
    char buffer[128] = {};
    const ssize_t got = pread(fd, buffer, sizeof buffer - 1, 0);
    return got > 0 ? std::string(buffer, size_t(got)) : std::string();
}

}  // namespace

CRunLock::~CRunLock()
{
    if (m_fd >= 0)
        close(m_fd);  // releases the lock
}

bool CRunLock::Take(const std::string& path, bool& interrupted, std::string& error)
{
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        error = path + ": " + strerror(errno);
        return false;
    }
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const std::string holder = Contents(m_fd);
        const std::string pid = holder.substr(0, holder.find_first_of(" \n"));
        error = errno == EWOULDBLOCK ? "another kalvorctl run is recording into it"
                + (pid.empty() ? std::string() : " (process " + pid + ")") + "; try again when it has finished"
                                     : path + ": " + strerror(errno);
        close(m_fd);
        m_fd = -1;
        return false;
    }
    interrupted = Contents(m_fd).find(kCommitting) != std::string::npos;
    Write(std::string());
    return true;
}

void CRunLock::Committing(bool committing) { Write(committing ? kCommitting : ""); }

void CRunLock::Write(const std::string& state)
{
    const std::string text = std::to_string(getpid()) + state + "\n";
    // Short writes to a local file of a few bytes do not happen; a failure
    // here only costs the next run its tidying.
    if (ftruncate(m_fd, 0) == 0 && pwrite(m_fd, text.data(), text.size(), 0) == ssize_t(text.size()))
        fdatasync(m_fd);
}
