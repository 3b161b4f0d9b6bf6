// The module commands of one module: module save and module diff, on the
// callback-form read of every setting.

#include "ctl/CtlModule.h"
#include "ctl/CtlSettingsText.h"
#include "fleet/SettingsReadAll.h"
#include "platform/FileReplace.h"
#include "settings/SettingsFile.h"

using Failure = SettingsReadResult::Failure;

void CCtlModule::ReadSettings(const std::function<void()>& then)
{
    m_readAll = std::make_unique<CSettingsReadAll>(m_host, m_options.roCommunity);
    m_readAll->Start([this, then](const SettingsReadResult& result) {
        switch (result.failure) {
        case Failure::None: m_moduleSettings = result.snapshot; return then();
        case Failure::Refused:
            m_out.Error(m_host, result.Phase(), "firmware is not supported (4.050 or later needed)");
            return Finish(kExitModule);
        case Failure::Implausible:
            m_out.Error(m_host, result.Phase(),
                "implausible data (every register 0x00 or 0xFF): check the cable between module and switch board");
            return Finish(kExitImplausible);
        case Failure::Switch:
            m_out.Error(m_host, result.Phase(), CodeText(result.code));
            return Finish(kExitSwitchRead);
        default: m_out.Error(m_host, result.Phase(), CodeText(result.code)); return Finish(kExitModule);
        }
    });
}

void CCtlModule::ModuleSave()
{
    const std::string path = Expanded(m_options.file, m_host, m_options.date);
    // A file that cannot be written is found before any exchange.
    const std::string unwritable = WhyNotWritable(path);
    if (!unwritable.empty()) {
        m_out.Error(m_host, "file", path + ": " + unwritable);
        return Finish(kExitUsage);
    }
    ReadSettings([this, path] {
        QString error;
        if (!WriteSettingsFile(QString::fromLocal8Bit(path.c_str()), m_moduleSettings, error)) {
            m_out.Error(m_host, "file", path + ": " + error.toStdString() + "; an existing file is left as it was");
            return Finish(kExitUsage);
        }
        const std::string firmware = m_moduleSettings.shape.version.Text().toStdString();
        const std::string count = std::to_string(m_moduleSettings.SettingCount());
        if (m_options.json)
            m_out.Raw(JsonHead(m_host, kExitOk) + ", \"file\": " + JsonString(path)
                + ", \"firmware\": " + JsonString(firmware) + ", \"settings\": " + count + "}");
        else
            m_out.Line("module settings written to " + path + " (firmware " + firmware + ", " + count + " settings)");
        Finish(kExitOk);
    });
}

void CCtlModule::ModuleDiff()
{
    if (LoadSettingsFile(m_host, Expanded(m_options.file, m_host, m_options.date), m_out, m_fileSettings))
        return Finish(kExitUsage);
    ReadSettings([this] {
        const std::vector<SettingDifference> differences = DiffSettings(m_moduleSettings, m_fileSettings);
        const int status = !differences.empty() && m_options.exitCode ? kExitModule : kExitOk;
        if (m_options.json)
            m_out.Raw(JsonHead(m_host, status) + ", \"differences\": " + SettingsDiffJson(differences) + "}");
        else
            for (const std::string& line : SettingsDiffLines(differences))
                m_out.Line(line);
        Finish(status);
    });
}
