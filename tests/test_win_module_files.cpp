// "Save Module Settings..." and "Apply Module Settings..." of the main
// window's context menu against simulated modules: a module saved, changed
// and brought back through the preview writes exactly the checked settings
// (the simulator's journal) and leaves only the unchecked one to differ;
// refused files, values and modules send no SET; a save needs a good "Read
// Settings" of the address shown, and a read that is cancelled or not
// answered writes no file.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <string>

#include "base/Pause.h"
#include "core/ApplySettingsDlg.h"
#include "platform/Busy.h"
#include "platform/ReportList.h"
#include "res/ApplySettingsDlgIds.h"
#include "settings/SwitchTransfer.h"
#include "snmp/ModuleObjects.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SettingsDrift.h"

using namespace drive;
using namespace fixture;

namespace {

const char* const kSave = "&Save Module Settings...";
const char* const kApply = "A&pply Module Settings...";
const char* const kRefused = "Refused: nothing was written to the module.";
const char* const kReadFirst = "Press \"Read Settings\" for this module first: nothing was read or saved.";

void Choose(CMainDlg& window, const char* entry)
{
    for (QAction* action : window.SystemMenu()->actions())
        if (action->text() == entry)
            return action->trigger();
    qFatal("no context menu entry %s", entry);
}

// The operator at the preview once it shows: notes its rows ("key | module
// | file | label") and whether all were checked, unchecks the row of
// `uncheck`, and presses `button`.
class PreviewOperator : public QObject {
public:
    explicit PreviewOperator(QString uncheck = QString(), int button = IDOK)
        : m_uncheck(std::move(uncheck)), m_button(button)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Look(); });
        m_timer.start(5);
    }

    QStringList rows;
    bool allChecked = true;

private:
    void Look()
    {
        auto* preview = qobject_cast<CApplySettingsDlg*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        m_timer.stop();
        auto* list = preview->Item<CReportList>(IDC_APPLY_LIST);
        for (int row = 0; row < list->GetItemCount(); ++row) {
            rows << QStringList {list->GetItemText(row, 0), list->GetItemText(row, 1), list->GetItemText(row, 2),
                list->GetItemText(row, 3)}
                        .join(" | ");
            allChecked = allChecked && list->GetCheck(row);
            if (list->GetItemText(row, 0) == m_uncheck)
                list->SetCheck(row, false);
        }
        Press(*preview, m_button);
    }

    QString m_uncheck;
    int m_button;
    QTimer m_timer;
};

// A module settings file of the default simulated module, saved once
// through the window.
QByteArray DefaultFile()
{
    static QByteArray text;
    if (text.isEmpty()) {
        QTemporaryDir dir;
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ui.QueueSaveFile(dir.filePath("default.txt"));
        Choose(*window, kSave);
        text = ReadAll(dir.filePath("default.txt"));
    }
    return text;
}

QString SilentSwitchRegister()
{
    return QString::fromStdString(
        R"({"faults": {")" + Oid::SwitchRegister(127) + R"(": {"silence": true, "on": "get"}}})");
}

}  // namespace

Q_DECLARE_METATYPE(Changes)
Q_DECLARE_METATYPE(Sets)

class TestModuleFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // Saved, changed on the module, applied with one row unchecked: the
    // preview lists each change (all checked), the journal holds exactly the
    // checked ones in the windows' order, and a second apply finds only the
    // unchecked one (its preview cancelled: nothing sent). A write that is
    // not answered ends the writing and says so.
    void saveChangeApply_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<Changes>("drift");
        QTest::addColumn<QString>("edit");  // "KEY=VALUE" in the saved file, or empty
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("uncheck");
        QTest::addColumn<Sets>("sets");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("left");  // the keys that differ afterwards
        QTest::addColumn<QString>("address");  // "IP Address" afterwards
        QTest::newRow("4.073: setter, two mode passes, threshold, register; parity unchecked")
            << "{}"
            << Changes {{Oid::kVlanTag, 'i', "100"}, {Oid::kModeWord2, 'i', "24"}, {Oid::kSerialParity, 'i', "2"},
                   {Oid::TrapThreshold(4), 'i', "950"}, {Oid::SwitchRegister(13), 'i', "0"}}
            << QString()
            << QStringList {"vlan_tag | 100 | 1 | VLAN tag", "mode2.bit4 | on | off | DHCP client enabled",
                   "serial.parity | Odd | None | Parity", "trap.ch2.high | 950 | 901 | Ch.2 High Threshold",
                   "switch.reg013 | 0x00 | 0x0F | register 13: Port 0: VLAN index"}
            << "serial.parity"
            << Sets {{Oid::kVlanTag, "1"}, {Oid::kModeWord1, "160"}, {Oid::kModeWord2, "8"},
                   {Oid::TrapThreshold(4), "901"}, {Oid::SwitchRegister(13), "15"}}
            << "Module settings applied: 4 of 4 written and read back." << QStringList {"serial.parity"} << "127.0.0.1";
        QTest::newRow("4.078: the module's own address last; access filter unchecked")
            << R"({"firmware": "4.078"})"
            << Changes {{Oid::kAccessIp, 'a', "127.0.0.77"}, {Oid::kGateway, 'a', "127.0.0.1"}} << "ip=127.0.0.9"
            << QStringList {"ip | 127.0.0.1 | 127.0.0.9 | IP", "gateway | 127.0.0.1 | 127.0.0.254 | Gateway",
                   "access_ip | 127.0.0.77 | 127.0.0.0 | Access IP"}
            << "access_ip" << Sets {{Oid::kGateway, "127.0.0.254"}, {Oid::kModuleIp, "127.0.0.9"}}
            << "Module settings applied: 2 of 2 written and read back. The module's address is now 127.0.0.9: "
               "\"IP Address\" shows it."
            << QStringList {"access_ip"} << "127.0.0.9";
        QTest::newRow("a write not answered ends the writing")
            << R"({"faults": {".1.1.3.0": {"silence": true, "on": "set"}}})" << Changes {{Oid::kModeWord2, 'i', "24"}}
            << "vlan_tag=7"
            << QStringList {"vlan_tag | 1 | 7 | VLAN tag", "mode2.bit4 | on | off | DHCP client enabled"} << QString()
            << Sets {{Oid::kVlanTag, "7"}}
            << "Not all settings written: 0 of 2 written and read back. VLAN tag: its request failed: the module did "
               "not answer."
            << QStringList {"vlan_tag", "mode2.bit4"} << "127.0.0.1";
    }
    void saveChangeApply()
    {
        QFETCH(QString, state);
        QFETCH(QString, edit);
        QFETCH(QString, uncheck);
        QTemporaryDir dir;
        const QString path = dir.filePath("module.txt");
        SimModule sim(state.toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ui.QueueSaveFile(path);
        Choose(*window, kSave);
        QVERIFY2(Status(*window).startsWith("Module settings saved to " + path), qPrintable(Status(*window)));
        if (!edit.isEmpty())
            Write(dir, "module.txt", Edited(ReadAll(path), edit.section('=', 0, 0), edit.section('=', 1)));
        QFETCH(Changes, drift);
        Drift(sim, drift);
        sim.ClearJournal();

        ui.QueueOpenFile(path);
        PreviewOperator preview(uncheck);
        Choose(*window, kApply);
        QTEST(preview.rows, "rows");
        QVERIFY(preview.allChecked);
        QTEST(SetsOf(sim), "sets");
        QTEST(Status(*window), "status");
        // The box lists as written exactly the settings that no longer differ.
        QFETCH(QStringList, left);
        QCOMPARE(ui.Boxes().size(), size_t(1));
        for (const QString& row : preview.rows)
            QCOMPARE(ui.BoxTexts()[0].contains("  " + row.section(" | ", 3) + "\n"),
                !left.contains(row.section(" | ", 0, 0)));
        QTEST(Ip(*window, IDC_MODULE_ADDRESS), "address");

        SetIp(*window, IDC_MODULE_ADDRESS, sim.Address());
        sim.ClearJournal();
        ui.QueueOpenFile(path);
        PreviewOperator again(QString(), IDCANCEL);
        Choose(*window, kApply);
        QStringList differing;
        for (const QString& row : again.rows)
            differing << row.section(" | ", 0, 0);
        QCOMPARE(differing, left);
        QVERIFY(SetsOf(sim).empty());
        QCOMPARE(Status(*window), QString("Apply cancelled: nothing was written to the module."));
    }

    // Cancel during the switch board's restart wait: neither the
    // confirmation nor a read-back is sent, and the list says what was
    // written and that the switch registers were not confirmed.
    void cancelDuringTheRestartWait()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("module.txt");
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ui.QueueSaveFile(path);
        Choose(*window, kSave);
        Drift(sim, {{Oid::kVlanTag, 'i', "100"}, {Oid::SwitchRegister(13), 'i', "0"}});
        sim.ClearJournal();
        struct RestoredPauses {
            ~RestoredPauses() { TestEnvironment::Reset(); }
        } restored;
        SetSleepHook([](unsigned milliseconds) {
            if (milliseconds == SwitchTransfer::kConfirmWaitMs)
                CBusy::Cancel();
        });
        ui.QueueOpenFile(path);
        PreviewOperator preview;
        Choose(*window, kApply);
        QCOMPARE(sim.Journal().back().oid, std::string(Oid::kRestartSwitch));
        QCOMPARE(Status(*window), QString("Cancelled: 0 of 2 settings written and read back."));
        QCOMPARE(ui.Boxes().size(), size_t(1));
        const QString box = ui.BoxTexts()[0];
        QVERIFY2(box.contains("VLAN tag: written, not read back: cancelled\n"), qPrintable(box));
        QVERIFY2(box.contains("switch registers were uploaded but not confirmed"), qPrintable(box));
    }

    // A damaged file, another format or a value the window would not send
    // is refused before any request; a module that cannot take a checked
    // setting after its read. Either way no SET.
    void refusalsSendNothing_data()
    {
        QTest::addColumn<QString>("edit");  // "KEY=VALUE", or "cut": the file cut short
        QTest::addColumn<QString>("moduleState");
        QTest::addColumn<bool>("asked");  // the module was read
        QTest::addColumn<QString>("message");
        QTest::newRow("format 2") << "format=2"
                                  << "{}" << false << "format 2";
        QTest::newRow("cut short") << "cut"
                                   << "{}" << false << "is missing";
        QTest::newRow("outside the window's range") << "ping_restart_minutes=0"
                                                    << "{}" << false << "outside 1..255";
        QTest::newRow("module address 0.0.0.0") << "ip=0.0.0.0"
                                                << "{}" << false << "cut the module off";
        QTest::newRow("older firmware") << "vlan_tag=7"
                                        << R"({"firmware": "4.066"})" << true << "has no Trap Server IP address";
        QTest::newRow("no switch board") << "vlan_tag=7"
                                         << R"({"objects": {".1.1.9.0": {"value": 128}}})" << true << "no switch board";
    }
    void refusalsSendNothing()
    {
        QFETCH(QString, edit);
        QFETCH(QString, moduleState);
        QByteArray text = DefaultFile();
        if (edit == "cut")
            text.truncate(text.indexOf("switch.reg100"));
        else
            text = Edited(text, edit.section('=', 0, 0), edit.section('=', 1));
        QTemporaryDir dir;
        SimModule sim(moduleState.toStdString());
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        ui.QueueOpenFile(Write(dir, "edited.txt", text));
        PreviewOperator preview;
        Choose(*window, kApply);
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QFETCH(QString, message);
        QVERIFY2(ui.BoxTexts()[0].contains(message), qPrintable(ui.BoxTexts()[0]));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QCOMPARE(Status(*window), QString(kRefused));
        QVERIFY(SetsOf(sim).empty());
        QTEST(!sim.Journal().empty(), "asked");
    }

    // No file is asked for or written without a good "Read Settings" of the
    // address shown, and none when the read is cancelled or not answered.
    void saveNeedsAReadAndAnAnswer_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("read");  // "Read Settings" first
        QTest::addColumn<QString>("typed");  // an address typed after it
        QTest::addColumn<bool>("cancel");  // Cancel once the main settings are read
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("waited");  // "Waiting for ..." while the answer was slow
        QTest::newRow("no Read Settings") << "{}" << false << QString() << false << kReadFirst << false;
        QTest::newRow("another address typed") << "{}" << true << "127.0.0.2" << false << kReadFirst << false;
        QTest::newRow("cancelled during the read")
            << SilentSwitchRegister() << true << QString() << true << "Cancelled: nothing was saved." << false;
        QTest::newRow("the module does not answer")
            << SilentSwitchRegister() << true << QString() << false
            << "Not read: the module did not answer (switch read); nothing was saved." << true;
    }
    void saveNeedsAReadAndAnAnswer()
    {
        QFETCH(QString, state);
        QFETCH(bool, read);
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QTemporaryDir dir;
        const QString path = dir.filePath("module.txt");
        SimModule sim(state.toStdString());
        ScriptedUi ui;
        auto window = read ? ReadyWindow(sim) : OpenMainWindow(sim);
        if (!typed.isEmpty())
            SetIp(*window, IDC_MODULE_ADDRESS, typed);
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            if (Status(*window).contains("parts read"))
                CBusy::Cancel();
        });
        if (cancel)
            canceller.start(5);
        QStringList waitedFor;
        QObject::connect(&CBusy::Instance(), &CBusy::waitingFor, &canceller, [&](QWidget* busy, const QString& host) {
            if (busy == window.get() && !host.isEmpty())
                waitedFor << host;
        });
        ui.QueueSaveFile(path);
        Choose(*window, kSave);
        QTEST(Status(*window), "status");
        QTEST(waitedFor == QStringList {sim.Address()}, "waited");
        QVERIFY(!QFile::exists(path));
        QCOMPARE(ui.fileDialogs.size(), size_t(read && typed.isEmpty()));
        QCOMPARE(!sim.Journal().empty(), read && typed.isEmpty());
    }
};

QTEST_MAIN(TestModuleFiles)
#include "test_win_module_files.moc"
