// kalvor-render OUTDIR: draws the main window, the About box and the
// change-community window offscreen and saves each as a PNG file in OUTDIR,
// together with the application icon at both sizes. The windows are only
// constructed and initialised; no button is pressed and no module is asked.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "res/AboutDlgTemplate.h"
#include "res/AppIcon.h"
#include "res/CommunityDlgTemplate.h"
#include "res/MainDlgTemplate.h"

#if __has_include("app/MainDlg.h")
#include "app/MainDlg.h"
#define KALVOR_HAVE_MAIN_DLG 1
#endif
#if __has_include("app/AboutDlg.h")
#include "app/AboutDlg.h"
#define KALVOR_HAVE_ABOUT_DLG 1
#endif
#if __has_include("core/CommunityDlg.h")
#include "core/CommunityDlg.h"
#define KALVOR_HAVE_COMMUNITY_DLG 1
#endif

namespace {

using WindowFactory = std::function<std::unique_ptr<CDialog>()>;

struct WindowShot {
    const char* file;
    WindowFactory make;
};

std::unique_ptr<CDialog> MakeMainWindow()
{
#ifdef KALVOR_HAVE_MAIN_DLG
    return std::make_unique<CMainDlg>();
#else
    return std::make_unique<CDialog>(MainDlgTemplate());
#endif
}

std::unique_ptr<CDialog> MakeAboutBox()
{
#ifdef KALVOR_HAVE_ABOUT_DLG
    return std::make_unique<CAboutDlg>();
#else
    return std::make_unique<CDialog>(AboutDlgTemplate());
#endif
}

std::unique_ptr<CDialog> MakeCommunityWindow()
{
#ifdef KALVOR_HAVE_COMMUNITY_DLG
    return std::make_unique<CCommunityDlg>(QStringLiteral("Change R/W Community String"));
#else
    return std::make_unique<CDialog>(CommunityDlgTemplate());
#endif
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
    window->Create();
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
    return SavePixmap(icon.pixmap(32, 32), dir, "icon-32.png")
        && SavePixmap(icon.pixmap(16, 16), dir, "icon-16.png");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: kalvor-render OUTDIR\n");
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
    const std::vector<WindowShot> shots = {
        {"main.png", MakeMainWindow},
        {"about.png", MakeAboutBox},
        {"community.png", MakeCommunityWindow},
    };
    bool allSaved = RenderIcon(dir);
    for (const WindowShot& shot : shots)
        allSaved = RenderWindow(shot, dir) && allSaved;
    return allSaved ? 0 : 1;
}
