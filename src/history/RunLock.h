#pragma once
// One recording run per history folder at a time: an exclusive lock on a
// file of the repository, held while the run lives and released by the
// system however the process ends. The file also tells whether the run
// holding it was in the middle of a commit, so that the next run can
// finish the tidying a killed one left undone.

#include <string>

class CRunLock {
public:
    CRunLock() = default;
    ~CRunLock();
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

    // Takes the lock on `path` without waiting. False with `error` set when
    // another process holds it (naming that process) or the file cannot be
    // used. `interrupted` tells whether the last holder died in a commit.
    bool Take(const std::string& path, bool& interrupted, std::string& error);
    // Marks the start and the end of a commit.
    void Committing(bool committing);

private:
    void Write(const std::string& state);

    int m_fd = -1;
};
