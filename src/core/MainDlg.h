#pragma once
// The main window: module access parameters, the "IP Core Settings" area,
// the operating modes, the device commands and the buttons that open the
// other windows. The settings handlers live in src/core/, one file per topic.

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "module/ModuleDlg.h"
#include "module/SubWindows.h"

class CFindModulesDlg;
class CSnmpRequest;
struct SnmpVarSpec;
class QMenu;
struct ControlChange;
struct SettingsObject;
struct SetterSpec;
enum class ReadBatch;
struct ApplyResult;
struct SettingsSnapshot;

class CMainDlg : public CModuleDlg {
    Q_OBJECT
public:
    // One control bound to one member: check box, text or number. Texts may
    // have a length limit, numbers a range. In exchange order.
    struct FieldBinding {
        int id;
        std::variant<bool CMainDlg::*, QString CMainDlg::*, uint32_t CMainDlg::*> member;
        uint32_t min = 0;  // numbers
        uint32_t max = 0;  // numbers: upper bound; texts: character limit (0: none)
    };
    static const std::vector<FieldBinding>& FieldBindings();

    // `launchers`: the buttons that open the other windows, with their
    // factories (the application's table; tests may give their own).
    explicit CMainDlg(LaunchTable launchers = {}, QWidget* parent = nullptr);
    ~CMainDlg() override;

    bool OnInitDialog() override;

    // Module address that control 1105 shows at start-up (dotted text),
    // before the one remembered from the last good "Read Settings"; empty:
    // the remembered one again.
    static void SetStartAddress(const QString& address);

    // System menu command (the About entry has id 16).
    void OnSysCommand(unsigned id);
    QMenu* SystemMenu() const { return m_systemMenu; }

    // The open window of a kind, or nullptr.
    CDialog* SubWindowOf(SubWindow kind) const;
    // The Find Modules window once it was opened (context menu), or nullptr.
    CFindModulesDlg* FindModulesWindow() const { return m_findModules.get(); }

    // Firmware version of the last read (both 0: none).
    uint8_t Major() const { return m_major; }
    uint8_t Minor() const { return m_minor; }
    uint32_t ModeWord1() const { return m_modeWord1; }
    uint32_t ModeWord2() const { return m_modeWord2; }

    // Values exchanged with the controls, in exchange order.
    bool m_modeSkipBroadcast = false;  // 1017
    bool m_modeDropLarge = false;  // 1019
    bool m_modeP6Analog = false;  // 1024
    bool m_modePingRestart = false;  // 1020
    bool m_modeSnmpAccess = false;  // 1016
    bool m_modeSecondaryRst = false;  // 1023
    bool m_modeSwitchControl = false;  // 1022
    bool m_modeVlanTagged = false;  // 1018
    QString m_version;  // 1025
    QString m_mac;  // 1008
    QString m_macLock1;  // 1011
    QString m_macLock2;  // 1010
    uint32_t m_pingRestartMin = 6;  // 1014
    uint32_t m_vlanTag = 1;  // 1015
    // m_status (1005) is the dialog base's
    bool m_modeSaveIo = false;  // 1026
    bool m_modePingLed = false;  // 1031
    uint32_t m_pingRestartCount = 256;  // 1021
    uint32_t m_restartPulseWidth = 512;  // 1033
    bool m_modeIoReset = false;  // 1032
    bool m_modeTftp = false;  // 1083
    bool m_modeDhcp = false;  // 1084
    bool m_modeRemotePing = false;  // 1085
    bool m_modeWebServer = false;  // 1086
    bool m_modeRestartSwitch = false;  // 1087
    QString m_pulseWidthLabel;  // 1082
    // m_rwCommunity (1109) and m_roCommunity (1111) are the module base's

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Frame (src/app/MainDlg.cpp)
    void RegisterHandlers();
    void RegisterSetters();
    void OpenSubWindow(SubWindow kind);
    void CloseSubWindows();
    // Shows the Find Modules window (made at the first call, kept after).
    void OnFindModules();
    // A module chosen there: its address into control 1105, then "Read Settings".
    void ReadModuleAt(const QString& address);
    void OnCommunityKillFocus();
    QString ModuleAddress() const override;  // control 1105
    // Taking the fields failed: an action that needs only the module address
    // and the community strings takes those two fields on their own.
    void TakeAccessFields();
    // The module address is complete and the community strings are 8-bit.
    bool ReadyToSend();
    // For actions that use only the address and the community strings: takes
    // the fields (or, when one fails, those two on their own) and checks them.
    bool TakeAccessFieldsAndCheck();
    // The buttons that open windows, by what the last "Read Settings" found
    // (`readSucceeded` false: all but "I/O ports" disabled).
    void ApplyWindowButtons(bool readSucceeded);
    // The member a control is exchanged with (nullptr: none of that kind),
    // found in the one table that also drives the field exchange.
    QString* TextMember(int control);
    uint32_t* NumberMember(int control);
    bool* FlagMember(int control);

    // Reading the settings (src/core/ReadSettings.cpp)
    void OnReadSettings();
    int ReadSettingsBatch(ReadBatch batch);  // the exchange's code
    void DecodeSettings(const std::vector<SettingsObject>& objects, const CSnmpRequest& request);
    void ApplyControlChange(const ControlChange& change);
    void ApplyModeWords(uint32_t word1, uint32_t word2);
    void OnReadFailed();
    void ClearSettings();
    void ApplyFeatureLevel();
    void OnVersionRead(int32_t word);

    // Per-field setters (src/core/Setters.cpp)
    void OnSetter(const SetterSpec& setter);
    bool CheckSetterValue(const SetterSpec& setter);
    bool CheckSetterAddress(const SetterSpec& setter);
    bool SetterValueText(const SetterSpec& setter, SnmpVarSpec& var);

    // Operating modes (src/core/ModeWords.cpp)
    void OnSetModes();
    void BuildModeWords();

    // Device commands (src/core/DeviceCommands.cpp)
    void OnRestart();
    void OnTargetRestart();
    void OnFirmwareUpdate();
    int RunCommand(const char* oid, const char* confirmation);

    // Module settings files (src/core/ModuleSettingsFiles.cpp)
    void OnSaveModuleSettings();
    void OnApplyModuleSettings();
    // Every setting of the module, read with the busy state; false (and the
    // status line says why, ending with `nothing`) when the read failed.
    bool ReadEverySetting(SettingsSnapshot& snapshot, const char* nothing);
    void ReportApply(const ApplyResult& result, const SettingsSnapshot& file);

    // Community strings (src/core/CommunityStrings.cpp)
    void OnChangeRwPass();
    void OnChangeRoPass();
    void ChangeCommunity(bool readWrite);

    bool m_settingsRead = false;  // the last "Read Settings" succeeded
    QString m_settingsReadAt;  // ... for this module address
    bool m_modeWordsRead = false;  // ... and read the mode words
    uint32_t m_modeWord1 = 0;
    uint32_t m_modeWord2 = 0;
    uint8_t m_major = 0;
    uint8_t m_minor = 0;
    QIcon m_hIcon;
    QMenu* m_systemMenu = nullptr;
    LaunchTable m_launchers;
    std::array<std::unique_ptr<CDialog>, kSubWindowCount> m_subWindows;
    std::unique_ptr<CFindModulesDlg> m_findModules;
};
