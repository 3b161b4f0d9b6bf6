// The switch register image on its own: the factory image read through the
// tables, what each store writes (including its whole-byte rewrites), that a
// load followed by a store changes nothing else, the port status decoding,
// and the configuration file.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <random>
#include <set>

#include "res/SwitchDlgIds.h"
#include "switch/PortStatus.h"
#include "settings/SwitchImage.h"
#include "settings/SwitchTransfer.h"

namespace {

uint32_t Dotted(int a, int b, int c, int d)
{
    return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(c) << 8 | uint32_t(d);
}

int GlobalIndex(int control)
{
    for (size_t i = 0; i < kGlobalBits.size(); ++i)
        if (kGlobalBits[i].control == control)
            return int(i);
    return -1;
}

CSwitchImage RandomImage(unsigned seed)
{
    std::mt19937 random(seed);
    CSwitchImage::Bytes bytes {};
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return CSwitchImage(bytes);
}

QByteArray FileBytes(int size)
{
    QByteArray bytes(size, 0);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(0xA0 ^ i);
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class TestSwitchImage : public QObject {
    Q_OBJECT
private slots:
    void defaultImageShowsTheFactoryFields()
    {
        const CSwitchImage image = CSwitchImage::Defaults();
        const GlobalFields globals = image.Globals();
        const std::set<int> checked = {1100, 1101, 1102, 1103, 1104, 1106, 1109, 1110, 1113, 1122, 1124};
        for (size_t i = 0; i < kGlobalBits.size(); ++i)
            QCOMPARE(globals.flags[i], checked.count(kGlobalBits[i].control) ? 1 : 0);
        QCOMPARE(globals.ledMode, 7);
        QCOMPARE(globals.threshold, 4u);
        QCOMPARE(globals.ratio, 3);  // "16:1"
        QCOMPARE(globals.diffServB, 0u);
        QCOMPARE(globals.diffServA, 63u);
        QCOMPARE(image.Address(16), Dotted(168, 192, 0, 1));  // IP[A]
        QCOMPARE(image.Address(20), Dotted(168, 192, 1, 1));  // IP[B]
        QCOMPARE(image.Address(32), Dotted(255, 255, 255, 255));
        QCOMPARE(image.Address(36), Dotted(255, 255, 255, 255));
        // 100Mb, duplex, backpressure, enable x2, learning; loopback, NULL VID,
        // discard off; the three priority-disable boxes on.
        const std::array<int, SwitchMap::kPortFlags> portFlags = {1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1};
        const GroupFields groups = image.Groups();
        for (int p = 0; p < SwitchMap::kPorts; ++p) {
            const PortFields port = image.Port(p);
            QCOMPARE(port.flags, portFlags);
            QCOMPARE(port.tagMode, 0);  // "No change in packets"
            QCOMPARE(port.vlanIndex, p);
            QCOMPARE(groups.id[size_t(p)], uint32_t(p));
            for (int q = 0; q < SwitchMap::kPorts; ++q)
                QCOMPARE(groups.membership[size_t(p)][size_t(q)], p == q ? 1 : 0);
        }
    }

    void tablesBindDistinctBits()
    {
        std::set<std::pair<int, int>> globalBits;
        for (const GlobalBit& row : kGlobalBits)
            QVERIFY(globalBits.insert({row.reg, row.bit}).second && row.reg < 8);
        std::set<std::pair<int, int>> portBits;
        for (const PortBit& row : kPortBits)
            QVERIFY(portBits.insert({row.offset, row.bit}).second && row.offset < 8);
        for (int p = 1; p < SwitchMap::kPorts; ++p)
            QVERIFY(kPortBase[size_t(p)] >= kPortBase[size_t(p - 1)] + 8);
        QVERIFY(kPortBase[7] + 8 <= SwitchMap::kRegisters);
    }

    // ---- Stores --------------------------------------------------------------

    void portStoreWritesItsRegisters_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("flag");  // kPortBits row to set, -1 none
        QTest::addColumn<int>("tagMode");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("expected");

        QTest::newRow("port 3 loopback sets 54+1 bit 5") << 3 << 6 << 0 << 55 << (0xC7 | 0x20);
        QTest::newRow("radio 1085 stores 00") << 0 << -1 << 3 << 8 << 0xFC;
        QTest::newRow("radio 1082 stores 11") << 0 << -1 << 0 << 8 << 0xFF;
        QTest::newRow("radio 1083 stores 10") << 5 << -1 << 1 << 83 << 0xFE;
        QTest::newRow("no radio stores 00") << 7 << -1 << -1 << 99 << 0xFC;
        QTest::newRow("B+5 rewritten, index kept") << 0 << -1 << 0 << 13 << 0x00;
        QTest::newRow("port 6 B+5") << 6 << -1 << 0 << 96 << 0x60;
    }
    void portStoreWritesItsRegisters()
    {
        QFETCH(int, port);
        QFETCH(int, flag);
        QFETCH(int, tagMode);
        QFETCH(int, reg);
        QFETCH(int, expected);
        CSwitchImage image = CSwitchImage::Defaults();
        PortFields fields = image.Port(port);
        if (flag >= 0)
            fields.flags[size_t(flag)] = 1;
        fields.tagMode = tagMode;
        image.StorePort(port, fields);
        QCOMPARE(int(image.Register(reg)), expected);
        const PortFields back = image.Port(port);
        QCOMPARE(back.flags, fields.flags);
        QCOMPARE(back.vlanIndex, fields.vlanIndex);
        QCOMPARE(back.tagMode, tagMode < 0 ? 3 : tagMode);
        QCOMPARE(image.Port(port == 3 ? 4 : 3).flags[6], 0);  // no other port gained the loopback
    }

    void portEnableBoxDrivesBothBits()
    {
        CSwitchImage image = CSwitchImage::Defaults();
        image.SetRegister(kPortBase[2] + PortReg::kEnable, 0xC7 & ~0x08);  // bit 3 off, bit 2 on
        QCOMPARE(image.Port(2).flags[4], 1);  // the box shows bit 2
        PortFields fields = image.Port(2);
        fields.flags[3] = fields.flags[4] = 0;
        image.StorePort(2, fields);
        QCOMPARE(int(image.Register(kPortBase[2] + PortReg::kEnable)), 0xC7 & ~0x0C);
    }

    void portsOutsideTheSwitchDoNothing()
    {
        CSwitchImage image = CSwitchImage::Defaults();
        image.StorePort(8, PortFields {});
        image.StorePort(-1, PortFields {});
        QVERIFY(image == CSwitchImage::Defaults());
    }

    void groupIdStore_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<uint>("id");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("A 4095") << 0 << 4095u << 0xFF << 0xFF;
        QTest::newRow("A 256") << 0 << 256u << 0x00 << 0xF1;
        QTest::newRow("H 0") << 7 << 0u << 0x00 << 0xF0;
        QTest::newRow("E 4096 keeps 12 bits") << 4 << 4096u << 0x00 << 0xF0;
    }
    void groupIdStore()
    {
        QFETCH(int, group);
        QFETCH(uint, id);
        QFETCH(int, low);
        QFETCH(int, high);
        CSwitchImage image = CSwitchImage::Defaults();
        GroupFields fields = image.Groups();
        fields.id[size_t(group)] = id;
        image.StoreGroups(fields);
        const int base = kPortBase[size_t(group)];
        QCOMPARE(int(image.Register(base + PortReg::kGroupIdLow)), low);
        QCOMPARE(int(image.Register(base + PortReg::kGroupIdHigh)), high);
        QCOMPARE(image.GroupId(group), id & 0xFFF);
    }

    void membershipStoresOneBitPerPort()
    {
        CSwitchImage image = CSwitchImage::Defaults();
        GroupFields fields = image.Groups();
        fields.membership[2] = {1, 0, 1, 0, 0, 0, 0, 1};
        image.StoreGroups(fields);
        QCOMPARE(int(image.Register(kPortBase[2] + PortReg::kMembers)), 0x85);
    }

    void addressPacking()
    {
        CSwitchImage image;
        image.StoreAddress(20, Dotted(10, 1, 2, 3));  // IP[B]
        QCOMPARE(int(image.Register(20)), 1);
        QCOMPARE(int(image.Register(21)), 10);
        QCOMPARE(int(image.Register(22)), 3);
        QCOMPARE(int(image.Register(23)), 2);
        QCOMPARE(image.Address(20), Dotted(10, 1, 2, 3));
    }

    void globalsKeepOnlyTheirFieldBits()
    {
        CSwitchImage image = CSwitchImage::Defaults();
        GlobalFields fields = image.Globals();
        fields.flags[size_t(GlobalIndex(IDC_SW_FAST_AGING))] = 1;
        fields.threshold = 9;  // stores 1
        fields.ledMode = 2;
        fields.ratio = 1;
        fields.diffServB = 64 + 5;  // stores 5
        image.StoreGlobals(fields);
        QCOMPARE(int(image.Register(0)), 0x7E);  // 126: bit 1 set
        QCOMPARE(int(image.Register(1)), 0x5B);
        QCOMPARE(int(image.Register(3)), 0x34);  // 001 1 01 00
        QCOMPARE(int(image.Register(4)), 0x45);
        QCOMPARE(image.ChangedRegisters(CSwitchImage::Defaults()), (std::vector<int> {0, 1, 3, 4}));
    }

    // The first and the last register are compared like every other.
    void changedRegistersAtTheEnds_data()
    {
        QTest::addColumn<std::vector<int>>("differing");
        QTest::newRow("register 0 only") << std::vector<int> {0};
        QTest::newRow("register 127 only") << std::vector<int> {127};
        QTest::newRow("both ends") << std::vector<int> {0, 127};
    }
    void changedRegistersAtTheEnds()
    {
        QFETCH(std::vector<int>, differing);
        CSwitchImage::Bytes bytes = CSwitchImage::Defaults().bytes();
        for (int r : differing)
            bytes[size_t(r)] ^= 0x01;
        const CSwitchImage changed(bytes);
        QCOMPARE(changed.ChangedRegisters(CSwitchImage::Defaults()), differing);
        QCOMPARE(CSwitchImage::Defaults().ChangedRegisters(changed), differing);
    }

    // Loading every field of a random image and storing it back changes only
    // what the stores own as whole bytes: B+5 bits 3..0 of the port on show,
    // B+3 bit 3 (follows bit 2) and the group ID high registers' bits 7..4.
    void loadThenStoreChangesOnlyTheRewrittenBits_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("port");
        for (unsigned seed = 1; seed <= 16; ++seed)
            QTest::addRow("seed %u", seed) << seed << int(seed % 8);
    }
    void loadThenStoreChangesOnlyTheRewrittenBits()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, port);
        const CSwitchImage original = RandomImage(seed);
        CSwitchImage image = original;
        image.StoreGlobals(image.Globals());
        image.StorePort(port, image.Port(port));
        image.StoreGroups(image.Groups());
        for (const AddressSlot& slot : kPriorityAddresses)
            image.StoreAddress(slot.first, image.Address(slot.first));

        CSwitchImage expected = original;
        const int base = kPortBase[size_t(port)];
        expected.SetRegister(base + PortReg::kVlanIndex, original.Register(base + PortReg::kVlanIndex) & 0xF0);
        expected.SetBit(base + PortReg::kEnable, 3, original.Bit(base + PortReg::kEnable, 2));
        for (int g = 0; g < SwitchMap::kGroups; ++g) {
            const int high = kPortBase[size_t(g)] + PortReg::kGroupIdHigh;
            expected.SetRegister(high, original.Register(high) | 0xF0);
        }
        for (int r = 0; r < SwitchMap::kRegisters; ++r)
            QVERIFY2(image.Register(r) == expected.Register(r),
                qPrintable(QString("register %1: %2, expected %3")
                               .arg(r)
                               .arg(image.Register(r), 0, 16)
                               .arg(expected.Register(r), 0, 16)));
    }

    void plausibility()
    {
        CSwitchImage::Bytes bytes {};
        QVERIFY(!CSwitchImage(bytes).IsPlausible());
        bytes.fill(0xFF);
        QVERIFY(!CSwitchImage(bytes).IsPlausible());
        bytes[5] = 0;
        QVERIFY(!CSwitchImage(bytes).IsPlausible());
        bytes[127] = 0x01;
        QVERIFY(CSwitchImage(bytes).IsPlausible());
        QVERIFY(CSwitchImage::Defaults().IsPlausible());
    }

    // ---- Port status ---------------------------------------------------------

    void portStatusDecoding_data()
    {
        QTest::addColumn<int>("reg0");
        QTest::addColumn<int>("reg1");
        QTest::addColumn<int>("reg23");
        QTest::addColumn<QString>("flags");  // Link, Speed, Duplex, RX, TX, Loop
        QTest::addColumn<int>("quality");
        QTest::newRow("everything but loop") << 0x2100 << 0x0004 << 0x0C50 << "111110" << 5;
        QTest::newRow("quality 15 only") << 0 << 0 << 0x00F0 << "000000" << 15;
        QTest::newRow("loop") << 0 << 0 << 0x0100 << "000001" << 0;
        QTest::newRow("all ones") << 0xFFFF << 0xFFFF << 0xFFFF << "111111" << 15;
    }
    void portStatusDecoding()
    {
        QFETCH(int, reg0);
        QFETCH(int, reg1);
        QFETCH(int, reg23);
        QFETCH(QString, flags);
        QFETCH(int, quality);
        std::array<uint16_t, PortStatus::kWords> words {};
        words[6] = uint16_t(reg0);  // port 2
        words[7] = uint16_t(reg1);
        words[8] = uint16_t(reg23);
        const PortStatus::PortState state = PortStatus::Decode(words, 2);
        for (int k = 0; k < kStatusFlags; ++k)
            QCOMPARE(state.flags[size_t(k)], flags[k] == '1' ? 1 : 0);
        QCOMPARE(int(state.quality), quality);
        QCOMPARE(PortStatus::Decode(words, 1).flags, (std::array<int, kStatusFlags> {}));
        QCOMPARE(PortStatus::LooksDisconnected(words), reg0 == 0xFFFF);
    }

    // ---- Files ---------------------------------------------------------------

    // Only a file of exactly 128 bytes that a read from the switch would
    // not call implausible is taken; nothing of any other file is.
    void fileReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("path");  // instead of a file holding `bytes`
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");  // the start of RefusalReason
        QByteArray mixed(128, char(0xFF));
        mixed[0] = 0;
        QTest::newRow("128 bytes") << FileBytes(128) << "" << int(SwitchTransfer::FileStatus::Loaded) << "";
        QTest::newRow("one plausible byte") << QByteArray(127, 0) + "\x01" << ""
                                            << int(SwitchTransfer::FileStatus::Loaded) << "";
        QTest::newRow("129 bytes") << FileBytes(129) << "" << int(SwitchTransfer::FileStatus::WrongSize)
                                   << "129 bytes, but a configuration file holds exactly 128";
        QTest::newRow("100 bytes") << FileBytes(100) << "" << int(SwitchTransfer::FileStatus::WrongSize)
                                   << "100 bytes, but";
        QTest::newRow("empty") << QByteArray() << "" << int(SwitchTransfer::FileStatus::WrongSize) << "0 bytes, but";
        QTest::newRow("endless device") << QByteArray() << "/dev/zero" << int(SwitchTransfer::FileStatus::WrongSize)
                                        << "more than 128 bytes, but";
        QTest::newRow("all 0x00") << QByteArray(128, 0) << "" << int(SwitchTransfer::FileStatus::Implausible)
                                  << "every byte is 0x00 or 0xFF";
        QTest::newRow("0x00 and 0xFF") << mixed << "" << int(SwitchTransfer::FileStatus::Implausible) << "every byte";
        QTest::newRow("folder") << QByteArray() << "." << int(SwitchTransfer::FileStatus::Unreadable) << ". is a folder";
        QTest::newRow("missing") << QByteArray() << "no-such.rcs" << int(SwitchTransfer::FileStatus::Unreadable)
                                 << "No such file";
    }
    void fileReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        if (path.isEmpty()) {
            path = "image.rcs";
            QVERIFY(WriteFile(path, bytes));
        }
        CSwitchImage image = CSwitchImage::Defaults();
        const SwitchTransfer::FileRead read = SwitchTransfer::ReadImageFile(path, image);
        QCOMPARE(int(read.status), status);
        if (read.status == SwitchTransfer::FileStatus::Loaded)
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.bytes().data()), 128), bytes);
        else
            QVERIFY(image == CSwitchImage::Defaults());  // nothing of a refused file is taken
        const QString said = SwitchTransfer::RefusalReason(read);
        QVERIFY2(reason.isEmpty() ? said.isEmpty() : said.startsWith(reason), qPrintable(said));
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void fileWriting()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.rcs");
        QVERIFY(WriteFile(path, "old contents"));
        QString error;
        const CSwitchImage image = RandomImage(99);
        QCOMPARE(SwitchTransfer::WriteImageFile(path, image, error), SwitchTransfer::FileWrite::Written);
        CSwitchImage back;
        QCOMPARE(SwitchTransfer::ReadImageFile(path, back).status, SwitchTransfer::FileStatus::Loaded);
        QVERIFY(back == image);
        QCOMPARE(QFileInfo(path).size(), 128);

        QCOMPARE(SwitchTransfer::WriteImageFile(dir.path(), image, error), SwitchTransfer::FileWrite::OpenFailed);
        QVERIFY(!error.isEmpty());
        error.clear();
        QCOMPARE(SwitchTransfer::WriteImageFile(dir.filePath("no/such/folder.rcs"), image, error),
            SwitchTransfer::FileWrite::OpenFailed);
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSwitchImage)
#include "test_switch_image.moc"
