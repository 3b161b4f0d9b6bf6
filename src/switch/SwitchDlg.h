#pragma once
// The switch settings window "Trellim Settings": edits an in-memory copy of
// the switch board's 128 registers through the controls that kGlobalBits,
// kPortBits and the VLAN and address tables bind to register bits, and moves
// that image to and from the switch and configuration files.

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "module/ModuleDlg.h"
#include "settings/SwitchImage.h"
#include "settings/SwitchTransfer.h"

class CPortStatusDlg;

class CSwitchDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CSwitchDlg(const SubWindowArgs& args, QWidget* parent = nullptr);
    ~CSwitchDlg() override;

    bool OnInitDialog() override;

    // The four exchange operations; store = window to image, load = image
    // to window. A store takes the fields first and stops, changing nothing,
    // when one of them fails its check (returns false).
    bool ExchangeGlobals(bool store);
    bool ExchangePort(int port, bool store);
    bool ExchangeVlanGroups(bool store);
    bool ExchangePriorityAddresses(bool store);
    void LoadAll();
    bool StoreAll();

    // Handlers.
    void OnReadConfiguration();
    void OnSaveConfiguration();
    void OnRestartSwitch();
    void OnLoadFromFile();
    void OnSaveToFile();
    void OnForceDefaults();
    void OnPortsStatus();
    bool OnTabChanging();
    void OnTabChanged();
    void OnGroupIdChange();
    void OnVlanIndexChange();

    const CSwitchImage& Image() const { return m_image; }
    const CSwitchImage& SwitchImage() const { return m_switchImage; }
    bool SwitchKnown() const { return m_switchKnown; }
    CPortStatusDlg* PortStatusWindow() const { return m_portStatusWnd.get(); }
    int CurrentPort() const;

    // Wait between the restart and the confirmation of an upload, and the
    // slices in which it is taken so the window repaints while it waits.
    static constexpr unsigned kConfirmWaitMs = SwitchTransfer::kConfirmWaitMs;
    static constexpr unsigned kWaitSliceMs = 250;

    // Fields, in exchange order.
    int m_tagMode = -1;  // 1082..1085
    uint8_t m_priorityThreshold = 0;  // 1112
    uint8_t m_diffServA = 0;  // 1121
    uint8_t m_diffServB = 0;  // 1120
    // m_status (1005) is the dialog base's
    int32_t m_insertTag = 0;  // 1137, display only; -1 shows an empty field
    std::array<int, SwitchMap::kGlobalFlags> m_globalFlags {};
    std::array<int, SwitchMap::kPortFlags> m_portFlags {};
    std::array<std::array<int, SwitchMap::kPorts>, SwitchMap::kGroups> m_membership {};
    std::array<uint32_t, SwitchMap::kGroups> m_groupId {};
    // The combo boxes' selected items (-1: none).
    int m_ledMode = -1;  // 1107
    int m_queueRatio = -1;  // 1115
    int m_vlanIndex = -1;  // 1094

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void RegisterHandlers();
    void FillCombos();
    void ApplyGlobals();
    void ApplyPort(int port);
    void ApplyVlanGroups();
    void ApplyPriorityAddresses();
    void ShowInsertTag();
    void Wait(unsigned milliseconds);

    std::unique_ptr<CPortStatusDlg> m_portStatusWnd;
    CSwitchImage m_switchImage;  // what the switch holds as far as the window knows
    CSwitchImage m_image;  // the image being edited
    bool m_switchKnown = false;  // a read or upload has succeeded
};
