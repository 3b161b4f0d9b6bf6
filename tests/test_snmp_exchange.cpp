// The event-driven exchange against simulated modules: the callback form,
// time-outs with re-sends, a cancel in the middle of a time-out or between a
// batch's end and its `done`, two modules at once on one loop, the blocking
// form inside a busy handler, and an event loop that keeps turning while a
// module stays silent.

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"

namespace {
const char* const kVlan = ".1.3.6.1.4.1.19865.1.1.3.0";
const char* const kPing = ".1.3.6.1.4.1.19865.1.1.7.0";
const char* const kSilentVlan = R"({"faults": {".1.1.3.0": {"silence": true}}})";

int RequestsFor(const SimModule& sim, const std::string& oid) { return int(sim.Journal(oid).size()); }

// Runs the event loop until `done` holds or `limitMs` passed.
template <class Predicate> void Spin(Predicate done, int limitMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

// Calls `seen` before every event of `type` is delivered, while it lives.
class EventWatcher : public QObject {
public:
    EventWatcher(QEvent::Type type, std::function<void()> seen) : m_type(type), m_seen(std::move(seen))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            m_seen();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_seen;
};

// Whether the event loop turned since it was made (a zero timer fired).
class LoopTurn : public QObject {
public:
    LoopTurn()
    {
        QTimer::singleShot(0, this, [this] { m_turned = true; });
    }
    bool Turned() const { return m_turned; }

private:
    bool m_turned = false;
};

}  // namespace

class TestSnmpExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }
    void cleanup() { TestEnvironment::Reset(); }

    // Two modules on two loopback addresses, one loop: both batches finish,
    // and each holds its own module's answer.
    void callbackFormRunsTwoModulesAtOnce()
    {
        SimModule first(R"({"objects": {".1.1.3.0": {"type": "i", "value": 11}}})", "127.0.0.1");
        SimModule second(R"({"objects": {".1.1.3.0": {"type": "i", "value": 22}}})", "127.0.0.2", first.Port());
        first.Use();
        CSnmpRequest a("127.0.0.1", "582019374620", 2);
        CSnmpRequest b("127.0.0.2", "582019374620", 2);
        for (CSnmpRequest* request : {&a, &b}) {
            request->AddVar(kVlan, "", 0);
            request->AddVar(kPing, "", 0);
        }
        int codeA = 1;
        int codeB = 1;
        a.Start(false, [&](int code) { codeA = code; });
        b.Start(false, [&](int code) { codeB = code; });
        QVERIFY(a.Running() && b.Running());
        Spin([&] { return codeA != 1 && codeB != 1; });
        QCOMPARE(codeA, int(CSnmpRequest::kOk));
        QCOMPARE(codeB, int(CSnmpRequest::kOk));
        QCOMPARE(a.GetInteger(0), 11);
        QCOMPARE(b.GetInteger(0), 22);
        QCOMPARE(a.Completed(), 2);
        QCOMPARE(RequestsFor(first, kVlan), 1);
        QCOMPARE(RequestsFor(second, kVlan), 1);
    }

    // A silent module: the request goes out once and is re-sent `retries`
    // times, then the batch ends with kNoAnswer and nothing after it is sent.
    void silentModuleTimesOutWithTheConfiguredRetries()
    {
        SimModule sim(kSilentVlan);
        sim.Use();
        CSnmpRequest::SetTimeoutOverride(150000);
        CSnmpRequest::SetRetriesOverride(2);
        CSnmpRequest request("127.0.0.1", "582019374620", 2);
        request.AddVar(kVlan, "", 0);
        request.AddVar(kPing, "", 0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(request.Get(), int(CSnmpRequest::kNoAnswer));
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(RequestsFor(sim, kVlan), 3);
        QCOMPARE(RequestsFor(sim, kPing), 0);
        QCOMPARE(request.Completed(), 0);
    }

    // A cancel during a time-out returns at once; the library's re-sends that
    // were still due never leave, and neither does the rest of the batch.
    void cancelInTheMiddleOfATimeOutSendsNothingMore()
    {
        SimModule sim(kSilentVlan);
        sim.Use();
        CSnmpRequest::SetTimeoutOverride(400000);
        CSnmpRequest::SetRetriesOverride(3);
        CSnmpRequest request("127.0.0.1", "582019374620", 2);
        request.AddVar(kVlan, "", 0);
        request.AddVar(kPing, "", 0);
        bool called = false;
        request.Start(false, [&](int) { called = true; });
        Spin([&] { return RequestsFor(sim, kVlan) == 1; });
        request.Cancel();
        QVERIFY(!request.Running());
        request.Cancel();  // twice: nothing
        Spin([] { return false; }, 1500);  // long enough for three re-sends
        QCOMPARE(RequestsFor(sim, kVlan), 1);
        QCOMPARE(RequestsFor(sim, kPing), 0);
        QVERIFY(!called);
    }

    // A cancel after the batch is over but before `done` came (it comes
    // from the event loop) still keeps `done` from being called: the caller
    // that cancels may be gone by then.
    void cancelBetweenTheEndAndDoneDropsDone()
    {
        SimModule sim;
        sim.Use();
        CSnmpRequest request("127.0.0.1", "582019374620", 1);
        request.AddVar(kVlan, "", 0);
        bool called = false;
        bool cancelledInBetween = false;
        request.Start(false, [&](int) { called = true; });
        // `done` travels as a queued call: cancel just before it is delivered.
        const EventWatcher watcher(QEvent::MetaCall, [&] {
            if (!request.Running() && !called && !cancelledInBetween) {
                cancelledInBetween = true;
                request.Cancel();
            }
        });
        Spin([&] { return cancelledInBetween; });
        QVERIFY(cancelledInBetween);
        QCOMPARE(request.Completed(), 1);  // the batch was over
        Spin([] { return false; }, 200);
        QVERIFY(!called);
    }

    // The blocking form inside a busy handler: a cancel ends the wait at
    // once, mid-time-out (well before the time-out would); the handler's next
    // batch and pause return without waiting and without sending; what was
    // done is reported for the status line.
    void busyHandlerCancelEndsTheWaitAndTheRest()
    {
        constexpr long kTimeOutMs = 20000;
        SimModule sim(R"({"faults": {".1.1.7.0": {"silence": true}}})");
        sim.Use();
        CSnmpRequest::SetTimeoutOverride(kTimeOutMs * 1000);
        CSnmpRequest::SetRetriesOverride(0);
        const CBusy::Scope busy(nullptr);
        CSnmpRequest write("127.0.0.1", "marbled", 3);
        write.AddVar(kVlan, "7", 'i');
        write.AddVar(kPing, "1", 'i');
        write.AddVar(kVlan, "8", 'i');
        QElapsedTimer sinceCancel;
        QTimer poll;  // cancels once the silent variable was sent
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (RequestsFor(sim, kPing) == 1 && !sinceCancel.isValid()) {
                sinceCancel.start();
                CBusy::Cancel();
            }
        });
        poll.start(20);
        QCOMPARE(write.Set(), int(CSnmpRequest::kCancelled));
        QVERIFY(sinceCancel.isValid());
        QVERIFY2(sinceCancel.elapsed() < kTimeOutMs / 2, qPrintable(QString::number(sinceCancel.elapsed())));
        poll.stop();
        const CBusy::CancelledBatch batch = CBusy::LastCancelled();
        QVERIFY(batch.write);
        QCOMPARE(batch.done, 1);
        QCOMPARE(batch.total, 3);

        sim.ClearJournal();
        CSnmpRequest next("127.0.0.1", "582019374620", 1);
        next.AddVar(kVlan, "", 0);
        SetSleepHook(nullptr);
        const LoopTurn turn;
        Sleep(2000);
        QCOMPARE(next.Get(), int(CSnmpRequest::kCancelled));
        QVERIFY(!turn.Turned());  // neither waited in the event loop
        Spin([] { return false; }, 300);
        QVERIFY(sim.Journal().empty());
    }

    // A module that answers after the cancel: the late answer is dropped, and
    // the next batch to it is answered as usual.
    void lateAnswerAfterCancelIsDropped()
    {
        SimFleetSpec spec;
        spec.base = "127.3.0.1";
        spec.slow = {"127.3.0.1"};
        spec.slowMs = 600;
        SimModule sim(spec);
        sim.Use();
        CSnmpRequest request("127.3.0.1", "582019374620", 1);
        request.AddVar(kVlan, "", 0);
        bool called = false;
        request.Start(false, [&](int) { called = true; });
        Spin([&] { return RequestsFor(sim, kVlan) == 1; });
        request.Cancel();
        Spin([] { return false; }, 1000);  // the answer came and went
        QVERIFY(!called);
        CSnmpRequest next("127.3.0.1", "582019374620", 1);
        next.AddVar(kVlan, "", 0);
        QCOMPARE(next.Get(), int(CSnmpRequest::kOk));
    }

    // The simulator killed in the middle of a batch: no answer, no crash.
    void moduleKilledDuringABatch()
    {
        auto sim = std::make_unique<SimModule>(kSilentVlan);
        sim->Use();
        CSnmpRequest::SetTimeoutOverride(1000000);
        CSnmpRequest request("127.0.0.1", "582019374620", 2);
        request.AddVar(kPing, "", 0);
        request.AddVar(kVlan, "", 0);
        QTimer poll;  // kills it once the second variable was sent
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (sim && RequestsFor(*sim, kVlan) == 1)
                sim.reset();
        });
        poll.start(10);
        QCOMPARE(request.Get(), int(CSnmpRequest::kNoAnswer));
        QCOMPARE(request.Completed(), 1);
    }

    // While a module stays silent the event loop keeps turning: no stall
    // comes near the time-out (a call that blocked would stall for all of it).
    void eventLoopTurnsDuringASilentExchange()
    {
        constexpr long kTimeOutMs = 1500;
        SimModule sim(kSilentVlan);
        sim.Use();
        CSnmpRequest::SetTimeoutOverride(kTimeOutMs * 1000);
        CSnmpRequest::SetRetriesOverride(0);
        CSnmpRequest request("127.0.0.1", "582019374620", 1);
        request.AddVar(kVlan, "", 0);
        const StallProbe probe;
        QCOMPARE(request.Get(), int(CSnmpRequest::kNoAnswer));
        QVERIFY2(probe.LongestMs() < kTimeOutMs / 2, qPrintable(QString::number(probe.LongestMs())));
    }
};

QTEST_MAIN(TestSnmpExchange)
#include "test_snmp_exchange.moc"
