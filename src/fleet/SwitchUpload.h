#pragma once
// Bringing the switch board to an image in callback form: the upload of the
// changed registers, the restart, the wait and the confirmation as a chain of
// batches, so that many modules can go through it at once on one event loop.
// The switch window runs the same chain with steps that call back at once.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/SwitchTransfer.h"

class QObject;

// The flow of a module among many: batches to `host` with the read-write
// community, each started and calling back from the event loop (a session
// that cannot be opened for want of descriptors tried again, see
// CtlDescriptors.h), and the wait on the event loop; both end with
// `context`.
SwitchTransfer::UploadFlow EventLoopUploadFlow(const std::string& host, const std::string& rwCommunity,
    QObject* context);

class CSwitchUpload {
public:
    using Done = std::function<void(const SwitchTransfer::UploadOutcome&)>;

    CSwitchUpload() = default;
    // Ends a chain still running: its requests are closed, `done` is not called.
    ~CSwitchUpload();
    CSwitchUpload(const CSwitchUpload&) = delete;
    CSwitchUpload& operator=(const CSwitchUpload&) = delete;

    // `done` is called once, when nothing differs (at once) or when the last
    // step is over. The requests live as long as this object.
    void Start(const CSwitchImage& image, const CSwitchImage& reference, SwitchTransfer::UploadFlow flow, Done done);

    // Nothing more is sent and `done` is not called (also from within a
    // step's call back).
    void Cancel();

private:
    // A batch reading `oid`, or the upload when `oid` is null.
    void Batch(const char* oid, std::function<void(int code)> then);
    void Upload();
    void Restart();
    void Confirm();
    void Finish(SwitchTransfer::UploadPhase phase, int code);

    CSwitchImage m_image;
    SwitchTransfer::UploadFlow m_flow;
    Done m_done;
    SwitchTransfer::UploadOutcome m_outcome;
    std::vector<std::unique_ptr<CSnmpRequest>> m_requests;
    bool m_cancelled = false;
};
