// The MAC table walk on a real X display (an Xvfb server started here): the
// question box is answered and closed, and a second into the walk the window
// on the screen shows what the window itself paints, outside the parts that
// change during the walk (no remains of the box over it). Cancel then stops
// the walk. Skipped when Xvfb is not installed.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "platform/UiSeam.h"
#include "res/MacTableDlgIds.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WhenWaitStarts.h"
#include "support/WindowDriver.h"
#include "switch/MacTableDlg.h"

namespace {

pid_t g_server = 0;

void StopServer()
{
    if (g_server > 0) {
        kill(g_server, SIGTERM);
        waitpid(g_server, nullptr, 0);
        g_server = 0;
    }
}

// Starts Xvfb on a free display; the display name, or "" when it could not.
std::string StartServer()
{
    if (system("command -v Xvfb >/dev/null 2>&1") != 0)
        return std::string();
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::string();
    g_server = fork();
    if (g_server == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string display;
    char c = 0;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(pipeFds[0]);
    std::atexit(StopServer);
    return display.empty() ? std::string() : ":" + display;
}

std::string g_display;

// Answers the walk's question box with Yes once it shows, and notes where
// it was on the screen.
void AnswerQuestionWithYes(QRect& boxPlace)
{
    QTimer::singleShot(300, [&boxPlace] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            AnswerQuestionWithYes(boxPlace);
            return;
        }
        boxPlace = box->frameGeometry();
        box->button(QMessageBox::Yes)->click();
    });
}

}  // namespace

class TestX11Walk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (g_display.empty())
            QSKIP("Xvfb is not installed (scripts/install-deps.sh installs it)");
        TestEnvironment::Init();
        SetSleepHook(nullptr);  // real pauses: the walk takes its time
    }

    void walkWindowShowsNoRemainsOfTheQuestionBox()
    {
        SimModule sim(R"({"macTable": [{"index": 1, "mac": "00-1A-2B-3C-4D-5E", "port": 1, "age": 2}]})");
        sim.Use();
        CMacTableDlg window(SubWindowArgs {sim.Address(), "marbled", "582019374620"});
        window.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 30000));
        window.activateWindow();
        IUiSeam* scripted = SetUiSeam(nullptr);  // the real question box
        QRect boxPlace;
        AnswerQuestionWithYes(boxPlace);

        QImage onScreen;
        QImage painted;
        QRegion changing;
        const WhenWaitStarts walking(window, [&] {
            QTimer::singleShot(1000, &window, [&] {  // a second into the walk
                for (int id :
                    {int(IDC_MAC_RESULTS), int(IDC_MAC_WALK_PROGRESS), int(IDC_STATUS), int(IDC_MAC_LIST_TABLE)})
                    if (QWidget* part = window.findChild<QWidget*>(QString::number(id)))
                        changing += part->geometry().adjusted(-2, -2, 2, 2);
                if (auto* cancel = window.findChild<QWidget*>("cancelExchange"))
                    changing += cancel->geometry().adjusted(-2, -2, 2, 2);
                onScreen = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
                painted = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
                CBusy::Cancel();
            });
        });
        drive::Press(window, IDC_MAC_LIST_TABLE);
        SetUiSeam(scripted);

        QVERIFY(drive::Status(window).startsWith("Walk stopped: "));
        QVERIFY2(boxPlace.intersects(window.frameGeometry()), "the question box did not cover the window");
        QVERIFY(!onScreen.isNull());
        QCOMPARE(onScreen.size(), painted.size());
        int differing = 0;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                if (!changing.contains(QPoint(x, y)) && onScreen.pixel(x, y) != painted.pixel(x, y))
                    ++differing;
        QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ from the window's own").arg(differing)));
    }
};

int main(int argc, char** argv)
{
    g_display = StartServer();
    if (!g_display.empty()) {
        qputenv("DISPLAY", g_display.c_str());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    TestX11Walk test;
    const int failed = QTest::qExec(&test, argc, argv);
    StopServer();
    return failed;
}

#include "test_x11_walk.moc"
