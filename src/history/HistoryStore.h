#pragma once
// A folder of module files kept as a git repository: one file per module,
// one commit per run holding every file that changed, none when nothing
// changed. The commit message names each changed file and its changed
// settings (see HistoryMessage.h), so that a module's versions can be
// listed with what changed in each.
//
// A run that records opens the store with Record: one such run per folder
// at a time. Its commit is whole or absent: the new objects are written
// first, the branch moves to the new commit in one atomic step, and the
// files of the folder follow; SIGINT, SIGTERM and SIGHUP wait until all of
// that is done, and a run killed in the middle of it is tidied up by the
// next one (the folder's files brought back to the last commit).

#include <memory>
#include <string>
#include <vector>

#include "history/HistoryMessage.h"

struct git_odb;
struct git_odb_backend;
struct git_oid;
struct git_tree;

struct HistoryVersion {
    std::string commit;  // 40 hexadecimal digits
    long long time = 0;  // the commit's time, seconds since the epoch
    bool first = false;  // the file's first version
    std::vector<std::string> settings;  // changed settings by name, as recorded
    // Commits from HEAD to this one (0: HEAD): the order of versions of
    // several files, whose times may be the same second.
    size_t depth = 0;
};

class CHistoryStore {
public:
    // For a recording run: `dir` (created, with a repository in it, when
    // missing; its parent must exist) locked for this run. Null with
    // `error` set (one line, without the folder's name) when it cannot be.
    static std::unique_ptr<CHistoryStore> Record(const std::string& dir, std::string& error);
    // For reading only: no lock, and `dir` must already be a history.
    static std::unique_ptr<CHistoryStore> Read(const std::string& dir, std::string& error);
    ~CHistoryStore();
    CHistoryStore(const CHistoryStore&) = delete;
    CHistoryStore& operator=(const CHistoryStore&) = delete;

    // The file's bytes in the last commit; false when it has none.
    bool Last(const std::string& file, std::string& bytes) const;
    // Whether `bytes` differ from the file's last version, or it has none.
    bool Differs(const std::string& file, const std::string& bytes) const;
    // Adds a changed file to the run's commit; `entry.file` names it.
    void Stage(const HistoryEntry& entry, const std::string& bytes);
    size_t Staged() const { return m_staged.size(); }
    // One commit of every staged file, its message made of `subject`, the
    // staged entries and the `failed` modules. `commit` gets its id, or
    // stays empty when nothing was staged. False with `error` set when the
    // commit could not be made (the repository is then as it was).
    bool Commit(
        const std::string& subject, const std::vector<std::string>& failed, std::string& commit, std::string& error);

    // The versions of `file`, newest first: every commit that changed it.
    std::vector<HistoryVersion> Versions(const std::string& file) const;
    // The files of the last commit named `stem` and an extension, else
    // those that the commit messages note with `stem` (a module's address
    // beside its name), newest first.
    std::vector<std::string> FilesOf(const std::string& stem) const;
    // The file's bytes at `revision` (a commit id, a prefix of one, HEAD~2,
    // any revision git knows). False with `error` set when there is none.
    bool At(const std::string& revision, const std::string& file, std::string& bytes, std::string& error) const;

    // `git diff` and `git log -p` in the folder show files matching
    // `pattern` as the text `command FILE` prints (git's textconv).
    void ShowAsText(const std::string& pattern, const std::string& driver, const std::string& command);

private:
    struct Private;
    bool WriteCommit(
        const std::string& subject, const std::vector<std::string>& failed, std::string& commit, std::string& error);
    bool WriteObjects(const std::string& subject, const std::vector<std::string>& failed, git_oid& commitId,
        git_tree*& tree, std::string& error);
    bool WritePack(git_odb* odb, git_odb_backend* memory, std::string& error);
    bool MoveBranch(const git_oid& id, const std::string& subject, std::string& error);
    explicit CHistoryStore(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;

    struct Staging {
        HistoryEntry entry;
        std::string bytes;
    };
    std::vector<Staging> m_staged;
};
