#include "fleet/SettingsApply.h"

#include <QCoreApplication>
#include <algorithm>

#include "fleet/SettingsReadAll.h"
#include "fleet/SwitchUpload.h"
#include "settings/SettingVars.h"
#include "snmp/ModuleObjects.h"

bool ApplyResult::AllWritten() const
{
    return refusals.empty() && !cancelled && std::all_of(settings.begin(), settings.end(), [](const SettingOutcome& s) {
        return s.outcome == WriteOutcome::Written;
    });
}

std::vector<std::string> ApplyResult::Keys(WriteOutcome outcome) const
{
    std::vector<std::string> keys;
    for (const SettingOutcome& setting : settings)
        if (setting.outcome == outcome)
            keys.push_back(setting.key);
    return keys;
}

CSettingsApply::CSettingsApply(std::string host, std::string roCommunity, std::string rwCommunity, ApplyFlow flow)
    : m_host(std::move(host)), m_ro(std::move(roCommunity)), m_flow(std::move(flow))
{
    const SwitchTransfer::UploadFlow loop = EventLoopUploadFlow(m_host, rwCommunity, &m_context);
    if (!m_flow.newRequest)
        m_flow.newRequest = [host = m_host, ro = m_ro, newWrite = loop.newRequest](bool readWrite, uint32_t capacity) {
            return readWrite ? newWrite(capacity) : std::make_unique<CSnmpRequest>(host.c_str(), ro.c_str(), capacity);
        };
    if (!m_flow.run)
        m_flow.run = loop.run;
    if (!m_flow.wait)
        m_flow.wait = loop.wait;
}

CSettingsApply::~CSettingsApply() = default;

void CSettingsApply::Start(
    const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys, Done done)
{
    m_done = std::move(done);
    m_module = module;
    m_file = file;
    m_result = ApplyResult();
    m_result.refusals = CheckApply(module, file, keys);
    if (!m_result.refusals.empty())
        return Finish();
    for (const SettingSpec& spec : SettingsOf(module.shape))
        if (std::find(keys.begin(), keys.end(), spec.key) != keys.end())
            m_result.settings.push_back({spec.key, spec.label, WriteOutcome::NotSent, QString(), 0});
    m_steps = PlanApply(module, file, keys);
    if (!m_steps.empty() && m_steps.back().moduleAddress) {
        m_address = std::make_unique<ApplyStep>(m_steps.back());
        m_steps.pop_back();
    }
    Step(0);
}

void CSettingsApply::Cancel()
{
    if (m_finished)
        return;
    // What was on its way may have reached the module.
    if (m_sending && m_current < m_steps.size())
        Mark(m_steps[m_current].keys, m_switchUploaded ? WriteOutcome::Failed : WriteOutcome::Unchecked);
    m_result.switchUnconfirmed = m_result.switchUnconfirmed || m_switchUploaded;
    m_result.cancelled = true;
    m_finished = true;  // no call back goes on from here
    QCoreApplication::removePostedEvents(&m_context);  // batches to start again
    for (const auto& request : m_requests)
        request->Cancel();
    if (m_upload)
        m_upload->Cancel();
    if (m_readBack)
        m_readBack->Cancel();
    Finish();
}

void CSettingsApply::Step(size_t index)
{
    if (m_finished)
        return;
    m_current = index;
    if (m_flow.progress)
        m_flow.progress(int(index), int(m_steps.size()));
    if (m_finished)
        return;  // cancelled meanwhile
    if (index == m_steps.size() || m_failed)
        return ReadBack();
    const ApplyStep& step = m_steps[index];
    if (step.pauseBeforeMs)
        return m_flow.wait(step.pauseBeforeMs, [this, index] { Send(index); });
    Send(index);
}

// Asked again after a pause: a stop during it ends the writing as well.
void CSettingsApply::Send(size_t index)
{
    if (m_finished)
        return;
    if (m_flow.stop && m_flow.stop()) {
        m_result.cancelled = true;
        return ReadBack();
    }
    const ApplyStep& step = m_steps[index];
    m_sending = true;
    if (step.switchUpload)
        return Upload(index);
    if (step.writes.empty())
        return StepDone(index, CSnmpRequest::kOk);
    m_requests.push_back(m_flow.newRequest(true, uint32_t(step.writes.size())));
    AddWrites(*m_requests.back(), step.writes);
    m_flow.run(*m_requests.back(), true, [this, index](int code) { StepDone(index, code); });
}

void CSettingsApply::StepDone(size_t index, int code)
{
    if (m_finished)
        return;
    m_sending = false;
    if (code < 0) {
        Mark(m_steps[index].keys, WriteOutcome::Failed, code);
        m_failed = true;
    } else {
        Mark(m_steps[index].keys, WriteOutcome::Unchecked);
    }
    Step(index + 1);
}

void CSettingsApply::Upload(size_t index)
{
    SwitchTransfer::UploadFlow flow;
    flow.newRequest = [this](uint32_t capacity) { return m_flow.newRequest(true, capacity); };
    flow.run = m_flow.run;
    flow.uploaded = [this] {
        m_switchUploaded = true;
        if (m_flow.switchUploaded)
            m_flow.switchUploaded();
    };
    flow.wait = m_flow.wait;
    flow.waitMs = m_flow.switchWaitMs;
    m_upload = std::make_unique<CSwitchUpload>();
    m_upload->Start(
        m_steps[index].image, m_module.image, flow, [this, index](const SwitchTransfer::UploadOutcome& outcome) {
            const bool unconfirmed = outcome.phase == SwitchTransfer::UploadPhase::NotConfirmed;
            m_switchUploaded = false;
            m_result.switchUnconfirmed = unconfirmed;
            const bool failed = unconfirmed || outcome.phase == SwitchTransfer::UploadPhase::UploadFailed;
            StepDone(index, failed ? outcome.code : CSnmpRequest::kOk);
        });
}

// Every setting written is read back, once, whatever came after it.
void CSettingsApply::ReadBack()
{
    if (m_finished)
        return;
    if (m_flow.cancelled && m_flow.cancelled())
        return Cancel();
    if (m_result.Keys(WriteOutcome::Unchecked).empty())
        return WriteAddress();
    m_readBack = std::make_unique<CSettingsReadAll>(m_host, m_ro);
    m_readBack->SetWaiting(m_flow.waiting);
    m_readBack->Start([this](const SettingsReadResult& read) {
        if (m_finished)
            return;  // cancelled
        for (SettingOutcome& setting : m_result.settings) {
            if (setting.outcome != WriteOutcome::Unchecked)
                continue;
            if (read.failure != SettingsReadResult::Failure::None) {
                setting.code = read.code;
                continue;
            }
            setting.value = read.snapshot.Value(setting.key);
            setting.outcome
                = setting.value == m_file.Value(setting.key) ? WriteOutcome::Written : WriteOutcome::ReadsOtherwise;
        }
        WriteAddress();
    });
}

// The module's own address goes last, and only when everything before it
// was written.
void CSettingsApply::WriteAddress()
{
    if (m_finished)
        return;
    if (m_flow.cancelled && m_flow.cancelled())
        return Cancel();
    const bool clean = !m_failed && !m_result.cancelled
        && std::none_of(m_result.settings.begin(), m_result.settings.end(),
            [](const SettingOutcome& s) { return s.outcome == WriteOutcome::ReadsOtherwise; });
    if (!m_address || !clean)
        return Finish();
    m_requests.push_back(m_flow.newRequest(true, 1));
    AddWrites(*m_requests.back(), m_address->writes);
    m_flow.run(*m_requests.back(), true, [this](int code) {
        if (code < 0) {
            Mark(m_address->keys, WriteOutcome::Failed, code);
            return Finish();
        }
        m_result.addressChanged = true;
        Mark(m_address->keys, WriteOutcome::Unchecked);
        AddressReadBack();
    });
}

// Read at the old address: a module that has already moved does not answer.
void CSettingsApply::AddressReadBack()
{
    m_requests.push_back(m_flow.newRequest(false, 1));
    CSnmpRequest& request = *m_requests.back();
    request.AddVar(Oid::kModuleIp, "", 0);
    m_flow.run(request, false, [this, &request](int code) {
        SettingOutcome& setting = Outcome(m_address->keys.front());
        if (code < 0) {
            setting.code = code;
            return Finish();
        }
        setting.value = IpTextFromWord(static_cast<uint32_t>(request.GetInteger(0)));
        setting.outcome
            = setting.value == m_file.Value(setting.key) ? WriteOutcome::Written : WriteOutcome::ReadsOtherwise;
        Finish();
    });
}

SettingOutcome& CSettingsApply::Outcome(const std::string& key)
{
    return *std::find_if(
        m_result.settings.begin(), m_result.settings.end(), [&key](const SettingOutcome& s) { return s.key == key; });
}

void CSettingsApply::Mark(const std::vector<std::string>& keys, WriteOutcome outcome, int code)
{
    for (const std::string& key : keys) {
        SettingOutcome& setting = Outcome(key);
        setting.outcome = outcome;
        setting.code = code;
    }
}

void CSettingsApply::Finish()
{
    m_finished = true;  // (already, after Cancel)
    if (!m_done)
        return;
    const Done done = std::move(m_done);
    m_done = nullptr;
    done(m_result);
}
