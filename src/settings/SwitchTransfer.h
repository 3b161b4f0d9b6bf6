#pragma once
// Moving the switch register image to and from the switch board and files,
// without a window: the SNMP batches of a read and an upload, and the
// configuration file (128 raw bytes, register 0 first).

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/SwitchImage.h"

class CSnmpRequest;

namespace SwitchTransfer {

// The objects of registers 0..127, ascending.
const std::vector<std::string>& RegisterObjects();
// Adds the reads of registers 0..127, ascending (capacity 128).
void AddRegisterReads(CSnmpRequest& request);
// The image of a read batch that succeeded: the low 8 bits of each result.
CSwitchImage ImageFromReads(const CSnmpRequest& request);
// Adds a write ("%i", type i) of each register in `registers` with its value
// in `image`, in the given order.
void AddRegisterWrites(CSnmpRequest& request, const CSwitchImage& image, const std::vector<int>& registers);

// Bringing the switch board to `image` from what it holds (`reference`):
// the changed registers in one SET batch, then the board's restart (its
// answer not required: the restart may cut it off), a wait, and the
// confirmation, without which the board returns to its defaults after two
// minutes. The window and the command-line tool both run this sequence
// (CSwitchUpload), each with its own way of running a batch and waiting.
inline constexpr unsigned kConfirmWaitMs = 10000;

struct UploadFlow {
    // A new request with the read-write community for `capacity` variables.
    std::function<std::unique_ptr<CSnmpRequest>(uint32_t capacity)> newRequest;
    // Runs a batch (Set for the upload, Get otherwise) and calls `then` with
    // its code, at once or later from the event loop.
    std::function<void(CSnmpRequest& request, bool set, std::function<void(int code)> then)> run;
    // Called once the upload succeeded, before the restart.
    std::function<void()> uploaded;
    // Calls `then` after the pause between the restart and the confirmation.
    std::function<void(unsigned milliseconds, std::function<void()> then)> wait;
    unsigned waitMs = kConfirmWaitMs;
};

enum class UploadPhase {
    NoChanges,  // nothing differs: nothing sent
    UploadFailed,  // the SET batch failed: no restart, no confirmation
    NotConfirmed,  // uploaded and restarted, the confirmation failed
    Confirmed,
};
struct UploadOutcome {
    UploadPhase phase = UploadPhase::NoChanges;
    int code = 0;  // CSnmpRequest code of the failed batch
    std::vector<int> changed;  // the registers uploaded (or that were to be)
};

// Configuration files: exactly 128 bytes, and plausible as a switch board's
// registers (see CSwitchImage::IsPlausible), for the same reason a read from
// the switch is checked: an image that the read would call implausible must
// never reach a switch board.
inline constexpr int kFileSize = SwitchMap::kRegisters;

enum class FileStatus {
    Loaded,  // exactly 128 plausible bytes
    WrongSize,  // fewer or more than 128 bytes
    Implausible,  // 128 bytes, each 0x00 or 0xFF
    Unreadable,  // not a file that can be opened and read
};
struct FileRead {
    FileStatus status = FileStatus::Unreadable;
    qint64 size = 0;  // bytes in the file; -1 when more than 128 of unknown number (a device, a pipe)
    QString error;  // why it could not be read
};
// Reads a configuration file. `image` changes only when the status is Loaded.
FileRead ReadImageFile(const QString& path, CSwitchImage& image);
// Why a file that was not loaded is refused, in a few words without the file
// name ("100 bytes, but a configuration file holds exactly 128").
QString RefusalReason(const FileRead& read);

// Writes the 128 bytes through a temporary file that replaces `path` only
// once all of them are on the disk, so a failure (a full disk among them)
// leaves an existing file intact. On failure `error` says why.
enum class FileWrite { Written, OpenFailed, WriteFailed };
FileWrite WriteImageFile(const QString& path, const CSwitchImage& image, QString& error);

}  // namespace SwitchTransfer
