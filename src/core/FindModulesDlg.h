#pragma once
// Finds the modules of an address range: every address is asked for its
// firmware version, MAC address and switch board (GETs only, with the read
// community typed here, 64 addresses at once). The scan runs on the event
// loop while every window stays usable; "Stop" ends it at once. A double
// click (or Enter) on a module found hands its address on (the main window
// reads its settings); "Copy" puts the list on the clipboard as text.

#include <QString>
#include <functional>
#include <memory>

#include "module/ModuleDlg.h"

class CModuleScan;
class CReportList;
class QProgressBar;
struct ProbeResult;

class CFindModulesDlg : public CModuleDlg {
    Q_OBJECT
public:
    // Takes the address of the module chosen from the list.
    using Pick = std::function<void(const QString& address)>;

    // The range starts as the /24 around `moduleAddress` (dotted), the
    // community as `roCommunity`.
    CFindModulesDlg(const QString& moduleAddress, const QString& roCommunity, Pick pick, QWidget* parent = nullptr);
    ~CFindModulesDlg() override;

    bool OnInitDialog() override;
    // The close box and Escape also stop a scan that runs.
    void OnCancel() override;

    bool Scanning() const;

    static constexpr int kAddressesAtOnce = 64;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnScanOrStop();
    void OnPick();
    void OnCopy();
    void StartScan();
    void StopScan();
    void OnFound(const QString& host, const ProbeResult& result);
    void OnProgress();
    void OnOver();
    // The button's caption and whether the fields can be edited.
    void ShowScanning(bool scanning);
    // "N modules answered out of M addresses asked."
    QString Counts() const;

    QString m_range;
    std::unique_ptr<CModuleScan> m_scan;
    Pick m_pick;
    CReportList* m_list = nullptr;
    QProgressBar* m_progress = nullptr;
};
