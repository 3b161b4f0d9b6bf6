// kalvor-render OUTDIR: draws the main window, the About box, the
// change-community window, the Find Modules window and the preview of an apply offscreen and saves each as a PNG file in OUTDIR,
// together with the application icon at both sizes. The windows are only
// constructed and initialised; no button is pressed and no module is asked,
// except with --read-from, which reads a simulated module on loopback and
// then also draws every window the main window opens, as opened on it.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "res/AboutDlgTemplate.h"
#include "res/AppIcon.h"
#include "res/CommunityDlgTemplate.h"
#include "res/MainDlgTemplate.h"

#include "core/AboutDlg.h"
#include "app/LaunchTable.h"
#include "core/MainDlg.h"
#include "core/CommunityDlg.h"
#include "core/FindModulesDlg.h"
#include "core/ApplySettingsDlg.h"
#include "platform/IpAddressCtrl.h"
#include "res/MainDlgIds.h"
#include "snmp/SnmpRequest.h"

namespace {

using WindowFactory = std::function<std::unique_ptr<CDialog>()>;

struct WindowShot {
    const char* file;
    WindowFactory make;
};

// Windows are drawn as they look once initialised.
std::unique_ptr<CDialog> Created(std::unique_ptr<CDialog> window)
{
    window->Create();
    return window;
}

std::unique_ptr<CDialog> MakeMainWindow() { return Created(std::make_unique<CMainDlg>(KalvorLaunchTable())); }

std::unique_ptr<CDialog> MakeAboutBox() { return Created(std::make_unique<CAboutDlg>()); }

std::unique_ptr<CDialog> MakeCommunityWindow()
{
    return Created(std::make_unique<CCommunityDlg>(QStringLiteral("Change R/W Community String")));
}

std::unique_ptr<CDialog> MakeFindModulesWindow()
{
    return Created(std::make_unique<CFindModulesDlg>(
        QStringLiteral("172.16.100.2"), QStringLiteral("582019374620"), nullptr));
}

// The preview of an apply, with the module's own address among its rows.
std::unique_ptr<CDialog> MakeApplyPreview()
{
    return Created(std::make_unique<CApplySettingsDlg>(QStringLiteral("module-10.0.0.7.txt"),
        std::vector<SettingDifference> {{"ip", QStringLiteral("IP"), QStringLiteral("10.0.0.7"),
                                            QStringLiteral("10.0.0.8")},
            {"vlan_tag", QStringLiteral("VLAN tag"), QStringLiteral("100"), QStringLiteral("1")}}));
}

// The main window after "Read Settings" from a simulated module on a
// loopback port.
std::unique_ptr<CDialog> MakeMainWindowReadFrom(uint16_t port)
{
    CSnmpRequest::SetPortOverride(port);
    auto window = std::make_unique<CMainDlg>(KalvorLaunchTable());
    window->Create();
    window->IpCtrl(IDC_MODULE_ADDRESS)->SetAddress(127, 0, 0, 1);
    qobject_cast<QAbstractButton*>(window->GetDlgItem(IDC_READ_SETTINGS))->click();
    return window;
}

// Each window of the launch table, opened on the simulated module as its
// button would open it (it reads the module while it initialises).
std::vector<WindowShot> SubWindowShots()
{
    const char* const files[kSubWindowCount]
        = {"io-ports.png", "port-status.png", "switch.png", "traps.png", "mac-table.png", "serial.png"};
    std::vector<WindowShot> shots;
    for (const LaunchButton& row : KalvorLaunchTable()) {
        if (!row.factory)
            continue;
        shots.push_back({files[static_cast<int>(row.kind)], [factory = row.factory] {
                             return Created(factory(SubWindowArgs {QStringLiteral("127.0.0.1"),
                                 QStringLiteral("marbled"), QStringLiteral("582019374620")}));
                         }});
    }
    return shots;
}

bool SavePixmap(const QPixmap& pixmap, const QDir& dir, const char* file)
{
    const QString path = dir.filePath(QString::fromLatin1(file));
    if (!pixmap.save(path, "PNG")) {
        fprintf(stderr, "kalvor-render: cannot write %s\n", qPrintable(path));
        return false;
    }
    printf("%s\n", qPrintable(path));
    return true;
}

bool RenderWindow(const WindowShot& shot, const QDir& dir)
{
    std::unique_ptr<CDialog> window = shot.make();
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->show();
    QApplication::processEvents();
    const bool saved = SavePixmap(window->grab(), dir, shot.file);
    window->hide();
    return saved;
}

bool RenderIcon(const QDir& dir)
{
    const QIcon icon = AppIcon();
    return SavePixmap(icon.pixmap(32, 32), dir, "icon-32.png") && SavePixmap(icon.pixmap(16, 16), dir, "icon-16.png");
}

}  // namespace

int main(int argc, char** argv)
{
    const bool readFromSim = argc == 4 && !strcmp(argv[2], "--read-from");
    if (argc != 2 && !readFromSim) {
        fprintf(stderr,
            "usage: kalvor-render OUTDIR [--read-from PORT]\n"
            "  --read-from: also draw the main window after reading the settings of a\n"
            "  simulated module (kalvor-sim) on 127.0.0.1:PORT\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        fprintf(stderr, "kalvor-render: cannot create %s\n", argv[1]);
        return 1;
    }
    std::vector<WindowShot> shots = {
        {"main.png", MakeMainWindow},
        {"about.png", MakeAboutBox},
        {"community.png", MakeCommunityWindow},
        {"find-modules.png", MakeFindModulesWindow},
        {"apply-settings.png", MakeApplyPreview},
    };
    if (readFromSim) {
        const auto port = static_cast<uint16_t>(atoi(argv[3]));
        shots.push_back({"main-read.png", [port] { return MakeMainWindowReadFrom(port); }});
        for (const WindowShot& shot : SubWindowShots())
            shots.push_back(shot);
    }
    bool allSaved = RenderIcon(dir);
    for (const WindowShot& shot : shots)
        allSaved = RenderWindow(shot, dir) && allSaved;
    return allSaved ? 0 : 1;
}
