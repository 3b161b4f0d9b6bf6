// Without a port of its own, a request goes to the port that Net-SNMP's own
// configuration names (snmp.conf defaultPort), read when the library starts.

#include <QTemporaryDir>
#include <QtTest>

#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"

class TestSnmpConfig : public QObject {
    Q_OBJECT
private slots:
    void defaultPortComesFromSnmpConf()
    {
        SimModule sim;
        QTemporaryDir conf;
        QFile file(conf.filePath("snmp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString("defaultPort %1\ntimeout 1\nretries 0\nmibs :\nnoPersistentLoad yes\nnoPersistentSave yes\n")
                       .arg(sim.Port())
                       .toLatin1());
        file.close();
        qputenv("SNMPCONFPATH", conf.path().toLatin1());
        qputenv("SNMP_PERSISTENT_DIR", conf.filePath("persist").toLatin1());
        CSnmpRequest::SetPortOverride(0);

        CSnmpRequest request("127.0.0.1", "582019374620", 1);
        request.AddVar(".1.3.6.1.4.1.19865.1.1.8.0", "", 0);
        QCOMPARE(request.Get(), 0);
        QCOMPARE(request.GetInteger(0), 0x0449);
        QCOMPARE(sim.Journal().size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestSnmpConfig)
#include "test_snmp_config.moc"
