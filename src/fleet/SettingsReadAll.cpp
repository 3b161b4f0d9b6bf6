#include "fleet/SettingsReadAll.h"

#include <QCoreApplication>

#include "fleet/ModuleSettingsRead.h"
#include "settings/SettingVars.h"
#include "settings/SwitchTransfer.h"

using Failure = SettingsReadResult::Failure;

std::string SettingsReadResult::Phase() const
{
    switch (failure) {
    case Failure::None: return std::string();
    case Failure::Version:
    case Failure::Refused: return "firmware version";
    case Failure::Settings: return "settings";
    case Failure::Traps: return "trap settings";
    case Failure::Serial: return "serial settings";
    case Failure::Switch:
    case Failure::Implausible: return "switch read";
    case Failure::Cancelled: return "cancelled";
    }
    return std::string();
}

CSettingsReadAll::CSettingsReadAll(std::string host, std::string roCommunity)
    : m_host(std::move(host)), m_community(std::move(roCommunity))
{
}

CSettingsReadAll::~CSettingsReadAll() = default;

void CSettingsReadAll::Start(Done done, Progress progress)
{
    m_done = std::move(done);
    m_progress = std::move(progress);
    ReadMain();
}

void CSettingsReadAll::ReadMain()
{
    if (!m_done)
        return;  // cancelled meanwhile
    m_main = std::make_unique<CModuleSettingsRead>(m_host, m_community);
    m_main->SetWaiting(m_waiting);
    m_main->Start([this](const ModuleSettings& main) { MainRead(main); });
}

void CSettingsReadAll::Cancel()
{
    QCoreApplication::removePostedEvents(&m_context);  // batches to start again
    if (m_chain)
        m_chain->Cancel();
    if (m_main)
        m_main->Cancel();
    Finish(Failure::Cancelled);
}

void CSettingsReadAll::MainRead(const ModuleSettings& main)
{
    // A read whose session could not be opened is read again, from the start
    // (not from within its own call back).
    const bool failed
        = main.failure == ModuleSettings::Failure::Version || main.failure == ModuleSettings::Failure::Settings;
    if (failed && CtlDescriptors::StartAgain(main.code, m_retry)) {
        QMetaObject::invokeMethod(
            &m_context, [this] { ReadMain(); }, Qt::QueuedConnection);
        return;
    }
    switch (main.failure) {
    case ModuleSettings::Failure::None: break;
    case ModuleSettings::Failure::Version: return Finish(Failure::Version, main.code);
    case ModuleSettings::Failure::Refused: return Finish(Failure::Refused);
    case ModuleSettings::Failure::Settings: return Finish(Failure::Settings, main.code);
    }
    m_settings = main;
    const ModuleShape shape = ShapeOf(main.version, main.modeWordsRead, main.modeWords[0]);
    m_parts = 1 + shape.traps + shape.serialPort + shape.switchBoard;
    m_partsRead = 1;
    if (m_progress)
        m_progress(m_partsRead, m_parts);
    m_chain = std::make_unique<CRequestChain>(m_host, m_community);
    Next();
}

// The next window's read the module has, in the order traps, serial, switch.
void CSettingsReadAll::Next()
{
    const ModuleShape shape = ShapeOf(m_settings.version, m_settings.modeWordsRead, m_settings.modeWords[0]);
    struct Part {
        bool wanted;
        Failure failure;
        std::vector<std::string> objects;
        std::function<void(const CSnmpRequest&)> take;
    };
    const Part parts[] = {
        {shape.traps && !m_traps, Failure::Traps, TrapSettings::ReadObjects(),
            [this](const CSnmpRequest& r) { m_traps = std::make_unique<TrapValues>(TrapSettings::FromReads(r)); }},
        {shape.serialPort && !m_serial, Failure::Serial, SerialSettings::ReadObjects(),
            [this](const CSnmpRequest& r) { m_serial = std::make_unique<SerialLine>(SerialSettings::FromReads(r)); }},
        {shape.switchBoard && !m_image, Failure::Switch, SwitchTransfer::RegisterObjects(),
            [this](const CSnmpRequest& r) {
                m_image = std::make_unique<CSwitchImage>(SwitchTransfer::ImageFromReads(r));
            }},
    };
    for (const Part& part : parts) {
        if (!part.wanted)
            continue;
        CSnmpRequest& request = m_chain->Next(static_cast<uint32_t>(part.objects.size()));
        AddReads(request, part.objects);
        CtlDescriptors::StartBatch(
            request, false, &m_context,
            [this, &request, failure = part.failure, take = part.take](int code) {
                if (code < 0)
                    return Finish(failure, code);
                take(request);
                if (failure == Failure::Switch && !m_image->IsPlausible())
                    return Finish(Failure::Implausible);
                if (m_progress)
                    m_progress(++m_partsRead, m_parts);
                Next();
            },
            CtlDescriptors::SessionRetry(), m_waiting);
        return;
    }
    Finish(Failure::None);
}

void CSettingsReadAll::Finish(Failure failure, int code)
{
    if (!m_done)
        return;
    SettingsReadResult result;
    result.failure = failure;
    result.code = code;
    if (failure == Failure::None)
        result.snapshot = SnapshotOfModule(m_settings, m_traps.get(), m_serial.get(), m_image.get());
    const Done done = std::move(m_done);
    m_done = nullptr;
    done(result);
}
