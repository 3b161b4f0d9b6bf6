// The module settings by firmware level, the settings file (written, read
// back, refused when damaged), the values a window would not send, and the
// differences between two modules' settings. No module: snapshots are built
// from made-up reads.

#include <QtTest>

#include <map>
#include <string>

#include "settings/SettingsFile.h"

namespace {

const std::map<std::string, QString> kMainValues = {
    {"ip", "10.0.0.7"},
    {"netmask", "255.255.255.0"},
    {"gateway", "10.0.0.254"},
    {"mac", "00 0A 1B 2C 3D 4E"},
    {"vlan_tag", "1"},
    {"mac_lock1", "00 0A 1B 00 00 01"},
    {"mac_lock2", "00 0A 1B 00 00 02"},
    {"ping_restart_minutes", "6"},
    {"ping_restart_count", "256"},
    {"restart_pulse_width", "512"},
    {"tftp_server", "10.0.0.10"},
    {"monitor_ip", "10.0.0.20"},
    {"access_ip", "10.0.0.0"},
    {"access_mask", "255.0.0.0"},
};

FirmwareVersion Version(const QString& text)
{
    return {uint8_t(text.section('.', 0, 0).toInt()), uint8_t(text.section('.', 1).toInt())};
}

// A module of `firmware` with the mode words given, as its reads would make it.
SettingsSnapshot Module(const QString& firmware, uint32_t word1, uint32_t word2)
{
    ModuleSettings main;
    main.version = Version(firmware);
    main.modeWordsRead = ReadsModeWords(main.version);
    main.modeWords[0] = word1;
    main.modeWords[1] = word2;
    main.values.push_back({"firmware", firmware});
    for (const auto& [key, value] : kMainValues)
        main.values.push_back({key.c_str(), value});
    TrapValues traps;
    traps.server = "127.0.0.162";
    for (int k = 0; k < kTrapChannels; ++k) {
        traps.low[k] = 100 + k;
        traps.high[k] = 900 + k;
    }
    traps.community = "traps";
    const SerialLine serial {7, 0, 0, 4};
    const CSwitchImage image = CSwitchImage::Defaults();
    return SnapshotOfModule(main, &traps, &serial, &image);
}

int CountOf(const std::vector<SettingSpec>& specs, SettingGroup group)
{
    return int(std::count_if(specs.begin(), specs.end(), [group](const SettingSpec& s) { return s.group == group; }));
}

QString LabelOf(const std::vector<SettingSpec>& specs, const std::string& key)
{
    for (const SettingSpec& spec : specs)
        if (spec.key == key)
            return spec.label;
    return "(none)";
}

// `text` with the line of `key` replaced by `line` (removed when empty).
QByteArray Edited(const QByteArray& text, const QByteArray& key, const QByteArray& line)
{
    QByteArray result;
    for (const QByteArray& each : text.split('\n')) {
        if (!each.startsWith(key + " ="))
            result += each + "\n";
        else if (!line.isEmpty())
            result += line + "\n";
    }
    return result;
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    // What each level has, and how the windows label what differs by level.
    void settingsByLevel_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<uint>("word1");
        QTest::addColumn<int>("main");
        QTest::addColumn<int>("modes");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("traps");
        QTest::addColumn<bool>("switchBoard");
        QTest::addColumn<QString>("bit7");  // the label of mode1.bit7
        QTest::newRow("4.050") << "4.050" << 0x00u << 5 << 6 << false << false << false << "(none)";
        QTest::newRow("4.050 switch") << "4.050" << 0x20u << 5 << 6 << false << false << true << "(none)";
        QTest::newRow("4.062") << "4.062" << 0xA0u << 5 << 9 << false << false << true << "P6 Analog mode*";
        QTest::newRow("4.066") << "4.066" << 0x00u << 7 << 11 << false << false << false << "P6 Analog mode*";
        QTest::newRow("4.067 reads nothing") << "4.067" << 0x20u << 0 << 0 << false << false << false << "(none)";
        QTest::newRow("4.070") << "4.070" << 0xA0u << 11 << 13 << false << true << true << "(none)";
        QTest::newRow("4.073 RS-232") << "4.073" << 0xA0u << 11 << 15 << true << true << true << "RS-232 Enabled";
        QTest::newRow("4.073 no RS-232") << "4.073" << 0x20u << 11 << 15 << false << true << true << "RS-232 Enabled";
        QTest::newRow("4.078") << "4.078" << 0x20u << 13 << 14 << false << true << true << "(none)";
        QTest::newRow("4.079 no switch") << "4.079" << 0x20u << 13 << 14 << false << true << false << "(none)";
    }
    void settingsByLevel()
    {
        QFETCH(QString, firmware);
        QFETCH(uint, word1);
        const FirmwareVersion version = Version(firmware);
        const std::vector<SettingSpec> specs = SettingsOf(ShapeOf(version, ReadsModeWords(version), word1));
        QTEST(CountOf(specs, SettingGroup::Main), "main");
        QTEST(CountOf(specs, SettingGroup::Modes), "modes");
        QTEST(CountOf(specs, SettingGroup::Serial) == 3, "serial");
        QTEST(CountOf(specs, SettingGroup::Traps) == 17, "traps");
        QTEST(CountOf(specs, SettingGroup::Switch) == 128, "switchBoard");
        QTEST(LabelOf(specs, "mode1.bit7"), "bit7");
        QVERIFY(std::is_sorted(specs.begin(), specs.end(), SettingBefore));
    }

    // The labels that follow the firmware.
    void labelsFollowTheFirmware()
    {
        const auto old = SettingsOf(Module("4.066", 0, 0).shape);
        const auto newer = SettingsOf(Module("4.073", 0xA0, 0).shape);
        QCOMPARE(LabelOf(old, "restart_pulse_width"), QString("Restart Pulse Width (x42ms)"));
        QCOMPARE(LabelOf(newer, "restart_pulse_width"), QString("Restart Pulse Width (x0.25s)"));
        QCOMPARE(LabelOf(old, "mode1.bit6"), QString("Secondary RST pin"));
        QCOMPARE(LabelOf(newer, "mode1.bit6"), QString("Restart target on timeout"));
        QCOMPARE(LabelOf(newer, "mode2.bit3"), QString("TFTP enabled"));
        QCOMPARE(LabelOf(newer, "trap.ch3.high"), QString("Ch.3 High Threshold"));
        QCOMPARE(LabelOf(newer, "switch.reg013"), QString("register 13: Port 0: VLAN index"));
    }

    // Written and read back: the same settings, whatever the level.
    void fileRoundTrip_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<uint>("word1");
        QTest::newRow("4.050") << "4.050" << 0x21u;
        QTest::newRow("4.066") << "4.066" << 0x80u;
        QTest::newRow("4.073") << "4.073" << 0xA0u;
        QTest::newRow("4.078") << "4.078" << 0x00u;
        QTest::newRow("4.041 version only") << "4.041" << 0x00u;
    }
    void fileRoundTrip()
    {
        QFETCH(QString, firmware);
        QFETCH(uint, word1);
        const SettingsSnapshot module = Module(firmware, word1, 0x08);
        const SettingsFileParse parse = ParseSettingsFile(SettingsFileText(module));
        QVERIFY2(parse.ok, qPrintable(parse.error));
        QCOMPARE(parse.snapshot.values, module.values);
        QVERIFY(DiffSettings(module, parse.snapshot).empty());
    }

    // A damaged file, another format, a setting the file's firmware does not have.
    void fileRefused_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("line");  // replaces the key's line; empty: removed
        QTest::addColumn<QString>("error");
        QTest::newRow("format 2") << QByteArray("format") << QByteArray("format = 2") << "format 2: this program";
        QTest::newRow("no format") << QByteArray("format") << QByteArray() << "does not begin with a format line";
        QTest::newRow("no key") << QByteArray("vlan_tag") << QByteArray("vlan_tag 5") << "not a \"key = value\"";
        QTest::newRow("twice") << QByteArray("vlan_tag") << QByteArray("vlan_tag = 1\nvlan_tag = 2") << "given again";
        QTest::newRow("missing") << QByteArray("trap.ch8.high") << QByteArray() << "trap.ch8.high is missing";
        QTest::newRow("cut short") << QByteArray("switch.reg127") << QByteArray() << "switch.reg127 is missing";
        QTest::newRow("unknown") << QByteArray("vlan_tag") << QByteArray("vlan_tag = 1\nvlan = 2")
                                 << "vlan is no setting";
        QTest::newRow("not on this firmware")
            << QByteArray("vlan_tag") << QByteArray("vlan_tag = 1\naccess_ip = 1.2.3.4") << "access_ip is no setting";
        QTest::newRow("switch off") << QByteArray("mode1.bit5") << QByteArray("mode1.bit5 = off")
                                    << "switch.reg000 is no setting";
        QTest::newRow("not a number") << QByteArray("vlan_tag") << QByteArray("vlan_tag = ten") << "not a decimal";
        QTest::newRow("not an address") << QByteArray("gateway") << QByteArray("gateway = 10.0.0") << "not an IPv4";
        QTest::newRow("not a flag") << QByteArray("mode2.bit3") << QByteArray("mode2.bit3 = yes")
                                    << "neither on nor off";
        QTest::newRow("not an item") << QByteArray("serial.baud") << QByteArray("serial.baud = 56000") << "not one of";
        QTest::newRow("not a register") << QByteArray("switch.reg000") << QByteArray("switch.reg000 = 0x100")
                                        << "not a register value";
        QTest::newRow("not a MAC") << QByteArray("mac_lock1") << QByteArray("mac_lock1 = 00 11") << "not six";
        QTest::newRow("no firmware") << QByteArray("firmware") << QByteArray() << "firmware line is missing";
    }
    void fileRefused()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, line);
        QFETCH(QString, error);
        const QByteArray text = Edited(SettingsFileText(Module("4.073", 0xA0, 0x08)), key, line);
        const SettingsFileParse parse = ParseSettingsFile(text);
        QVERIFY(!parse.ok);
        QVERIFY2(parse.error.contains(error), qPrintable(parse.error));
    }

    // What the windows refuse to send, by setting.
    void writeRefusals_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("refusal");  // empty: sent
        QTest::newRow("vlan 4095") << "vlan_tag"
                                   << "4095"
                                   << "";
        QTest::newRow("vlan 4096") << "vlan_tag"
                                   << "4096"
                                   << "4096 is outside 0..4095";
        QTest::newRow("ping minutes 0") << "ping_restart_minutes"
                                        << "0"
                                        << "outside 1..255";
        QTest::newRow("count 256") << "ping_restart_count"
                                   << "256"
                                   << "";
        QTest::newRow("count 257") << "ping_restart_count"
                                   << "257"
                                   << "outside 1..256";
        QTest::newRow("pulse 32768") << "restart_pulse_width"
                                     << "32768"
                                     << "outside 1..32767";
        QTest::newRow("module ip 0.0.0.0") << "ip"
                                           << "0.0.0.0"
                                           << "would cut the module off";
        QTest::newRow("gateway 0.0.0.0") << "gateway"
                                         << "0.0.0.0"
                                         << "";
        QTest::newRow("mac lock empty") << "mac_lock1"
                                        << ""
                                        << "not six hexadecimal bytes";
        QTest::newRow("threshold 65535") << "trap.ch1.low"
                                         << "65535"
                                         << "";
        QTest::newRow("threshold 65536") << "trap.ch1.low"
                                         << "65536"
                                         << "outside 0..65535";
        QTest::newRow("timeout 256") << "serial.receive_timeout"
                                     << "256"
                                     << "outside 0..255";
        QTest::newRow("no baud rate") << "serial.baud"
                                      << "none"
                                      << "no item";
        QTest::newRow("firmware") << "firmware"
                                  << "4.073"
                                  << "read, never written";
    }
    void writeRefusals()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, refusal);
        const auto specs = SettingsOf(Module("4.073", 0xA0, 0).shape);
        const auto spec = std::find_if(
            specs.begin(), specs.end(), [&key](const SettingSpec& s) { return s.key == key.toStdString(); });
        QVERIFY(spec != specs.end());
        const QString got = WriteRefusal(*spec, value);
        QVERIFY2(refusal.isEmpty() ? got.isEmpty() : got.contains(refusal), qPrintable(got));
    }

    // Exactly the changed settings, in file order, with both values; the
    // MAC address (another module's) is no difference.
    void differences()
    {
        const SettingsSnapshot module = Module("4.073", 0xA0, 0x08);
        SettingsSnapshot file = module;
        file.values["switch.reg013"] = "0x00";
        file.values["vlan_tag"] = "100";
        file.values["mode2.bit4"] = "on";
        file.values["mac"] = "02 00 00 00 00 01";
        const auto differences = DiffSettings(module, file);
        QCOMPARE(int(differences.size()), 3);
        QCOMPARE(differences[0].key, std::string("vlan_tag"));
        QCOMPARE(differences[0].label, QString("VLAN tag"));
        QCOMPARE(differences[0].from, QString("1"));
        QCOMPARE(differences[0].to, QString("100"));
        QCOMPARE(differences[1].key, std::string("mode2.bit4"));
        QCOMPARE(differences[1].label, QString("DHCP client enabled"));
        QCOMPARE(differences[2].key, std::string("switch.reg013"));
        QCOMPARE(differences[2].from, QString("0x0F"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
