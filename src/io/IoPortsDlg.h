#pragma once
// The I/O ports window: ports P3, P5 and P6 as check-box rows (bit 7 on the
// left), the analog inputs in volts, writing P3 and P5, and the restart-target
// command. Every refresh reads the firmware version first and picks the
// objects by the firmware's level (io/IoLevels.h).

#include <QString>
#include <array>
#include <cstdint>

#include "module/ModuleDlg.h"

struct IoDataSet;

class CIoPortsDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CIoPortsDlg(const SubWindowArgs& args, QWidget* parent = nullptr);

    bool OnInitDialog() override;

    void OnReadRefresh() { Refresh(); }
    void OnChangeP3() { ChangePort(3); }
    void OnChangeP5() { ChangePort(5); }
    void OnRestartTarget();

    // Firmware of the last successful version read (both 0: none yet).
    int Major() const { return m_major; }
    int Minor() const { return m_minor; }

    // Flags (0 or 1) of bit k of each port, and the volts of channel k+1.
    std::array<int, 8> m_p3 {};
    std::array<int, 8> m_p5 {};
    std::array<int, 8> m_p6 {};
    std::array<float, 8> m_analog {};

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // How a refresh ended; a failed one has put its reason in the status line.
    enum class Refreshed { Data, NothingToRead, Failed };
    Refreshed Refresh();
    bool ReadDataSet(const IoDataSet& set);
    void ChangePort(int port);
    void UpdateCheckBoxStates();
    void UnpackPorts(int32_t p3, int32_t p5, int32_t p6);

    int m_minor = 0;
    int m_major = 0;
};

// Byte of eight flags: bit k set when flag k is non-zero.
uint8_t PackBits(const std::array<int, 8>& flags);
