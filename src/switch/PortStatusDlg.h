#pragma once
// The port status window "Trellim Port Status": link, speed, duplex,
// activity, loop and link quality of the eight switch ports, decoded from
// the ports' PHY registers 0, 1 and 23.

#include <QString>
#include <array>
#include <cstdint>

#include "module/ModuleDlg.h"
#include "switch/PortStatus.h"

class CPortStatusDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CPortStatusDlg(const SubWindowArgs& args, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnRefresh();

    // Shown values (the window never takes them from its controls).
    std::array<uint8_t, SwitchMap::kPorts> m_linkQuality {};
    std::array<std::array<int, kStatusFlags>, SwitchMap::kPorts> m_portState {};
    std::array<uint16_t, PortStatus::kWords> m_phyWords {};

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void DecodeStatus();
};
