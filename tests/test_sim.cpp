// The simulated IP module itself, spoken to with plain Net-SNMP client
// calls: default state and state file, communities, error statuses, faults,
// module behaviours, the journal, and the process around it.

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/Pause.h"
#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {

const std::string kReadCommunity = "582019374620";
const std::string kWriteCommunity = "marbled";

std::string Full(const std::string& relativeOid) { return ".1.3.6.1.4.1.19865" + relativeOid; }

struct Var {
    Var(const char* readOid) : oid(readOid) { }
    Var(const std::string& setOid, char setType, const std::string& setValue)
        : oid(setOid), type(setType), value(setValue)
    {
    }
    std::string oid;  // relative to the enterprise prefix
    char type = 0;  // snmp_add_var letter; 0 for a read
    std::string value;
};

struct Answer {
    struct Value {
        int type = 0;
        long integer = 0;
        std::string bytes;
    };
    bool answered = false;
    long errorStatus = 0;
    long errorIndex = 0;
    std::vector<Value> values;

    long Integer() const { return values.empty() ? -1 : values[0].integer; }
    std::string Bytes() const { return values.empty() ? std::string() : values[0].bytes; }
};

Answer::Value ValueOf(const netsnmp_variable_list& var)
{
    Answer::Value value;
    value.type = var.type;
    if (var.type == ASN_OCTET_STR || var.type == ASN_IPADDRESS)
        value.bytes.assign(reinterpret_cast<const char*>(var.val.string), var.val_len);
    else if (var.val.integer && var.type != ASN_NULL)
        value.integer = *var.val.integer;
    return value;
}

constexpr long kAnswerTimeoutUs = 400 * 1000;
// How long a simulator process may take to start or end (the sanitizers on
// a loaded machine make it slow): only a hung one reaches it.
constexpr int kProcessWaitMs = 30000;

// A session to one module; no retries, a short time-out.
netsnmp_session* OpenSession(const QString& address, uint16_t port, const std::string& community,
    long timeoutUs = kAnswerTimeoutUs)
{
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = "udp:" + address.toStdString() + ":" + std::to_string(port);
    std::string communityCopy = community;
    settings.peername = peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(communityCopy.data());
    settings.community_len = communityCopy.size();
    settings.timeout = timeoutUs;
    settings.retries = 0;
    netsnmp_session* session = snmp_open(&settings);
    if (!session)
        qFatal("snmp_open failed");
    return session;
}

netsnmp_pdu* RequestOf(int command, const std::vector<Var>& vars)
{
    netsnmp_pdu* request = snmp_pdu_create(command);
    for (const Var& var : vars) {
        oid ids[MAX_OID_LEN];
        size_t length = MAX_OID_LEN;
        if (!read_objid(Full(var.oid).c_str(), ids, &length))
            qFatal("bad OID %s", var.oid.c_str());
        if (var.type)
            snmp_add_var(request, ids, length, var.type, var.value.c_str());
        else
            snmp_add_null_var(request, ids, length);
    }
    return request;
}

// One request with its own session to the module at `address`.
Answer Exchange(const QString& address, uint16_t port, int command, const std::string& community,
    const std::vector<Var>& vars)
{
    netsnmp_session* session = OpenSession(address, port, community);
    netsnmp_pdu* request = RequestOf(command, vars);
    netsnmp_pdu* response = nullptr;
    Answer answer;
    if (snmp_synch_response(session, request, &response) == STAT_SUCCESS && response) {
        answer.answered = true;
        answer.errorStatus = response->errstat;
        answer.errorIndex = response->errindex;
        for (netsnmp_variable_list* var = response->variables; var; var = var->next_variable)
            answer.values.push_back(ValueOf(*var));
    }
    if (response)
        snmp_free_pdu(response);
    snmp_close(session);
    return answer;
}

Answer Exchange(const SimModule& sim, int command, const std::string& community, const std::vector<Var>& vars)
{
    return Exchange(sim.Address(), sim.Port(), command, community, vars);
}

Answer Get(const SimModule& sim, const std::string& oid, const std::string& community = kReadCommunity)
{
    return Exchange(sim, SNMP_MSG_GET, community, {Var(oid.c_str())});
}

Answer Set(const SimModule& sim, const std::string& oid, char type, const std::string& value,
    const std::string& community = kWriteCommunity)
{
    return Exchange(sim, SNMP_MSG_SET, community, {{oid, type, value}});
}

// GETs of the firmware version sent all at once, each on its own session,
// then waited for together: when each one was answered, or that it was not.
struct SentGet {
    QString address;
    netsnmp_session* session = nullptr;
    const QElapsedTimer* clock = nullptr;
    qint64 answeredMs = -1;  // since the clock started; -1 not yet
    bool timedOut = false;
};

int OnGetAnswer(int operation, netsnmp_session*, int, netsnmp_pdu*, void* magic)
{
    auto* sent = static_cast<SentGet*>(magic);
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE)
        sent->answeredMs = sent->clock->elapsed();
    else
        sent->timedOut = true;
    return 1;
}

bool Settled(const std::vector<std::unique_ptr<SentGet>>& gets)
{
    for (const auto& get : gets)
        if (get->answeredMs < 0 && !get->timedOut)
            return false;
    return true;
}

std::vector<std::unique_ptr<SentGet>> GetAllAtOnce(
    const std::vector<QString>& addresses, uint16_t port, long timeoutUs, const QElapsedTimer& clock)
{
    std::vector<std::unique_ptr<SentGet>> gets;
    for (const QString& address : addresses) {
        auto get = std::make_unique<SentGet>();
        get->address = address;
        get->clock = &clock;
        get->session = OpenSession(address, port, kReadCommunity, timeoutUs);
        if (snmp_async_send(get->session, RequestOf(SNMP_MSG_GET, {{".1.1.8.0"}}), OnGetAnswer, get.get()) == 0)
            qFatal("snmp_async_send failed");
        gets.push_back(std::move(get));
    }
    while (!Settled(gets)) {
        int highest = 0;
        int block = 1;
        fd_set readable;
        FD_ZERO(&readable);
        timeval timeout {};
        snmp_select_info(&highest, &readable, &timeout, &block);
        if (select(highest, &readable, nullptr, nullptr, block ? nullptr : &timeout) > 0)
            snmp_read(&readable);
        else
            snmp_timeout();
    }
    for (const auto& get : gets)
        snmp_close(get->session);
    return gets;
}

// True while the process exists and is not a zombie (an orphan's reaper
// may be slow to collect it).
bool IsRunning(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const size_t nameEnd = line.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < line.size() && line[nameEnd + 2] != 'Z'
        && line[nameEnd + 2] != 'X';
}

std::string Dotted(const std::string& bytes)
{
    if (bytes.size() != 4)
        return "?";
    std::string text;
    for (unsigned char octet : bytes)
        text += (text.empty() ? "" : ".") + std::to_string(octet);
    return text;
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::Init();
        init_snmp("kalvor-test");
    }

    void testEnvironmentConfiguresLibraryAndPauses()
    {
        QCOMPARE(netsnmp_ds_get_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_TIMEOUT), 1);
        QCOMPARE(netsnmp_ds_get_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_RETRIES), 0);
        TestEnvironment::TakePauses();
        bool loopTurned = false;  // a real pause waits in the event loop
        QObject context;
        QTimer::singleShot(0, &context, [&] { loopTurned = true; });
        Sleep(4000);
        Sleep(150);
        QVERIFY(!loopTurned);
        QCOMPARE(TestEnvironment::TakePauses(), (std::vector<unsigned> {4000, 150}));
        QVERIFY(TestEnvironment::TakePauses().empty());
    }

    void defaultStateServesTheModule()
    {
        SimModule sim;
        QCOMPARE(Get(sim, ".1.1.8.0").Integer(), 0x0449L);
        QCOMPARE(Get(sim, ".1.1.9.0").Integer(), 0xA0L);
        QCOMPARE(Get(sim, ".1.1.11.0").Integer(), 0x08L);
        QCOMPARE(Get(sim, ".1.1.13.0").Integer(), 255L);
        QCOMPARE(Get(sim, ".1.4.2.0.0").Integer(), 0x7CL);
        QCOMPARE(Get(sim, ".1.4.2.127.0").Integer(), 0xFFL);

        const Answer mac = Get(sim, ".1.1.2.0");
        QCOMPARE(mac.values.at(0).type, int(ASN_OCTET_STR));
        QCOMPARE(mac.Bytes(), std::string("\x00\x0A\x1B\x2C\x3D\x4E", 6));
        QCOMPARE(Get(sim, ".1.1.5.0").Bytes().size(), size_t(6));
        QCOMPARE(Get(sim, ".1.1.17.0").Bytes(), kReadCommunity);

        // Every address the module holds is a loopback address or a mask.
        for (const char* oid : {".1.1.1.0", ".1.1.14.0", ".1.1.16.0", ".1.1.18.0", ".1.1.20.0", ".1.1.32.0"}) {
            const Answer address = Get(sim, oid);
            QCOMPARE(address.values.at(0).type, int(ASN_IPADDRESS));
            QVERIFY2(Dotted(address.Bytes()).rfind("127.", 0) == 0, oid);
        }
        QCOMPARE(Dotted(Get(sim, ".1.1.1.0").Bytes()), std::string("127.0.0.1"));
        QCOMPARE(Dotted(Get(sim, ".1.1.15.0").Bytes()), std::string("255.255.255.0"));

        // One object of each further family.
        for (const char* oid : {".1.1.122.16.0", ".1.1.125.0", ".1.2.3.33.0", ".1.2.3.8.0", ".1.4.3.255.0",
                 ".1.4.3.244.0", ".1.5.1.1.4.0", ".1.5.1.2.3.0", ".1.1.19.0"}) {
            const Answer answer = Get(sim, oid);
            QVERIFY2(answer.answered && answer.errorStatus == 0, oid);
        }
    }

    void stateFileOverridesDefaults()
    {
        SimModule sim(R"({
            "firmware": "4.066",
            "readCommunity": "reader",
            "writeCommunity": "writer",
            "objects": {
                ".1.1.3.0": {"type": "i", "value": 100},
                ".1.3.6.1.4.1.19865.1.1.7.0": {"type": "i", "value": 9, "access": "ro"},
                ".1.1.6.0": {"type": "x", "value": "001122334455"},
                ".1.1.14.0": {"type": "a", "value": "127.1.2.3"},
                ".1.9.1.0": {"type": "s", "value": "new object"},
                ".1.9.2.0": {"type": "g", "value": 4000000000},
                ".1.1.17.0": {"value": "shown"}
            },
            "remove": [".1.1.13.0"]
        })");
        QCOMPARE(Get(sim, ".1.1.8.0", "reader").Integer(), 0x0442L);
        QCOMPARE(Get(sim, ".1.1.3.0", "reader").Integer(), 100L);
        QCOMPARE(Get(sim, ".1.1.6.0", "reader").Bytes(), std::string("\x00\x11\x22\x33\x44\x55", 6));
        QCOMPARE(Dotted(Get(sim, ".1.1.14.0", "reader").Bytes()), std::string("127.1.2.3"));
        QCOMPARE(Get(sim, ".1.9.1.0", "reader").Bytes(), std::string("new object"));
        const Answer gauge = Get(sim, ".1.9.2.0", "reader");
        QCOMPARE(gauge.values.at(0).type, int(ASN_GAUGE));
        QCOMPARE(static_cast<unsigned long>(gauge.Integer()), 4000000000UL);
        QCOMPARE(Get(sim, ".1.1.13.0", "reader").errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(Set(sim, ".1.1.7.0", 'i', "5", "writer").errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(Get(sim, ".1.1.4.0", "reader").Bytes(), std::string("writer"));
        // The object changed, the community accepted did not.
        QCOMPARE(Get(sim, ".1.1.17.0", "reader").Bytes(), std::string("shown"));
        QVERIFY(!Get(sim, ".1.1.8.0", kReadCommunity).answered);
    }

    void communitiesDecideWhatIsAnswered()
    {
        SimModule sim;
        QVERIFY(Get(sim, ".1.1.8.0", kReadCommunity).answered);
        QVERIFY(Get(sim, ".1.1.8.0", kWriteCommunity).answered);
        QVERIFY(!Get(sim, ".1.1.8.0", "wrong").answered);
        QVERIFY(!Set(sim, ".1.1.3.0", 'i', "7", kReadCommunity).answered);
        QCOMPARE(Get(sim, ".1.1.3.0").Integer(), 1L);  // the refused SET changed nothing
        QCOMPARE(Set(sim, ".1.1.3.0", 'i', "7", kWriteCommunity).Integer(), 7L);

        const std::vector<JournalEntry> journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(6));
        QCOMPARE(journal[2].community, std::string("wrong"));
        QCOMPARE(journal[2].reply, std::string("none"));
        QCOMPARE(journal[3].op, std::string("set"));
        QCOMPARE(journal[3].reply, std::string("none"));
        QCOMPARE(journal[5].reply, std::string("ok"));
    }

    void errorStatuses()
    {
        SimModule sim;
        const Answer unknown = Get(sim, ".1.1.99.0");
        QCOMPARE(unknown.errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(unknown.errorIndex, 1L);
        QCOMPARE(Set(sim, ".1.1.99.0", 'i', "1").errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(Set(sim, ".1.1.2.0", 'x', "000000000000").errorStatus, long(SNMP_ERR_NOSUCHNAME));  // MAC is ro
        QCOMPARE(Set(sim, ".1.1.10.0", 'i', "1").errorStatus, long(SNMP_ERR_NOSUCHNAME));  // command
        QCOMPARE(Set(sim, ".1.1.3.0", 's', "12").errorStatus, long(SNMP_ERR_BADVALUE));
        QCOMPARE(Set(sim, ".1.1.1.0", 'i', "12").errorStatus, long(SNMP_ERR_BADVALUE));
        QCOMPARE(Set(sim, ".1.1.4.0", 'a', "127.0.0.9").errorStatus, long(SNMP_ERR_BADVALUE));

        const Answer next = Exchange(sim, SNMP_MSG_GETNEXT, kReadCommunity, {{".1.1.8.0"}});
        QCOMPARE(next.errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(sim.Journal().back().op, std::string("other"));
        QCOMPARE(sim.Journal().back().reply, std::string("error"));
    }

    void multiVariableRequests()
    {
        SimModule sim;
        const Answer both = Exchange(sim, SNMP_MSG_GET, kReadCommunity, {{".1.1.8.0"}, {".1.1.3.0"}});
        QCOMPARE(both.values.size(), size_t(2));
        QCOMPARE(both.values[0].integer, 0x0449L);
        QCOMPARE(both.values[1].integer, 1L);

        const Answer second = Exchange(sim, SNMP_MSG_GET, kReadCommunity, {{".1.1.8.0"}, {".1.1.99.0"}});
        QCOMPARE(second.errorStatus, long(SNMP_ERR_NOSUCHNAME));
        QCOMPARE(second.errorIndex, 2L);

        // A SET that fails on one variable stores none of them.
        const Answer set
            = Exchange(sim, SNMP_MSG_SET, kWriteCommunity, {{".1.1.3.0", 'i', "50"}, {".1.1.7.0", 's', "x"}});
        QCOMPARE(set.errorStatus, long(SNMP_ERR_BADVALUE));
        QCOMPARE(set.errorIndex, 2L);
        QCOMPARE(Get(sim, ".1.1.3.0").Integer(), 1L);
    }

    void setStoresAndJournalsValues()
    {
        SimModule sim;
        QCOMPARE(Set(sim, ".1.1.3.0", 'i', "-5").Integer(), -5L);
        QCOMPARE(Get(sim, ".1.1.3.0").Integer(), -5L);
        QCOMPARE(Dotted(Set(sim, ".1.1.16.0", 'a', "127.0.0.99").Bytes()), std::string("127.0.0.99"));
        QCOMPARE(Set(sim, ".1.1.19.0", 'x', "41 E9 00").Bytes(), std::string("A\xE9\0", 3));
        QCOMPARE(Get(sim, ".1.1.19.0").Bytes(), std::string("A\xE9\0", 3));

        const std::vector<JournalEntry> sets = sim.Journal(Full(".1.1."));
        QCOMPARE(sets.size(), size_t(5));
        QCOMPARE(sets[0].oid, Full(".1.1.3.0"));
        QCOMPARE(sets[0].type, std::string("i"));
        QCOMPARE(sets[0].value, std::string("-5"));
        QCOMPARE(sets[0].hex, std::string());
        QCOMPARE(sets[1].op, std::string("get"));
        QCOMPARE(sets[1].type, std::string());
        QCOMPARE(sets[1].value, std::string());
        QCOMPARE(sets[2].type, std::string("a"));
        QCOMPARE(sets[2].value, std::string("127.0.0.99"));
        QCOMPARE(sets[3].type, std::string("s"));
        QCOMPARE(sets[3].value, std::string("A\xC3\xA9\0", 4));  // Latin-1 bytes as UTF-8
        QCOMPARE(sets[3].hex, std::string("41 E9 00"));
        QCOMPARE(sets[3].community, kWriteCommunity);
    }

    void faults()
    {
        SimModule sim(R"({"faults": {
            ".1.1.15.0": {"silence": true},
            ".1.1.9.0": {"error": 5},
            ".1.1.7.0": {"echo": 4},
            ".1.1.12.0": {"echo": 100, "times": 2},
            ".1.1.3.0": {"error": 3, "on": "set"},
            ".1.1.21.0": {"echo": 0}
        }})");
        QVERIFY(!Get(sim, ".1.1.15.0").answered);
        QVERIFY(!Set(sim, ".1.1.15.0", 'a', "255.0.0.0").answered);
        const Answer failed = Get(sim, ".1.1.9.0");
        QCOMPARE(failed.errorStatus, 5L);
        QCOMPARE(failed.errorIndex, 1L);

        QCOMPARE(Set(sim, ".1.1.7.0", 'i', "9").Integer(), 4L);
        QCOMPARE(Get(sim, ".1.1.7.0").Integer(), 4L);

        QCOMPARE(Set(sim, ".1.1.12.0", 'i', "7").Integer(), 100L);
        QCOMPARE(Set(sim, ".1.1.12.0", 'i', "7").Integer(), 100L);
        QCOMPARE(Set(sim, ".1.1.12.0", 'i', "7").Integer(), 7L);

        QCOMPARE(Get(sim, ".1.1.3.0").Integer(), 1L);
        QCOMPARE(Set(sim, ".1.1.3.0", 'i', "2").errorStatus, 3L);
        QCOMPARE(Dotted(Set(sim, ".1.1.21.0", 'a', "255.255.0.0").Bytes()), std::string("0.0.0.0"));

        const std::vector<JournalEntry> journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(11));
        QCOMPARE(journal[0].reply, std::string("none"));
        QCOMPARE(journal[1].reply, std::string("none"));
        QCOMPARE(journal[1].value, std::string("255.0.0.0"));
        QCOMPARE(journal[2].reply, std::string("error"));
        QCOMPARE(journal[3].value, std::string("9"));  // what was written, not the echo
    }

    void moduleBehaviours()
    {
        SimModule sim;
        for (const char* command : {".1.1.10.0", ".1.2.4.0", ".1.1.33.0", ".1.4.1.0", ".1.4.4.0"})
            QCOMPARE(Get(sim, command).Integer(), 1L);

        QCOMPARE(Get(sim, ".1.5.1.2.3.0").Bytes(), std::string("READY\r\n"));
        QCOMPARE(Get(sim, ".1.5.1.2.1.0").Integer(), 1L);
        QCOMPARE(Get(sim, ".1.5.1.2.3.0").Bytes(), std::string());

        QCOMPARE(Set(sim, ".1.2.1.0", 'i', "129").Integer(), 129L);
        QCOMPARE(Get(sim, ".1.2.1.33.0").Integer(), 129L);

        // From 4.070 on the two community strings are separate objects.
        QCOMPARE(Set(sim, ".1.1.17.0", 's', "newreader").Bytes(), std::string("newreader"));
        QVERIFY(!Get(sim, ".1.1.8.0", kReadCommunity).answered);
        QVERIFY(Get(sim, ".1.1.8.0", "newreader").answered);
        QVERIFY(Set(sim, ".1.1.4.0", 's', "newwriter").answered);
        QVERIFY(!Set(sim, ".1.1.3.0", 'i', "3", kWriteCommunity).answered);
        QCOMPARE(Set(sim, ".1.1.3.0", 'i', "3", "newwriter").Integer(), 3L);
        QVERIFY(Get(sim, ".1.1.8.0", "newreader").answered);
    }

    void olderFirmwareKeepsOneCommunity()
    {
        SimModule sim(R"({"firmware": "4.066", "readCommunity": "abcdefghijkl", "writeCommunity": "abcdefghijkl"})");
        QVERIFY(Set(sim, ".1.1.4.0", 's', "mnopqrstuvwx", "abcdefghijkl").answered);
        QVERIFY(!Get(sim, ".1.1.8.0", "abcdefghijkl").answered);
        QCOMPARE(Get(sim, ".1.1.8.0", "mnopqrstuvwx").Integer(), 0x0442L);
        QCOMPARE(Get(sim, ".1.1.17.0", "mnopqrstuvwx").Bytes(), std::string("mnopqrstuvwx"));
    }

    void journalCanBeClearedAndFiltered()
    {
        SimModule sim;
        Get(sim, ".1.1.8.0");
        Get(sim, ".1.4.2.5.0");
        QCOMPARE(sim.Journal().size(), size_t(2));
        sim.ClearJournal();
        QVERIFY(sim.Journal().empty());
        Get(sim, ".1.4.2.6.0");
        Get(sim, ".1.1.3.0");
        const std::vector<JournalEntry> journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(2));
        QCOMPARE(journal[0].oid, Full(".1.4.2.6.0"));
        QCOMPARE(journal[0].op, std::string("get"));
        QCOMPARE(journal[0].community, kReadCommunity);
        QCOMPARE(sim.Journal(Full(".1.4.")).size(), size_t(1));
    }

    void fixtureDirectsTheClientAndServesOtherLoopbackAddresses()
    {
        SimModule sim("{}", "127.0.0.2");
        QCOMPARE(sim.Address(), QString("127.0.0.2"));
        sim.Use();
        CSnmpRequest request("127.0.0.2", kReadCommunity.c_str(), 1);
        request.AddVar(Full(".1.1.8.0").c_str(), "", 0);
        QCOMPARE(request.Get(), 0);
        QCOMPARE(request.GetInteger(0), 0x0449);
        QCOMPARE(sim.Journal().size(), size_t(1));
    }

    // Every module of a fleet is built from the same state and yet is a
    // module of its own: its MAC address (the state's plus its index, carried
    // across the last three bytes), its IP address, its gateway in its own
    // network, its own stored values and its own journal lines.
    void fleetModulesHaveTheirOwnIdentity()
    {
        SimFleetSpec spec;
        spec.size = 1000;
        spec.stateJson = R"({"objects": {".1.1.2.0": {"type": "x", "value": "02 4B 00 FF FF FE"}, ".1.1.3.0": {"value": 42}}})";
        QElapsedTimer clock;
        clock.start();
        SimModule fleet(spec);
        qInfo("a fleet of %d modules started in %lld ms", spec.size, clock.elapsed());

        const struct {
            int index;
            const char* address;
            const char* mac;  // six bytes
            const char* gateway;
        } rows[] = {
            {0, "127.1.0.1", "\x02\x4B\x00\xFF\xFF\xFE", "127.1.0.254"},
            {1, "127.1.0.2", "\x02\x4B\x00\xFF\xFF\xFF", "127.1.0.254"},
            {2, "127.1.0.3", "\x02\x4B\x00\x00\x00\x00", "127.1.0.254"},
            {255, "127.1.1.0", "\x02\x4B\x00\x00\x00\xFD", "127.1.1.254"},
            {999, "127.1.3.232", "\x02\x4B\x00\x00\x03\xE5", "127.1.3.254"},
        };
        for (const auto& row : rows) {
            QCOMPARE(fleet.FleetAddress(row.index), QString(row.address));
            const Answer answer = Exchange(row.address, fleet.Port(), SNMP_MSG_GET, kReadCommunity,
                {{".1.1.2.0"}, {".1.1.1.0"}, {".1.1.14.0"}, {".1.1.3.0"}});
            QVERIFY2(answer.answered && answer.values.size() == 4, row.address);
            QCOMPARE(answer.values[0].bytes, std::string(row.mac, 6));
            QCOMPARE(Dotted(answer.values[1].bytes), std::string(row.address));
            QCOMPARE(Dotted(answer.values[2].bytes), std::string(row.gateway));
            QCOMPARE(answer.values[3].integer, 42L);
        }

        // A value written to one module stays in that module.
        QCOMPARE(Exchange("127.1.0.2", fleet.Port(), SNMP_MSG_SET, kWriteCommunity, {{".1.1.3.0", 'i', "7"}})
                     .Integer(),
            7L);
        QCOMPARE(Exchange("127.1.0.3", fleet.Port(), SNMP_MSG_GET, kReadCommunity, {{".1.1.3.0"}}).Integer(), 42L);

        for (const auto& row : rows) {
            const std::vector<JournalEntry> lines = fleet.JournalOf(row.address);
            QCOMPARE(lines.size(), size_t(row.index == 1 || row.index == 2 ? 5 : 4));
            for (const JournalEntry& line : lines)
                QCOMPARE(line.index, row.index);
        }
        QCOMPARE(fleet.JournalOf("127.1.0.2").back().op, std::string("set"));
        QVERIFY(fleet.JournalOf("127.1.0.5").empty());
        QCOMPARE(fleet.Journal().size(), size_t(22));
    }

    // Silent modules never answer (their requests are journaled with no
    // reply); a slow module answers each request late, and neither holds up
    // the others, which answer first though asked after it.
    void fleetSilentAndSlowModules()
    {
        constexpr int kSlowMs = 500;
        SimFleetSpec spec;
        spec.size = 6;
        spec.base = "127.3.0.1";
        spec.silent = {"127.3.0.2", "127.3.0.4-127.3.0.5"};
        spec.slow = {"127.3.0.3"};
        spec.slowMs = kSlowMs;
        SimModule fleet(spec);

        enum class Kind { Prompt, Slow, Silent };
        const struct {
            const char* address;
            Kind kind;
        } rows[] = {
            {"127.3.0.3", Kind::Slow},  // first, so that the others are asked while it waits
            {"127.3.0.3", Kind::Slow},  // a second request in the same wait
            {"127.3.0.1", Kind::Prompt},
            {"127.3.0.2", Kind::Silent},
            {"127.3.0.4", Kind::Silent},
            {"127.3.0.5", Kind::Silent},
            {"127.3.0.6", Kind::Prompt},
        };
        std::vector<QString> addresses;
        for (const auto& row : rows)
            addresses.push_back(row.address);
        QElapsedTimer clock;
        clock.start();
        // Slow answers are awaited for five times their delay.
        const auto gets = GetAllAtOnce(addresses, fleet.Port(), 5 * kSlowMs * 1000L, clock);

        qint64 firstSlow = std::numeric_limits<qint64>::max();
        for (size_t i = 0; i < std::size(rows); ++i) {
            if (rows[i].kind == Kind::Slow && gets[i]->answeredMs >= 0)
                firstSlow = std::min(firstSlow, gets[i]->answeredMs);
        }
        for (size_t i = 0; i < std::size(rows); ++i) {
            const SentGet& get = *gets[i];
            const QByteArray what = get.address.toLatin1() + " answered after " + QByteArray::number(get.answeredMs);
            switch (rows[i].kind) {
            case Kind::Prompt: QVERIFY2(get.answeredMs >= 0 && get.answeredMs < firstSlow, what); break;
            case Kind::Slow: QVERIFY2(get.answeredMs >= kSlowMs, what); break;
            case Kind::Silent: QVERIFY2(get.timedOut, what); break;
            }
            const std::vector<JournalEntry> lines = fleet.JournalOf(rows[i].address);
            QVERIFY2(!lines.empty(), rows[i].address);
            QCOMPARE(lines.back().reply, std::string(rows[i].kind == Kind::Silent ? "none" : "ok"));
        }
        QCOMPARE(fleet.JournalOf("127.3.0.3").size(), size_t(2));
    }

    // A bad option or option value: one line on stderr naming the option,
    // exit code 2, nothing on stdout, nothing served.
    void refusesBadInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("complaint");
        const struct {
            const char* name;
            QStringList arguments;
            const char* complaint;
        } rows[] = {
            {"foreign address", {"--address", "192.0.2.1"}, "127.0.0.0/8"},
            {"unknown option", {"--colour", "red"}, "unknown option"},
            {"bad port", {"--port", "70000"}, "bad port"},
            {"address part above 255", {"--address", "127.0.0.256"}, "--address"},
            {"address of three parts", {"--address", "1.2.3"}, "--address"},
            {"address with a blank", {"--address", " 127.0.0.1"}, "--address"},
            {"address in hexadecimal", {"--address", "0x7f.0.0.1"}, "--address"},
            {"address with a trailing dot", {"--address", "127.0.0.1."}, "--address"},
            {"fleet of none", {"--fleet", "0"}, "--fleet:"},
            {"fleet too large", {"--fleet", "4097"}, "--fleet:"},
            {"fleet size not a number", {"--fleet", "12x"}, "--fleet:"},
            {"fleet base foreign", {"--fleet", "2", "--fleet-base", "10.1.0.1"}, "--fleet-base"},
            {"fleet leaves loopback", {"--fleet", "10", "--fleet-base", "127.255.255.250"}, "--fleet-base"},
            {"fleet from the network address", {"--fleet", "1", "--fleet-base", "127.0.0.0"}, "--fleet-base"},
            {"silent outside the fleet", {"--fleet", "5", "--fleet-silent", "127.1.0.6"}, "--fleet-silent"},
            {"silent with an empty item", {"--fleet", "5", "--fleet-silent", "127.1.0.1,,127.1.0.2"}, "--fleet-silent"},
            {"silent range backwards", {"--fleet", "5", "--fleet-silent", "127.1.0.3-127.1.0.2"}, "--fleet-silent"},
            {"slow without delay", {"--fleet", "5", "--fleet-slow", "127.1.0.2"}, "--fleet-slow"},
            {"slow delay zero", {"--fleet", "5", "--fleet-slow", "127.1.0.2:0"}, "--fleet-slow"},
            {"slow delay too long", {"--fleet", "5", "--fleet-slow", "127.1.0.2:60001"}, "--fleet-slow"},
            {"slow delay with a unit", {"--fleet", "5", "--fleet-slow", "127.1.0.2:5ms"}, "--fleet-slow"},
            {"slow outside the fleet", {"--fleet", "5", "--fleet-slow", "127.1.0.9:50"}, "--fleet-slow"},
            {"fleet option without fleet", {"--fleet-silent", "127.1.0.1"}, "--fleet-silent needs --fleet"},
            {"address with fleet", {"--fleet", "2", "--address", "127.0.0.2"}, "--address"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << (QStringList {"--port", "0"} + row.arguments) << row.complaint;
    }

    void refusesBadInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, complaint);
        QProcess sim;
        sim.start(KALVOR_SIM_PATH, arguments);
        QVERIFY(sim.waitForFinished(kProcessWaitMs));
        QCOMPARE(sim.exitCode(), 2);
        const QString error = QString::fromUtf8(sim.readAllStandardError());
        QVERIFY2(error.startsWith("kalvor-sim: ") && error.count('\n') == 1 && error.endsWith('\n'), qPrintable(error));
        QVERIFY2(error.contains(complaint), qPrintable(error + " lacks " + complaint));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    void helpAndVersion()
    {
        QProcess help;
        help.start(KALVOR_SIM_PATH, {"--help"});
        QVERIFY(help.waitForFinished(kProcessWaitMs));
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        QVERIFY2(text.startsWith("usage: kalvor-sim"), qPrintable(text));
        for (const char* option : {"--port N", "--address A", "--state FILE", "--journal FILE", "--fleet N",
                 "--fleet-base A", "--fleet-silent LIST", "--fleet-slow LIST:MS", "--version"})
            QVERIFY2(text.contains(QString("\n  ") + option) || text.contains(QString(", ") + option), option);
        QCOMPARE(help.readAllStandardError(), QByteArray());

        QProcess version;
        version.start(KALVOR_SIM_PATH, {"--version"});
        QVERIFY(version.waitForFinished(kProcessWaitMs));
        QCOMPARE(version.exitCode(), 0);
        const QString line = QString::fromUtf8(version.readAllStandardOutput());
        QVERIFY2(QRegularExpression("^kalvor-sim [0-9]+\\.[0-9]+\n$").match(line).hasMatch(), qPrintable(line));
    }

    // Each part of an address is a decimal number, leading zeros or not: the
    // module is served where the text says (never where an octal reading
    // would put it) and announced in the canonical form.
    void readsOptionAddressesAsDecimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fleetSize");  // 0: a single module on --address
        QTest::addColumn<QString>("served");  // the first address
        QTest::addColumn<QString>("lastServed");
        QTest::addColumn<QString>("octalReading");  // "": none in 127.0.0.0/8 to check
        QTest::newRow("zero-padded last part") << "127.0.0.010" << 0 << "127.0.0.10" << "127.0.0.10" << "127.0.0.8";
        QTest::newRow("every part padded") << "127.000.000.001" << 0 << "127.0.0.1" << "127.0.0.1" << "";
        QTest::newRow("first part padded") << "0127.0.0.2" << 0 << "127.0.0.2" << "127.0.0.2" << "";
        QTest::newRow("fleet base padded") << "127.002.000.0010" << 3 << "127.2.0.10" << "127.2.0.12" << "127.2.0.8";
    }

    void readsOptionAddressesAsDecimal()
    {
        QFETCH(QString, text);
        QFETCH(int, fleetSize);
        QFETCH(QString, served);
        QFETCH(QString, lastServed);
        QFETCH(QString, octalReading);
        SimFleetSpec spec;
        spec.size = fleetSize;
        spec.base = text;
        const std::unique_ptr<SimModule> sim
            = fleetSize > 0 ? std::make_unique<SimModule>(spec) : std::make_unique<SimModule>("{}", text);
        QCOMPARE(sim->Address(), served);
        QCOMPARE(sim->FleetAddress(std::max(fleetSize, 1) - 1), lastServed);
        QVERIFY(Get(*sim, ".1.1.8.0").answered);
        QVERIFY(Exchange(lastServed, sim->Port(), SNMP_MSG_GET, kReadCommunity, {{".1.1.8.0"}}).answered);
        if (!octalReading.isEmpty())
            QVERIFY(!Exchange(octalReading, sim->Port(), SNMP_MSG_GET, kReadCommunity, {{".1.1.8.0"}}).answered);
    }

    // Every refusal is one line on stderr that names the key or the file,
    // with exit code 2 and nothing on stdout.
    void refusesBadStateFiles_data()
    {
        QTest::addColumn<QString>("state");  // "<directory>": a directory given as the state file
        QTest::addColumn<QStringList>("words");
        const struct {
            const char* name;
            const char* state;
            QStringList words;
        } rows[] = {
            {"not json", "{", {"state.json", "parse error at line 1"}},
            {"unknown key", R"({"fault": {}})", {"unknown key \"fault\""}},
            {"bad type", R"({"objects": {".1.1.3.0": {"type": "q", "value": 1}}})", {R"(objects[".1.1.3.0"].type)"}},
            {"type not text", R"({"objects": {".1.1.3.0": {"type": 1, "value": 1}}})",
                {R"(objects[".1.1.3.0"].type)", "expected a string"}},
            {"bad address", R"({"objects": {".1.1.1.0": {"value": "127.0.0"}}})", {R"(objects[".1.1.1.0"].value)"}},
            {"new object without type", R"({"objects": {".1.9.0": {"value": 1}}})", {R"(objects[".1.9.0"])", "type"}},
            {"text beyond Latin-1", R"({"objects": {".1.1.19.0": {"type": "s", "value": "aĀ"}}})",
                {R"(objects[".1.1.19.0"].value)", "U+00FF"}},
            {"community beyond Latin-1", R"({"writeCommunity": "€uro"})", {"writeCommunity", "U+00FF"}},
            {"objects as a list", R"({"objects": [1]})", {"objects", "expected a JSON object"}},
            {"removal not text", R"({"remove": [3]})", {"remove", "3"}},
            {"bad firmware", R"({"firmware": "4.x"})", {"firmware", "4.x"}},
            {"firmware of another kind", R"({"firmware": true})", {"firmware", "true"}},
            {"link flag as number", R"({"linkCommunities": 0})", {"linkCommunities", "true or false"}},
            {"empty fault", R"({"faults": {".1.1.3.0": {"times": 1}}})", {R"(faults[".1.1.3.0"])", "needs"}},
            {"error status as text", R"({"faults": {".1.1.3.0": {"error": "5"}}})",
                {R"(faults[".1.1.3.0"].error)", "\"5\""}},
            {"silence as number", R"({"faults": {".1.1.3.0": {"silence": 1}}})", {R"(faults[".1.1.3.0"].silence)"}},
            {"times zero", R"({"faults": {".1.1.3.0": {"error": 5, "times": 0}}})", {R"(faults[".1.1.3.0"].times)"}},
            {"scope unknown", R"({"faults": {".1.1.3.0": {"error": 5, "on": "read"}}})", {R"(faults[".1.1.3.0"].on)"}},
            {"echo of another type", R"({"faults": {".1.1.3.0": {"echo": "a"}}})", {R"(faults[".1.1.3.0"].echo)"}},
            {"unknown missing value", R"({"faults": {".1.1.3.0": {"noValue": "none"}}})",
                {R"(faults[".1.1.3.0"].noValue)", "noSuchObject"}},
            {"wide integer", R"({"faults": {".1.1.3.0": {"wideInteger": true}}})",
                {R"(faults[".1.1.3.0"].wideInteger)", "32 bits"}},
            {"directory", "<directory>", {"cannot read the state file", "directory"}},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromUtf8(row.state) << row.words;
    }

    void refusesBadStateFiles()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, words);
        QTemporaryDir dir;
        QString path = dir.filePath("state.json");
        if (state == "<directory>") {
            path = dir.path();
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(state.toUtf8());
        }
        QProcess sim;
        sim.start(KALVOR_SIM_PATH, {"--port", "0", "--state", path});
        QVERIFY(sim.waitForFinished(kProcessWaitMs));
        QCOMPARE(sim.exitCode(), 2);
        QCOMPARE(sim.readAllStandardOutput(), QByteArray());
        const QString complaint = QString::fromUtf8(sim.readAllStandardError());
        QVERIFY2(complaint.startsWith("kalvor-sim: ") && complaint.count('\n') == 1 && complaint.endsWith('\n'),
            qPrintable(complaint));
        QVERIFY2(!complaint.contains("json.exception") && !complaint.contains(".."), qPrintable(complaint));
        for (const QString& word : words)
            QVERIFY2(complaint.contains(word), qPrintable(complaint + " lacks " + word));
    }

    // A test process that dies without stopping its simulator (a crash)
    // must not leave it running: it would hold the test's output open.
    void endsWhenItsParentDies()
    {
        int channel[2];
        QVERIFY(pipe(channel) == 0);
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            try {
                SimModule sim;
                std::filesystem::remove_all(sim.Directory());
                const qint64 pid = sim.Pid();
                (void)!write(channel[1], &pid, sizeof pid);
            } catch (...) {
            }
            _exit(0);  // the simulator is still in scope: nobody stops it
        }
        close(channel[1]);
        qint64 simPid = 0;
        const bool told = read(channel[0], &simPid, sizeof simPid) == sizeof simPid;
        close(channel[0]);
        waitpid(child, nullptr, 0);
        QVERIFY(told && simPid > 0);

        QVERIFY(IsRunning(getpid()));
        QElapsedTimer clock;
        clock.start();
        while (IsRunning(static_cast<pid_t>(simPid)) && clock.elapsed() < kProcessWaitMs)
            QThread::msleep(20);
        const bool orphanLeft = IsRunning(static_cast<pid_t>(simPid));
        if (orphanLeft)
            kill(static_cast<pid_t>(simPid), SIGKILL);
        QVERIFY2(!orphanLeft, "kalvor-sim outlived the process that started it");
    }

    void announcesItselfAndEndsOnTerminate()
    {
        QProcess sim;
        sim.start(KALVOR_SIM_PATH, {"--port", "0"});
        QVERIFY(sim.waitForReadyRead(kProcessWaitMs));
        const QString line = QString::fromUtf8(sim.readLine()).trimmed();
        QVERIFY2(QRegularExpression("^kalvor-sim listening on 127\\.0\\.0\\.1:[1-9][0-9]*$").match(line).hasMatch(),
            qPrintable(line));
        sim.terminate();
        QVERIFY(sim.waitForFinished(kProcessWaitMs));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QCOMPARE(sim.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
