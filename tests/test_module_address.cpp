// Module addresses from text: the edges of the parse and of the refused
// ranges. (test_ctl checks the common cases against simulated modules.)

#include <QtTest>

#include "snmp/ModuleAddress.h"

class TestModuleAddress : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");  // empty: refused
        QTest::addColumn<QString>("reason");  // the start of the refusal
        const QString notDotted = "not a dotted IPv4 address";
        QTest::newRow("plain") << "10.1.2.3" << "10.1.2.3" << "";
        QTest::newRow("zeros everywhere") << "0010.000.0255.00009" << "10.0.255.9" << "";
        QTest::newRow("many leading zeros") << "0000000000127.0.0.1" << "127.0.0.1" << "";
        QTest::newRow("last unicast below multicast") << "223.255.255.255" << "223.255.255.255" << "";
        QTest::newRow("above multicast") << "240.0.0.1" << "240.0.0.1" << "";
        QTest::newRow("unspecified with zeros") << "00.000.0.0" << "" << "the unspecified address";
        QTest::newRow("multicast low") << "224.0.0.1" << "" << "a multicast address";
        QTest::newRow("multicast high") << "239.255.255.255" << "" << "a multicast address";
        QTest::newRow("long part above 255") << "127.0.0.99999999999999999999" << "" << notDotted;
        QTest::newRow("five parts") << "1.2.3.4.5" << "" << notDotted;
        QTest::newRow("trailing dot") << "1.2.3.4." << "" << notDotted;
        QTest::newRow("empty part") << "1..3.4" << "" << notDotted;
        QTest::newRow("trailing blank") << "127.0.0.1 " << "" << notDotted;
        QTest::newRow("sign") << "+1.2.3.4" << "" << notDotted;
        QTest::newRow("hexadecimal") << "0x7f.0.0.1" << "" << notDotted;
        QTest::newRow("empty") << "" << "" << notDotted;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(QString, reason);
        const ModuleAddressParse parse = ParseModuleAddress(text.toStdString());
        QCOMPARE(QString::fromStdString(parse.address), address);
        QCOMPARE(parse.Accepted(), reason.isEmpty());
        if (!reason.isEmpty()) {
            const QString error = QString::fromStdString(parse.error);
            QVERIFY2(error.startsWith(reason) && error.endsWith(": " + text), qPrintable(error));
        }
    }
};

QTEST_GUILESS_MAIN(TestModuleAddress)
#include "test_module_address.moc"
