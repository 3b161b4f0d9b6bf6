#pragma once
// The trap settings window: the module's trap server and trap community and
// the low and high alarm thresholds of its eight analog channels. It reads
// them all, and writes back only what the operator changed since the last
// successful read.

#include <QString>
#include <array>
#include <cstdint>

#include "module/ModuleDlg.h"
#include "settings/TrapSettings.h"

class CTrapDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CTrapDlg(const SubWindowArgs& args, QWidget* parent = nullptr);

    bool OnInitDialog() override;

    void OnReadTrapSettings();
    void OnWriteTrapSettings();

    QString m_trapCommunity;  // 1013
    std::array<int32_t, 8> m_low {};  // channels 1 .. 8
    std::array<int32_t, 8> m_high {};

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // A change of the server address or community that must not be sent
    // (a blank address field, characters outside Latin-1) is refused here.
    bool CheckServerFields();

    // As set by the last successful read; the write sends the differences.
    TrapValues m_read;
};
