#include "history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <unistd.h>

#include <git2/sys/mempack.h>

#include "history/GitHandles.h"
#include "history/RunLock.h"

namespace {

const char* const kBranch = "main";
const char* const kLockFile = "kalvor.lock";

// SIGINT, SIGTERM and SIGHUP held back while it lives: their handlers run
// once it is gone.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &m_before);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &m_before, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_before;
};

bool Failed(const std::string& what, std::string& error)
{
    error = what + ": " + Git::LastError();
    return false;
}

// The id of `file` in `tree`; null when the tree has no such file.
const git_oid* EntryId(const git_tree* tree, const std::string& file)
{
    const git_tree_entry* entry = tree ? git_tree_entry_byname(tree, file.c_str()) : nullptr;
    return entry ? git_tree_entry_id(entry) : nullptr;
}

Git::Tree TreeOf(const git_commit* commit)
{
    git_tree* tree = nullptr;
    git_commit_tree(&tree, commit);
    return Git::Tree(tree);
}

bool ReadBlob(git_repository* repo, const git_oid& id, std::string& bytes)
{
    git_blob* blob = nullptr;
    if (git_blob_lookup(&blob, repo, &id) != 0)
        return false;
    Git::Blob owned(blob);
    bytes.assign(static_cast<const char*>(git_blob_rawcontent(blob)), size_t(git_blob_rawsize(blob)));
    return true;
}

}  // namespace

struct CHistoryStore::Private {
    Git::Library library;
    Git::Repository repo;
    Git::Tree head;  // the last commit's tree; null before the first
    CRunLock lock;

    std::string GitDir() const { return git_repository_path(repo.get()); }

    bool LoadHead(std::string& error)
    {
        if (git_repository_head_unborn(repo.get()) == 1)
            return true;
        git_object* tree = nullptr;
        if (git_revparse_single(&tree, repo.get(), "HEAD^{tree}") != 0)
            return Failed("its last commit cannot be read", error);
        head.reset(reinterpret_cast<git_tree*>(tree));
        return true;
    }

    // After a run killed in a commit: its lock files go, and the folder's
    // files and index are brought back to the last commit.
    bool Tidy(std::string& error)
    {
        for (const std::string& lock :
            {std::string("index.lock"), std::string("HEAD.lock"), std::string("refs/heads/") + kBranch + ".lock"})
            unlink((GitDir() + lock).c_str());
        if (!head)
            return true;
        // Index and files both: a killed checkout may have written a file
        // without its index entry.
        git_object* commit = nullptr;
        const bool reset = git_revparse_single(&commit, repo.get(), "HEAD^{commit}") == 0
            && git_reset(repo.get(), commit, GIT_RESET_HARD, nullptr) == 0;
        git_object_free(commit);
        return reset || Failed("its files cannot be restored", error);
    }

    // The folder's `files` (and the index) as in `tree`.
    bool CheckOut(git_tree* tree, const std::vector<std::string>& files, std::string& error)
    {
        std::vector<char*> paths;
        for (const std::string& file : files)
            paths.push_back(const_cast<char*>(file.c_str()));
        git_checkout_options options = GIT_CHECKOUT_OPTIONS_INIT;
        options.checkout_strategy = GIT_CHECKOUT_FORCE | GIT_CHECKOUT_DISABLE_PATHSPEC_MATCH;
        options.paths = {paths.data(), paths.size()};
        return git_checkout_tree(repo.get(), reinterpret_cast<git_object*>(tree), &options) == 0
            || Failed("the folder's files cannot be updated", error);
    }
};

CHistoryStore::CHistoryStore(std::unique_ptr<Private> data) : d(std::move(data)) { }

CHistoryStore::~CHistoryStore() = default;

std::unique_ptr<CHistoryStore> CHistoryStore::Read(const std::string& dir, std::string& error)
{
    auto data = std::make_unique<Private>();
    // The nightly run's history belongs to the service's own user; reading
    // it runs nothing that its configuration names, so its owner may differ.
    git_libgit2_opts(GIT_OPT_SET_OWNER_VALIDATION, 0);
    git_repository* repo = nullptr;
    if (git_repository_open_ext(&repo, dir.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0) {
        error = QFileInfo(QString::fromLocal8Bit(dir.c_str())).isDir() ? "not a history (no repository in it)"
                                                                       : "no such folder";
        return nullptr;
    }
    data->repo.reset(repo);
    if (!data->LoadHead(error))
        return nullptr;
    return std::unique_ptr<CHistoryStore>(new CHistoryStore(std::move(data)));
}

std::unique_ptr<CHistoryStore> CHistoryStore::Record(const std::string& dir, std::string& error)
{
    auto data = std::make_unique<Private>();
    // A commit is on the disk before the branch moves to it: a few flushes
    // a run, since the new objects go into one pack.
    git_libgit2_opts(GIT_OPT_ENABLE_FSYNC_GITDIR, 1);
    const QString path = QString::fromLocal8Bit(dir.c_str());
    const QFileInfo info(path);
    if (!info.exists() && !QDir().mkdir(path)) {
        error = QFileInfo(info.absolutePath()).isDir() ? "cannot be created" : "its parent folder does not exist";
        return nullptr;
    }
    git_repository* repo = nullptr;
    if (git_repository_open_ext(&repo, dir.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0) {
        if (!QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            error = "holds other files and no history; give an empty or a new folder";
            return nullptr;
        }
        git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
        options.initial_head = kBranch;
        if (git_repository_init_ext(&repo, dir.c_str(), &options) != 0) {
            Failed("cannot be made a repository", error);
            return nullptr;
        }
    }
    data->repo.reset(repo);
    if (git_repository_is_bare(repo)) {
        error = "is a bare repository; a history has its files beside its repository";
        return nullptr;
    }
    bool interrupted = false;
    if (!data->lock.Take(data->GitDir() + kLockFile, interrupted, error) || !data->LoadHead(error)
        || (interrupted && !data->Tidy(error)))
        return nullptr;
    return std::unique_ptr<CHistoryStore>(new CHistoryStore(std::move(data)));
}

bool CHistoryStore::Last(const std::string& file, std::string& bytes) const
{
    const git_oid* id = EntryId(d->head.get(), file);
    return id && ReadBlob(d->repo.get(), *id, bytes);
}

bool CHistoryStore::Differs(const std::string& file, const std::string& bytes) const
{
    const git_oid* last = EntryId(d->head.get(), file);
    git_oid id;
    return !last || git_odb_hash(&id, bytes.data(), bytes.size(), GIT_OBJECT_BLOB) != 0 || !git_oid_equal(&id, last);
}

void CHistoryStore::Stage(const HistoryEntry& entry, const std::string& bytes) { m_staged.push_back({entry, bytes}); }

bool CHistoryStore::Commit(
    const std::string& subject, const std::vector<std::string>& failed, std::string& commit, std::string& error)
{
    commit.clear();
    if (m_staged.empty())
        return true;
    const SignalsHeld held;
    d->lock.Committing(true);
    if (!WriteCommit(subject, failed, commit, error)) {
        if (commit.empty())
            d->lock.Committing(false);  // nothing to tidy: the branch did not move
        return false;
    }
    d->lock.Committing(false);
    m_staged.clear();
    return true;
}

bool CHistoryStore::WriteCommit(
    const std::string& subject, const std::vector<std::string>& failed, std::string& commit, std::string& error)
{
    git_repository* repo = d->repo.get();
    // The new objects gather in memory and go to the disk as one pack: a
    // thousand loose objects would cost a thousand file creations.
    git_odb* odb = nullptr;
    git_odb_backend* memory = nullptr;
    if (git_repository_odb(&odb, repo) != 0 || git_mempack_new(&memory) != 0
        || git_odb_add_backend(odb, memory, 1000) != 0) {
        git_odb_free(odb);
        return Failed("the commit cannot be prepared", error);
    }
    Git::Odb ownedOdb(odb);
    git_oid commitId;
    git_tree* tree = nullptr;
    const bool written = WriteObjects(subject, failed, commitId, tree, error) && WritePack(odb, memory, error);
    git_mempack_reset(memory);
    Git::Tree ownedTree(tree);
    if (!written || !MoveBranch(commitId, subject, error))
        return false;
    commit = Git::Hex(commitId);
    // From here on the commit is made; the folder's files follow it.
    std::vector<std::string> files;
    for (const Staging& staged : m_staged)
        files.push_back(staged.entry.file);
    if (!d->CheckOut(tree, files, error))
        return false;  // the next run restores them
    d->head = std::move(ownedTree);
    return true;
}

bool CHistoryStore::WriteObjects(const std::string& subject, const std::vector<std::string>& failed, git_oid& commitId,
    git_tree*& tree, std::string& error)
{
    git_repository* repo = d->repo.get();
    git_treebuilder* builder = nullptr;
    if (git_treebuilder_new(&builder, repo, d->head.get()) != 0)
        return Failed("the commit cannot be prepared", error);
    Git::TreeBuilder ownedBuilder(builder);
    std::vector<HistoryEntry> entries;
    for (const Staging& staged : m_staged) {
        git_oid blob;
        if (git_blob_create_from_buffer(&blob, repo, staged.bytes.data(), staged.bytes.size()) != 0
            || git_treebuilder_insert(nullptr, builder, staged.entry.file.c_str(), &blob, GIT_FILEMODE_BLOB) != 0)
            return Failed(staged.entry.file + " cannot be stored", error);
        entries.push_back(staged.entry);
    }
    git_oid treeId;
    if (git_treebuilder_write(&treeId, builder) != 0 || git_tree_lookup(&tree, repo, &treeId) != 0)
        return Failed("the commit's tree cannot be written", error);
    git_commit* parent = nullptr;
    if (d->head && git_revparse_single(reinterpret_cast<git_object**>(&parent), repo, "HEAD^{commit}") != 0)
        return Failed("the last commit cannot be read", error);
    Git::Commit ownedParent(parent);
    char host[256] = "localhost";
    gethostname(host, sizeof host - 1);
    git_signature* signature = nullptr;
    if (git_signature_now(&signature, "kalvorctl", (std::string("kalvorctl@") + host).c_str()) != 0)
        return Failed("the commit cannot be signed", error);
    Git::Signature ownedSignature(signature);
    const std::string message = ComposeHistoryMessage(subject, entries, failed);
    const git_commit* parents[] = {parent};
    return git_commit_create(
               &commitId, repo, nullptr, signature, signature, nullptr, message.c_str(), tree, parent ? 1 : 0, parents)
        == 0
        || Failed("the commit cannot be made", error);
}

bool CHistoryStore::WritePack(git_odb* odb, git_odb_backend* memory, std::string& error)
{
    git_buf pack = GIT_BUF_INIT;
    git_odb_writepack* writer = nullptr;
    git_indexer_progress progress {};
    const bool done = git_mempack_dump(&pack, d->repo.get(), memory) == 0
        && git_odb_write_pack(&writer, odb, nullptr, nullptr) == 0
        && writer->append(writer, pack.ptr, pack.size, &progress) == 0 && writer->commit(writer, &progress) == 0;
    if (writer)
        writer->free(writer);
    git_buf_dispose(&pack);
    return done || Failed("the new versions cannot be written", error);
}

// The branch moves from the last commit to `id` in one step (or is made).
bool CHistoryStore::MoveBranch(const git_oid& id, const std::string& subject, std::string& error)
{
    git_repository* repo = d->repo.get();
    git_reference* head = nullptr;
    if (git_reference_lookup(&head, repo, "HEAD") != 0)
        return Failed("its HEAD cannot be read", error);
    Git::Reference ownedHead(head);
    const char* branch = git_reference_symbolic_target(head);
    if (!branch) {
        error = "its HEAD is detached from any branch";
        return false;
    }
    git_reference* moved = nullptr;
    const std::string log = "commit: " + subject;
    git_oid last;
    const bool unborn = !d->head;
    const int result = unborn ? git_reference_create(&moved, repo, branch, &id, 0, log.c_str())
        : git_reference_name_to_id(&last, repo, branch) == 0
        ? git_reference_create_matching(&moved, repo, branch, &id, 1, &last, log.c_str())
        : -1;
    git_reference_free(moved);
    return result == 0 || Failed("its branch cannot be moved to the new commit", error);
}

std::vector<HistoryVersion> CHistoryStore::Versions(const std::string& file) const
{
    std::vector<HistoryVersion> versions;
    git_revwalk* walk = nullptr;
    if (!d->head || git_revwalk_new(&walk, d->repo.get()) != 0)
        return versions;
    Git::RevWalk ownedWalk(walk);
    git_revwalk_sorting(walk, GIT_SORT_TOPOLOGICAL | GIT_SORT_TIME);
    git_revwalk_push_head(walk);
    size_t depth = 0;
    for (git_oid id; git_revwalk_next(&id, walk) == 0; ++depth) {
        git_commit* commit = nullptr;
        if (git_commit_lookup(&commit, d->repo.get(), &id) != 0)
            continue;
        Git::Commit owned(commit);
        const Git::Tree tree = TreeOf(commit);
        const git_oid* now = EntryId(tree.get(), file);
        git_commit* parent = nullptr;
        Git::Tree before;
        if (git_commit_parent(&parent, commit, 0) == 0) {
            before = TreeOf(parent);
            git_commit_free(parent);
        }
        const git_oid* then = EntryId(before.get(), file);
        if (!now || (then && git_oid_equal(now, then)))
            continue;
        HistoryEntry entry;
        FindHistoryEntry(git_commit_message(commit), file, entry);
        versions.push_back(
            {Git::Hex(id), static_cast<long long>(git_commit_time(commit)), !then, entry.settings, depth});
    }
    return versions;
}

std::vector<std::string> CHistoryStore::FilesOf(const std::string& stem) const
{
    std::vector<std::string> files;
    const size_t count = d->head ? git_tree_entrycount(d->head.get()) : 0;
    for (size_t i = 0; i < count; ++i) {
        const std::string name = git_tree_entry_name(git_tree_entry_byindex(d->head.get(), i));
        if (name.compare(0, stem.size() + 1, stem + ".") == 0 && name.find('.', stem.size() + 1) == std::string::npos)
            files.push_back(name);
    }
    git_revwalk* walk = nullptr;
    if (!files.empty() || !d->head || git_revwalk_new(&walk, d->repo.get()) != 0)
        return files;
    Git::RevWalk ownedWalk(walk);
    git_revwalk_push_head(walk);
    for (git_oid id; git_revwalk_next(&id, walk) == 0;) {
        git_commit* commit = nullptr;
        if (git_commit_lookup(&commit, d->repo.get(), &id) != 0)
            continue;
        for (const std::string& file : FilesNoted(git_commit_message(commit), stem))
            if (std::find(files.begin(), files.end(), file) == files.end())
                files.push_back(file);
        git_commit_free(commit);
    }
    return files;
}

bool CHistoryStore::At(
    const std::string& revision, const std::string& file, std::string& bytes, std::string& error) const
{
    git_object* object = nullptr;
    git_object* peeled = nullptr;
    const bool found = git_revparse_single(&object, d->repo.get(), revision.c_str()) == 0
        && git_object_peel(&peeled, object, GIT_OBJECT_COMMIT) == 0;
    Git::Object ownedObject(object), ownedPeeled(peeled);
    if (!found) {
        error = revision + ": no such version in the history";
        return false;
    }
    const Git::Tree tree = TreeOf(reinterpret_cast<git_commit*>(peeled));
    const git_oid* id = EntryId(tree.get(), file);
    if (!id || !ReadBlob(d->repo.get(), *id, bytes)) {
        error = revision + ": the version holds no " + file;
        return false;
    }
    return true;
}

void CHistoryStore::ShowAsText(const std::string& pattern, const std::string& driver, const std::string& command)
{
    git_config* config = nullptr;
    if (git_repository_config(&config, d->repo.get()) == 0) {
        Git::Config owned(config);
        git_config_set_string(config, ("diff." + driver + ".textconv").c_str(), command.c_str());
    }
    // .git/info/attributes: like .gitattributes, but not a file of the history.
    const QString path = QString::fromLocal8Bit((d->GitDir() + "info/attributes").c_str());
    QFile file(path);
    QStringList lines;
    if (file.open(QIODevice::ReadOnly))
        lines = QString::fromLocal8Bit(file.readAll()).split('\n', Qt::SkipEmptyParts);
    file.close();
    const QString line = QString::fromLocal8Bit((pattern + " diff=" + driver).c_str());
    if (lines.contains(line))
        return;
    lines.removeIf(
        [&](const QString& other) { return other.startsWith(QString::fromLocal8Bit(pattern.c_str()) + ' '); });
    lines << line;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(lines.join('\n').toLocal8Bit() + '\n');
}
