#pragma once
// A full disk without root: while an object lives, files this process
// writes cannot grow beyond `bytes` (RLIMIT_FSIZE) and a write past it fails
// with EFBIG instead of raising SIGXFSZ. The old limit and signal action come
// back with the destructor.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_oldAction);
        struct rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_applied = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        sigaction(SIGXFSZ, &m_oldAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Applied() const { return m_applied; }

    // For a child process about to run another program (nothing to restore):
    // the ignored signal and the limit are inherited by the program.
    static void ApplyForGood(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    struct rlimit m_old {};
    struct sigaction m_oldAction {};
    bool m_applied = false;
};
