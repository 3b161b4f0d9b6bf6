// "Save Module Settings..." and "Apply Module Settings..." of the context
// menu: every setting of the module into a module settings file, and the
// settings of such a file that differ brought to the module, as the windows
// write them, once the operator has chosen them. Every read and write shows
// the busy state with Cancel; a file or value that is refused stops the
// action before anything is sent.

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "base/FileReplace.h"
#include "base/Pause.h"
#include "core/ApplySettingsDlg.h"
#include "core/MainDlg.h"
#include "fleet/SettingsApply.h"
#include "fleet/SettingsReadAll.h"
#include "platform/Busy.h"
#include "platform/ControlText.h"
#include "platform/UiSeam.h"
#include "res/MainDlgIds.h"
#include "settings/SettingsFile.h"

using Failure = SettingsReadResult::Failure;

namespace {

constexpr const char* kSaveTitle = "Save Module Settings";
constexpr const char* kApplyTitle = "Apply Module Settings";
constexpr const char* kFileFilter = "Module settings (*.txt);;All files (*)";
constexpr const char* kFileSuffix = "txt";
constexpr const char* kInitialName = "module-%1.txt";
constexpr const char* kReadFirst = "Press \"Read Settings\" for this module first: nothing was read or saved.";
constexpr const char* kNoFile = "No file chosen: nothing was sent.";
constexpr const char* kNothingSaved = "nothing was saved.";
constexpr const char* kNothingWritten = "nothing was written to the module.";
constexpr const char* kReading = "Reading every setting of the module ...";
constexpr const char* kReadProgress = "Reading every setting of the module: %1 of %2 parts read ...";
constexpr const char* kReadFailed = "Not read: %1 (%2); %3";
constexpr const char* kCancelled = "Cancelled: %1";
constexpr const char* kUnsupported = "firmware not supported, 4.050 or later needed";
constexpr const char* kImplausible
    = "every switch register 0x00 or 0xFF, check the cable between module and switch board";
constexpr const char* kSaved = "Module settings saved to %1 (firmware %2, %3 settings).";
constexpr const char* kNotSaved = "Module settings not saved: %1: %2. An existing file is left as it was.";
constexpr const char* kFileRefused = "%1 cannot be applied:\n%2\n\nNothing was sent to the module.";
constexpr const char* kValuesRefused
    = "%1 holds values that Kalvor would not send:\n%2\n\nNothing was sent to the module.";
constexpr const char* kModuleRefuses
    = "These settings of %1 cannot be written to this module:\n%2\n\nNothing was sent to it.";
constexpr const char* kRefused = "Refused: nothing was written to the module.";
constexpr const char* kNothingDiffers = "Nothing to apply: the module holds the settings of %1.";
constexpr const char* kPreviewCancelled = "Apply cancelled: nothing was written to the module.";
constexpr const char* kNoneChecked = "No setting checked: nothing was written to the module.";
constexpr const char* kWriting = "Writing module settings: step %1 of %2 ...";
constexpr const char* kReadingBack = "Reading back what was written ...";
constexpr const char* kSwitchUploaded = "Switch registers uploaded: restarting the switch board and confirming ...";
constexpr const char* kApplied = "Module settings applied: %1 of %2 written and read back.";
constexpr const char* kApplyCancelled = "Cancelled: %1 of %2 settings written and read back.";
constexpr const char* kNotAllApplied = "Not all settings written: %1 of %2 written and read back.";
constexpr const char* kAddressNow = " The module's address is now %1: \"IP Address\" shows it.";
constexpr const char* kWrittenList = "Written and read back (%1):";
constexpr const char* kNotWrittenList = "Not written (%1):";
constexpr const char* kAddressMoved
    = "The module's own IP address was written last: the module answers at %1 now (\"IP Address\" shows it).";
constexpr const char* kSwitchUnconfirmed = "The switch registers were uploaded but not confirmed: the switch board "
                                           "returns to its defaults after 2 minutes.";
constexpr const char* kReadAgain = "\"Read Settings\" shows the module's settings in this window.";

FileDialogSpec FileSpec(const char* title, const QString& initialName)
{
    return {
        QString::fromLatin1(title), QString::fromLatin1(kFileFilter), QString::fromLatin1(kFileSuffix), initialName};
}

// "Waiting for HOST ... (Cancel to stop)" on the status line while an
// answer of a chain is slow in coming, as for a batch that waits.
std::function<void(bool)> WaitingNote(const QString& host)
{
    return [host](bool slow) { CBusy::NoteWaitingFor(slow ? host : QString()); };
}

// What a CSnmpRequest code says of the module.
QString CodeWords(int code)
{
    switch (code) {
    case CSnmpRequest::kNoAnswer: return QStringLiteral("the module did not answer");
    case CSnmpRequest::kErrorStatus: return QStringLiteral("the module refused the request or gave no valid answer");
    case CSnmpRequest::kNoSession: return QStringLiteral("no SNMP session could be opened");
    case CSnmpRequest::kCancelled: return QStringLiteral("cancelled");
    default: return QStringLiteral("SNMP error code %1").arg(code);
    }
}

// The status line after a read that failed; `nothing` says what was not done.
QString ReadFailure(const SettingsReadResult& read, const QString& nothing)
{
    switch (read.failure) {
    case Failure::Cancelled: return QString::fromLatin1(kCancelled).arg(nothing);
    case Failure::Refused: return QString::fromLatin1(kReadFailed).arg(kUnsupported, "firmware version", nothing);
    case Failure::Implausible: return QString::fromLatin1(kReadFailed).arg(kImplausible, "switch read", nothing);
    default:
        return QString::fromLatin1(kReadFailed)
            .arg(CodeWords(read.code), QString::fromStdString(read.Phase()), nothing);
    }
}

// A stop box of `text` naming the file (%1) and listing `refusals` (%2);
// false when there are none.
bool ShowRefusals(const char* text, const QString& path, const std::vector<ApplyRefusal>& refusals)
{
    if (refusals.empty())
        return false;
    QStringList lines;
    for (const ApplyRefusal& refusal : refusals)
        lines << QString::fromStdString(refusal.key) + ": " + refusal.reason;
    AfxMessageBox(QString::fromLatin1(text).arg(path, lines.join('\n')), MB_OK | MB_ICONSTOP);
    return true;
}

// Written: read back as the file has it, or the module's own address,
// written last, after which the module no longer answers at the old one.
bool Landed(const SettingOutcome& setting, const ApplyResult& result)
{
    return setting.outcome == WriteOutcome::Written
        || (setting.key == "ip" && result.addressChanged && setting.outcome == WriteOutcome::Unchecked);
}

QString Why(const SettingOutcome& setting)
{
    switch (setting.outcome) {
    case WriteOutcome::Written: return QStringLiteral("written");
    // Here a write waits for its answer, so a cancel ends it as Failed; one
    // left unchecked was answered, and its read-back failed or was cancelled.
    case WriteOutcome::Unchecked:
        return "written, not read back: " + CodeWords(setting.code ? setting.code : CSnmpRequest::kCancelled);
    case WriteOutcome::ReadsOtherwise: return "written, but the module reads back " + setting.value;
    case WriteOutcome::Failed:
        return setting.code == CSnmpRequest::kCancelled
            ? QStringLiteral("cancelled while it was sent: maybe written, not read back")
            : "its request failed: " + CodeWords(setting.code);
    case WriteOutcome::NotSent: return QStringLiteral("not sent");
    }
    return QString();
}

}  // namespace

bool CMainDlg::ReadEverySetting(SettingsSnapshot& snapshot, const char* nothing)
{
    SetStatus(QString::fromLatin1(kReading));
    CSettingsReadAll read(ModuleAddress().toStdString(), m_roCommunity.toLatin1().toStdString());
    read.SetWaiting(WaitingNote(ModuleAddress()));
    SettingsReadResult result;
    result.failure = Failure::Cancelled;
    RunChain(
        [&](std::function<void()> ended) {
            read.Start(
                [&result, ended](const SettingsReadResult& done) {
                    result = done;
                    ended();
                },
                [this](int done, int total) { SetStatus(QString::fromLatin1(kReadProgress).arg(done).arg(total)); });
        },
        [&read] { read.Cancel(); });
    if (result.failure != Failure::None) {
        SetStatus(ReadFailure(result, QString::fromLatin1(nothing)));
        return false;
    }
    snapshot = result.snapshot;
    return true;
}

void CMainDlg::OnSaveModuleSettings()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    if (!m_settingsRead || m_settingsReadAt != ModuleAddress()) {
        SetStatus(QString::fromLatin1(kReadFirst));
        return;
    }
    const QString path
        = Ui().GetSaveFileName(this, FileSpec(kSaveTitle, QString::fromLatin1(kInitialName).arg(ModuleAddress())));
    if (path.isEmpty()) {
        SetStatus(QString::fromLatin1(kNoFile));
        return;
    }
    // A file that cannot be written is found before any exchange.
    const std::string unwritable = WhyNotWritable(QFile::encodeName(path).toStdString());
    if (!unwritable.empty()) {
        SetStatus(QString::fromLatin1(kNotSaved).arg(path, QString::fromLocal8Bit(unwritable.c_str())));
        return;
    }
    SettingsSnapshot module;
    if (!ReadEverySetting(module, kNothingSaved))
        return;
    QString error;
    if (!WriteSettingsFile(path, module, error)) {
        SetStatus(QString::fromLatin1(kNotSaved).arg(path, error));
        return;
    }
    SetStatus(
        QString::fromLatin1(kSaved).arg(path, module.shape.version.Text(), QString::number(module.SettingCount())));
}

void CMainDlg::OnApplyModuleSettings()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    const QString path = Ui().GetOpenFileName(this, FileSpec(kApplyTitle, QString()));
    if (path.isEmpty()) {
        SetStatus(QString::fromLatin1(kNoFile));
        return;
    }
    // The file's own faults, and any value the windows would not send (the
    // module's address among them: the operator may choose it), stop it
    // before any exchange.
    const SettingsFileParse parse = ReadSettingsFile(path);
    const SettingsSnapshot& file = parse.snapshot;
    if (!parse.ok)
        AfxMessageBox(QString::fromLatin1(kFileRefused).arg(path, parse.error), MB_OK | MB_ICONSTOP);
    if (!parse.ok || ShowRefusals(kValuesRefused, path, CheckFileValues(file, true))) {
        SetStatus(QString::fromLatin1(kRefused));
        return;
    }
    SettingsSnapshot module;
    if (!ReadEverySetting(module, kNothingWritten))
        return;
    std::vector<SettingDifference> differences = DiffSettings(module, file);
    const std::vector<std::string> keys = KeysToApply(differences, file, true);
    differences.erase(std::remove_if(differences.begin(), differences.end(),
                          [&keys](const SettingDifference& difference) {
                              return std::find(keys.begin(), keys.end(), difference.key) == keys.end();
                          }),
        differences.end());
    if (differences.empty()) {
        SetStatus(QString::fromLatin1(kNothingDiffers).arg(QFileInfo(path).fileName()));
        return;
    }
    CApplySettingsDlg preview(path, differences, this);
    if (preview.DoModal() != IDOK) {
        SetStatus(QString::fromLatin1(kPreviewCancelled));
        return;
    }
    const std::vector<std::string> checked = preview.CheckedKeys();
    if (checked.empty()) {
        SetStatus(QString::fromLatin1(kNoneChecked));
        return;
    }
    if (ShowRefusals(kModuleRefuses, path, CheckApply(module, file, checked))) {
        SetStatus(QString::fromLatin1(kRefused));
        return;
    }
    ApplyFlow flow;
    flow.newRequest = [this](bool readWrite, uint32_t capacity) {
        return NewRequest(readWrite ? Community::ReadWrite : Community::ReadOnly, capacity);
    };
    flow.run = [](CSnmpRequest& request, bool set, const std::function<void(int)>& then) {
        then(set ? request.Set() : request.Get());
    };
    flow.wait = [](unsigned milliseconds, const std::function<void()>& then) {
        Sleep(milliseconds);
        then();
    };
    flow.stop = &CBusy::Cancelled;
    flow.cancelled = &CBusy::Cancelled;
    flow.switchUploaded = [this] { SetStatus(QString::fromLatin1(kSwitchUploaded)); };
    flow.waiting = WaitingNote(ModuleAddress());
    flow.progress = [this](int done, int total) {
        SetStatus(
            done < total ? QString::fromLatin1(kWriting).arg(done + 1).arg(total) : QString::fromLatin1(kReadingBack));
    };
    CSettingsApply apply(ModuleAddress().toStdString(), m_roCommunity.toLatin1().toStdString(),
        m_rwCommunity.toLatin1().toStdString(), flow);
    ApplyResult result;
    const bool started = RunChain(
        [&](std::function<void()> ended) {
            apply.Start(module, file, checked, [&result, ended](const ApplyResult& done) {
                result = done;
                ended();
            });
        },
        [&apply] { apply.Cancel(); });
    if (!started) {
        SetStatus(QString::fromLatin1(kCancelled).arg(kNothingWritten));
        return;
    }
    ReportApply(result, file);
}

// The list of what was written and what was not, in a box, and a line of it
// on the status line.
void CMainDlg::ReportApply(const ApplyResult& result, const SettingsSnapshot& file)
{
    QStringList written;
    QStringList notWritten;
    QString fault;  // the first setting that was sent and not written, and why
    for (const SettingOutcome& setting : result.settings) {
        if (Landed(setting, result)) {
            written << "  " + setting.label;
            continue;
        }
        notWritten << "  " + setting.label + ": " + Why(setting);
        if (fault.isEmpty() && setting.outcome != WriteOutcome::NotSent)
            fault = notWritten.back().trimmed();
    }
    const int total = int(result.settings.size());
    const bool complete = !result.cancelled && notWritten.isEmpty();
    const char* summary = complete ? kApplied : result.cancelled ? kApplyCancelled : kNotAllApplied;
    QString status = QString::fromLatin1(summary).arg(written.size()).arg(total);
    if (!result.cancelled && !fault.isEmpty())
        status += ' ' + fault + '.';
    QStringList box;
    if (!written.isEmpty())
        box << QString::fromLatin1(kWrittenList).arg(written.size()) << written;
    if (!notWritten.isEmpty())
        box << QString::fromLatin1(kNotWrittenList).arg(notWritten.size()) << notWritten;
    if (result.switchUnconfirmed)
        box << QString::fromLatin1(kSwitchUnconfirmed);
    if (result.addressChanged) {
        const QString address = file.Value("ip");
        SetControlText(GetDlgItem(IDC_MODULE_ADDRESS), address);
        status += QString::fromLatin1(kAddressNow).arg(address);
        box << QString::fromLatin1(kAddressMoved).arg(address);
    }
    if (!written.isEmpty())
        box << QString::fromLatin1(kReadAgain);
    SetStatus(status);
    AfxMessageBox(box.join('\n'), MB_OK | (complete ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}
