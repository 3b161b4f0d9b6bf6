// CSnmpRequest against a simulated module: return codes, result slots, the
// read-back compare of Set with its shared re-send budget, and bad input.

#include <QtTest>
#include <sys/resource.h>

#include <cstring>
#include <string>

#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
const char* const kVlan = ".1.3.6.1.4.1.19865.1.1.3.0";
const char* const kPing = ".1.3.6.1.4.1.19865.1.1.7.0";
const char* const kIp = ".1.3.6.1.4.1.19865.1.1.1.0";
const char* const kMac = ".1.3.6.1.4.1.19865.1.1.2.0";
const char* const kRwCommunity = ".1.3.6.1.4.1.19865.1.1.4.0";
const char* const kUnknown = ".1.3.6.1.4.1.19865.1.1.250.0";

int SetCount(const SimModule& sim, const std::string& oid)
{
    int count = 0;
    for (const JournalEntry& entry : sim.Journal(oid))
        count += entry.op == "set";
    return count;
}
}  // namespace

class TestSnmpRequest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void getFillsTextAndIntegerSlots()
    {
        SimModule sim(R"({"objects": {
            ".1.1.3.0": {"type": "i", "value": 100},
            ".1.1.1.0": {"type": "a", "value": "192.168.1.10"},
            ".1.1.2.0": {"type": "x", "value": "00 0A 1B 2C 3D 4E"},
            ".1.1.4.0": {"type": "s", "value": "marbled"}}})");
        sim.Use();
        CSnmpRequest request("127.0.0.1", "582019374620", 4);
        for (const char* oid : {kVlan, kIp, kMac, kRwCommunity})
            QCOMPARE(request.AddVar(oid, "", 0), 1);
        TestEnvironment::TakePauses();
        QCOMPARE(request.Get(), 0);
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});

        QCOMPARE(request.GetInteger(0), 100);
        QCOMPARE(request.GetText(0), "");
        // IpAddress: the first octet in the least significant byte.
        const auto ip = static_cast<uint32_t>(request.GetInteger(1));
        QCOMPARE(ip & 0xFF, 192u);
        QCOMPARE((ip >> 8) & 0xFF, 168u);
        QCOMPARE((ip >> 16) & 0xFF, 1u);
        QCOMPARE(ip >> 24, 10u);
        QVERIFY(QByteArray(request.GetText(2)).startsWith("Hex-STRING: 00 0A 1B 2C 3D 4E"));
        QCOMPARE(request.GetInteger(2), 0);
        QCOMPARE(request.GetText(3), "STRING: \"marbled\"");

        // One request per variable, in order, with the read-only community.
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(4));
        QCOMPARE(journal[0].oid, std::string(kVlan));
        QCOMPARE(journal[3].oid, std::string(kRwCommunity));
        for (const JournalEntry& entry : journal) {
            QCOMPARE(entry.op, std::string("get"));
            QCOMPARE(entry.community, std::string("582019374620"));
        }
    }

    void getFailures()
    {
        SimModule sim(R"({"faults": {".1.1.7.0": {"error": 5}, ".1.1.15.0": {"silence": true}}})");
        sim.Use();
        {  // unknown object: error status, slot untouched
            CSnmpRequest request("127.0.0.1", "582019374620", 1);
            request.AddVar(kUnknown, "", 0);
            QCOMPARE(request.Get(), -1);
            QCOMPARE(request.GetText(0), "");
            QCOMPARE(request.GetInteger(0), 0);
        }
        {  // error status on the second slot: the first keeps its answer
            CSnmpRequest request("127.0.0.1", "582019374620", 3);
            request.AddVar(kVlan, "", 0);
            request.AddVar(kPing, "", 0);
            request.AddVar(kIp, "", 0);
            QCOMPARE(request.Get(), -1);
            QCOMPARE(request.GetInteger(0), 1);
            QCOMPARE(request.GetInteger(2), 0);
            QCOMPARE(sim.Journal(kIp).size(), size_t(0));
        }
        {  // no answer: time-out
            CSnmpRequest request("127.0.0.1", "582019374620", 1);
            request.AddVar(".1.3.6.1.4.1.19865.1.1.15.0", "", 0);
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(request.Get(), -2);
            QVERIFY(timer.elapsed() < 5000);
        }
        {  // wrong community: the module does not answer
            CSnmpRequest request("127.0.0.1", "not-the-one", 1);
            request.AddVar(kVlan, "", 0);
            QCOMPARE(request.Get(), -2);
            QCOMPARE(request.GetInteger(0), 0);
            QCOMPARE(sim.Journal(kVlan).back().reply, std::string("none"));
        }
    }

    void addVarLimits()
    {
        CSnmpRequest request("127.0.0.1", "public", 2);
        QCOMPARE(request.AddVar("", "", 0), -2);
        QCOMPARE(request.Count(), 0);
        QCOMPARE(request.AddVar(kVlan, "", 0), 1);
        QCOMPARE(request.AddVar(kPing, "", 0), 1);
        QCOMPARE(request.AddVar(kIp, "", 0), -1);
        QCOMPARE(request.Count(), 2);
        QCOMPARE(request.GetText(2), "");
        QCOMPARE(request.GetInteger(99), 0);
    }

    void setComparesTheEcho()
    {
        SimModule sim;
        sim.Use();
        CSnmpRequest request("127.0.0.1", "marbled", 2);
        request.AddVar(kVlan, "100", 'i');
        request.AddVar(kIp, "127.0.0.9", 'a');
        QCOMPARE(request.Set(), 0);
        QCOMPARE(request.GetInteger(0), 100);
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(2));
        QCOMPARE(journal[0].type, std::string("i"));
        QCOMPARE(journal[0].value, std::string("100"));
        QCOMPARE(journal[0].community, std::string("marbled"));
        QCOMPARE(journal[1].type, std::string("a"));
        QCOMPARE(journal[1].value, std::string("127.0.0.9"));
    }

    void stubbornEchoSharesFiveResends()
    {
        SimModule sim(R"({"faults": {".1.1.3.0": {"echo": 4}, ".1.1.7.0": {"echo": 9},
                                     ".1.1.1.0": {"echo": 0}}})");
        sim.Use();
        {  // one variable: six sends at most, then the echo is accepted
            CSnmpRequest request("127.0.0.1", "marbled", 1);
            request.AddVar(kVlan, "5", 'i');
            QCOMPARE(request.Set(), 0);
            QCOMPARE(request.GetInteger(0), 4);
            QCOMPARE(SetCount(sim, kVlan), 6);
        }
        sim.ClearJournal();
        {  // the budget is per call, shared by the slots
            CSnmpRequest request("127.0.0.1", "marbled", 2);
            request.AddVar(kVlan, "5", 'i');
            request.AddVar(kPing, "7", 'i');
            QCOMPARE(request.Set(), 0);
            QCOMPARE(SetCount(sim, kVlan), 6);
            QCOMPARE(SetCount(sim, kPing), 1);
            QCOMPARE(request.GetInteger(1), 9);
        }
        sim.ClearJournal();
        {  // an IP address is never re-sent
            CSnmpRequest request("127.0.0.1", "marbled", 1);
            request.AddVar(kIp, "127.0.0.5", 'a');
            QCOMPARE(request.Set(), 0);
            QCOMPARE(SetCount(sim, kIp), 1);
        }
    }

    void setFailures()
    {
        SimModule sim(R"({"faults": {".1.1.3.0": {"error": 3}, ".1.1.7.0": {"silence": true}}})");
        sim.Use();
        CSnmpRequest rejected("127.0.0.1", "marbled", 1);
        rejected.AddVar(kVlan, "7", 'i');
        QCOMPARE(rejected.Set(), -1);

        CSnmpRequest unanswered("127.0.0.1", "marbled", 1);
        unanswered.AddVar(kPing, "7", 'i');
        QCOMPARE(unanswered.Set(), -2);

        // A value text that does not suit its type is not sent at all.
        CSnmpRequest badHex("127.0.0.1", "marbled", 1);
        badHex.AddVar(".1.3.6.1.4.1.19865.1.1.5.0", "zz yy", 'x');
        QCOMPARE(badHex.Set(), -1);
        QCOMPARE(sim.Journal(".1.3.6.1.4.1.19865.1.1.5.0").size(), size_t(0));
    }

    // An answer that does not answer the request ends Get and Set with -1
    // and stores nothing of it; a Set never counts it as read back.
    void answersThatDoNotAnswer_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("isSet");
        const char* const faults[][2] = {
            {"wrong OID", R"("wrongOid": true)"},
            {"extra variable", R"("extraVariable": true)"},
            {"null", R"("noValue": "null")"},
            {"noSuchObject", R"("noValue": "noSuchObject")"},
            {"noSuchInstance", R"("noValue": "noSuchInstance")"},
            {"endOfMibView", R"("noValue": "endOfMibView")"},
        };
        for (const auto& fault : faults) {
            QTest::newRow(qPrintable(QString("get, %1").arg(fault[0]))) << fault[1] << false;
            QTest::newRow(qPrintable(QString("set, %1").arg(fault[0]))) << fault[1] << true;
        }
    }

    void answersThatDoNotAnswer()
    {
        QFETCH(QString, fault);
        QFETCH(bool, isSet);
        // The VLAN tag answers wrongly once; the first slot's object answers well.
        SimModule sim(QString(R"({"objects": {".1.1.3.0": {"type": "i", "value": 77}},
                                  "faults": {".1.1.3.0": {%1, "times": 1}}})")
                          .arg(fault)
                          .toStdString());
        sim.Use();
        CSnmpRequest request("127.0.0.1", isSet ? "marbled" : "582019374620", 2);
        request.AddVar(kPing, "7", isSet ? 'i' : 0);
        request.AddVar(kVlan, "77", isSet ? 'i' : 0);
        QCOMPARE(isSet ? request.Set() : request.Get(), -1);
        QCOMPARE(request.GetInteger(0), isSet ? 7 : 6);  // written / default ping minutes
        QCOMPARE(request.GetInteger(1), 0);
        QCOMPARE(request.GetText(1), "");
        // The spoilt answer was not taken for an echo to compare (no re-send)
        // nor for a success; the next, sound answer is taken again.
        const auto journal = sim.Journal(kVlan);
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].op, std::string(isSet ? "set" : "get"));
        QCOMPARE(isSet ? request.Set() : request.Get(), 0);
        QCOMPARE(request.GetInteger(1), 77);
    }

    void sessionThatCannotOpen()
    {
        // With no file descriptors left, no socket can be opened.
        rlimit saved {};
        getrlimit(RLIMIT_NOFILE, &saved);
        rlimit none = saved;
        none.rlim_cur = 0;
        CSnmpRequest get("127.0.0.1", "582019374620", 1);
        get.AddVar(kVlan, "", 0);
        CSnmpRequest set("127.0.0.1", "marbled", 1);
        set.AddVar(kVlan, "3", 'i');
        setrlimit(RLIMIT_NOFILE, &none);
        const int getResult = get.Get();
        const int setResult = set.Set();
        setrlimit(RLIMIT_NOFILE, &saved);
        QCOMPARE(getResult, -3);
        QCOMPARE(setResult, -3);
    }

    void overLongCommunityIsCutValuesAreWhole()
    {
        std::string hex;
        for (int i = 0; i < 200; ++i)
            hex += "01 ";
        SimModule sim(R"({"objects": {".1.1.4.0": {"type": "x", "value": ")" + hex + R"("}}})");
        sim.Use();
        // A community longer than 12 characters is cut to 12.
        CSnmpRequest request("127.0.0.1", "582019374620-and-more", 2);
        // An OID of more sub-identifiers than the library takes is never sent.
        std::string longOid = ".1.3.6.1.4.1.19865.1.10";
        while (longOid.size() < 300)
            longOid += ".1";
        request.AddVar(kRwCommunity, "", 0);
        QCOMPARE(request.AddVar(longOid.c_str(), std::string(100, '7').c_str(), 0), 1);
        QCOMPARE(request.Get(), -1);
        // The printed value of 200 bytes comes back whole.
        const QByteArray text(request.GetText(0));
        QVERIFY(text.startsWith("Hex-STRING: 01 01 "));
        QCOMPARE(text.count("01"), 200);
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].community, std::string("582019374620"));
    }

    void unfilledSlotsAreNotSent()
    {
        SimModule sim;
        sim.Use();
        CSnmpRequest request("127.0.0.1", "582019374620", 3);
        request.AddVar(kVlan, "", 0);
        request.AddVar(kPing, "", 0);
        QCOMPARE(request.Get(), -1);
        QCOMPARE(request.GetInteger(1), 6);
        QCOMPARE(sim.Journal().size(), size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestSnmpRequest)
#include "test_snmp_request.moc"
