#pragma once
// libgit2's objects owned as std::unique_ptr, and its last error as text.

#include <git2.h>
#include <memory>
#include <string>

namespace Git {

template <auto Free> struct Freer {
    template <typename T> void operator()(T* object) const { Free(object); }
};

using Repository = std::unique_ptr<git_repository, Freer<git_repository_free>>;
using Tree = std::unique_ptr<git_tree, Freer<git_tree_free>>;
using TreeBuilder = std::unique_ptr<git_treebuilder, Freer<git_treebuilder_free>>;
using Commit = std::unique_ptr<git_commit, Freer<git_commit_free>>;
using Blob = std::unique_ptr<git_blob, Freer<git_blob_free>>;
using Object = std::unique_ptr<git_object, Freer<git_object_free>>;
using Signature = std::unique_ptr<git_signature, Freer<git_signature_free>>;
using RevWalk = std::unique_ptr<git_revwalk, Freer<git_revwalk_free>>;
using Config = std::unique_ptr<git_config, Freer<git_config_free>>;
using Odb = std::unique_ptr<git_odb, Freer<git_odb_free>>;
using Reference = std::unique_ptr<git_reference, Freer<git_reference_free>>;

// What libgit2 said about its last failure.
inline std::string LastError()
{
    const git_error* error = git_error_last();
    return error && error->message ? error->message : "unknown libgit2 error";
}

// The commit id as 40 hexadecimal digits.
inline std::string Hex(const git_oid& id)
{
    char text[GIT_OID_HEXSZ + 1];
    git_oid_tostr(text, sizeof text, &id);
    return text;
}

// Keeps libgit2 initialised while it lives.
struct Library {
    Library() { git_libgit2_init(); }
    ~Library() { git_libgit2_shutdown(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

}  // namespace Git
