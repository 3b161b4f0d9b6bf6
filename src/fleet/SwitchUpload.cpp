#include "fleet/SwitchUpload.h"

#include <QTimer>

#include "fleet/CtlDescriptors.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

using SwitchTransfer::UploadPhase;

SwitchTransfer::UploadFlow EventLoopUploadFlow(const std::string& host, const std::string& rwCommunity,
    QObject* context)
{
    SwitchTransfer::UploadFlow flow;
    flow.newRequest = [host, rwCommunity](uint32_t capacity) {
        return std::make_unique<CSnmpRequest>(host.c_str(), rwCommunity.c_str(), capacity);
    };
    flow.run = [context](CSnmpRequest& request, bool set, std::function<void(int)> then) {
        CtlDescriptors::StartBatch(request, set, context, std::move(then));
    };
    flow.wait = [context](unsigned milliseconds, std::function<void()> then) {
        QTimer::singleShot(static_cast<int>(milliseconds), Qt::PreciseTimer, context, std::move(then));
    };
    return flow;
}

CSwitchUpload::~CSwitchUpload() = default;

void CSwitchUpload::Start(
    const CSwitchImage& image, const CSwitchImage& reference, SwitchTransfer::UploadFlow flow, Done done)
{
    m_image = image;
    m_flow = std::move(flow);
    m_done = std::move(done);
    m_outcome = SwitchTransfer::UploadOutcome();
    m_outcome.changed = image.ChangedRegisters(reference);
    if (m_outcome.changed.empty())
        return Finish(UploadPhase::NoChanges, 0);
    Upload();
}

void CSwitchUpload::Cancel()
{
    m_cancelled = true;
    for (const auto& request : m_requests)
        request->Cancel();
}

void CSwitchUpload::Batch(const char* oid, std::function<void(int code)> then)
{
    if (m_cancelled)
        return;
    m_requests.push_back(m_flow.newRequest(oid ? 1 : uint32_t(m_outcome.changed.size())));
    CSnmpRequest& request = *m_requests.back();
    if (oid)
        request.AddVar(oid, "", 0);
    else
        SwitchTransfer::AddRegisterWrites(request, m_image, m_outcome.changed);
    m_flow.run(request, !oid, std::move(then));
}

void CSwitchUpload::Upload()
{
    Batch(nullptr, [this](int code) {
        if (code < 0)
            return Finish(UploadPhase::UploadFailed, code);
        if (m_flow.uploaded)
            m_flow.uploaded();
        Restart();
    });
}

// The restart's answer is not needed (the restart may cut it off): the
// confirmation tells whether the board is back.
void CSwitchUpload::Restart()
{
    Batch(Oid::kRestartSwitch, [this](int) { m_flow.wait(m_flow.waitMs, [this] { Confirm(); }); });
}

void CSwitchUpload::Confirm()
{
    Batch(Oid::kConfirmSwitch,
        [this](int code) { Finish(code < 0 ? UploadPhase::NotConfirmed : UploadPhase::Confirmed, code); });
}

void CSwitchUpload::Finish(UploadPhase phase, int code)
{
    if (m_cancelled)
        return;
    m_outcome.phase = phase;
    m_outcome.code = code;
    if (m_done)
        m_done(m_outcome);
}
