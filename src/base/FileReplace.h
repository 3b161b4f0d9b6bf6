#pragma once
// Replacing a file only by complete contents. The new bytes go to a
// temporary file beside it; every write is checked, the data are flushed to
// the disk (fsync), and only then does the temporary file take the old one's
// name. A full disk, a file size limit or any other failure leaves the old
// file as it was and says why.

#include <cstddef>
#include <string>

enum class FileReplace {
    Done,
    CannotCreate,  // the folder does not take a new file (missing, not writable, a folder named so)
    CannotWrite,  // writing, flushing or renaming failed: the old file is unchanged
};

// `path` in the file system's encoding. On failure `error` holds the
// system's reason.
FileReplace ReplaceFileContents(const std::string& path, const char* data, size_t size, std::string& error);

// Whether a file `path` could be created or replaced: its folder exists and
// is writable and `path` is not a folder. Empty when it could, else why not.
std::string WhyNotWritable(const std::string& path);

// The calls that make a replacement last (flushing a file or a folder, and
// the rename), reached through this seam so that a test can watch them and
// their order; the system's own by default.
struct FileReplaceCalls {
    int (*syncFile)(int fd);
    int (*renameFile)(const char* from, const char* to);
};
FileReplaceCalls& FileReplaceSystemCalls();
