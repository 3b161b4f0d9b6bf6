#include "SimModule.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDebug>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <thread>

#include "snmp/SnmpRequest.h"

namespace {

// Generous: a loaded machine and the sanitizers slow the start-up many times
// over (a fleet of 1,000 takes a few seconds there), and a simulator that
// fails says so at once anyway.
constexpr int kStartTimeoutMs = 30000;
constexpr int kStartMsPerFleetModule = 50;
constexpr auto kStopGrace = std::chrono::seconds(3);

[[noreturn]] void Fail(const std::string& reason)
{
    qCritical("SimModule: %s", reason.c_str());
    throw std::runtime_error("SimModule: " + reason);
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/kalvor-sim-test-XXXXXX";
    if (!mkdtemp(pattern))
        Fail(std::string("cannot create a temporary directory: ") + std::strerror(errno));
    return pattern;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file)
        Fail("cannot write " + path);
}

// Reads one line from `fd` within the time-out; "" on end of file or time-out.
std::string ReadLine(int fd, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {};
        pollfd waiting {fd, POLLIN, 0};
        if (poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got <= 0)
            return {};
        if (c == '\n')
            return line;
        line += c;
    }
}

// Runs the simulator with its standard output on a pipe; stderr is shared.
pid_t Spawn(const std::vector<std::string>& arguments, int& outputFd)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        Fail(std::string("pipe: ") + std::strerror(errno));
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The simulator ends with the test (the signal survives exec); a
        // test that died before this line gets no simulator at all.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        dup2(pipeFds[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        Fail(std::string("fork: ") + std::strerror(errno));
    }
    outputFd = pipeFds[0];
    return pid;
}

bool WaitForExit(pid_t pid, std::chrono::steady_clock::duration grace)
{
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    if (!WaitForExit(pid, kStopGrace)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// "127.1.0.3,127.1.0.7-127.1.0.9"
std::string JoinedList(const std::vector<QString>& items)
{
    std::string list;
    for (const QString& item : items)
        list += (list.empty() ? "" : ",") + item.toStdString();
    return list;
}

JournalEntry EntryOf(const nlohmann::json& line)
{
    JournalEntry entry;
    entry.op = line.value("op", "");
    entry.oid = line.value("oid", "");
    entry.type = line.value("type", "");
    entry.value = line.value("value", "");
    entry.hex = line.value("hex", "");
    entry.community = line.value("community", "");
    entry.reply = line.value("reply", "");
    entry.address = line.value("address", "");
    entry.index = line.value("index", -1);
    return entry;
}

}  // namespace

SimModule::SimModule(const std::string& stateJson, const QString& address, uint16_t port)
{
    Start({"--port", std::to_string(port), "--address", address.toStdString()}, stateJson, kStartTimeoutMs);
}

SimModule::SimModule(const SimFleetSpec& fleet) : m_fleetSize(fleet.size)
{
    std::vector<std::string> options
        = {"--port", std::to_string(fleet.port), "--fleet", std::to_string(fleet.size), "--fleet-base",
            fleet.base.toStdString()};
    if (!fleet.silent.empty())
        options.insert(options.end(), {"--fleet-silent", JoinedList(fleet.silent)});
    if (!fleet.slow.empty())
        options.insert(options.end(), {"--fleet-slow", JoinedList(fleet.slow) + ":" + std::to_string(fleet.slowMs)});
    Start(options, fleet.stateJson, kStartTimeoutMs + fleet.size * kStartMsPerFleetModule);
}

void SimModule::Start(const std::vector<std::string>& options, const std::string& stateJson, int timeoutMs)
{
    m_dir = MakeTempDir();
    m_journalPath = m_dir + "/journal.jsonl";
    const std::string statePath = m_dir + "/state.json";
    WriteFile(statePath, stateJson);

    std::vector<std::string> arguments = {KALVOR_SIM_PATH, "--state", statePath, "--journal", m_journalPath};
    arguments.insert(arguments.end(), options.begin(), options.end());
    int outputFd = -1;
    const pid_t pid = Spawn(arguments, outputFd);
    const std::string line = ReadLine(outputFd, timeoutMs);
    close(outputFd);  // the simulator writes nothing more to it
    // "kalvor-sim listening on 127.0.0.1:16161" or "... on 127.1.0.1-127.1.0.8:16161"
    const std::string prefix = "kalvor-sim listening on ";
    const size_t colon = line.rfind(':');
    const int listening = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    if (line.rfind(prefix, 0) != 0 || listening <= 0 || listening > 65535) {
        Stop(pid);
        std::filesystem::remove_all(m_dir);
        Fail("kalvor-sim did not start (state " + stateJson + "); its output was \"" + line + "\"");
    }
    const std::string addresses = line.substr(prefix.size(), colon - prefix.size());
    m_address = QString::fromStdString(addresses.substr(0, addresses.find('-')));
    m_pid = pid;
    m_port = static_cast<uint16_t>(listening);
}

SimModule::~SimModule()
{
    if (m_pid > 0)
        Stop(static_cast<pid_t>(m_pid));
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void SimModule::Use() const { CSnmpRequest::SetPortOverride(m_port); }

std::vector<JournalEntry> SimModule::Journal() const
{
    std::vector<JournalEntry> entries;
    std::ifstream file(m_journalPath);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty())
            continue;
        try {
            entries.push_back(EntryOf(nlohmann::json::parse(line)));
        } catch (const nlohmann::json::exception& e) {
            qWarning("SimModule: unreadable journal line \"%s\": %s", line.c_str(), e.what());
        }
    }
    return entries;
}

std::vector<JournalEntry> SimModule::JournalOf(const QString& address) const
{
    std::vector<JournalEntry> matching;
    const std::string wanted = address.toStdString();
    for (JournalEntry& entry : Journal())
        if (entry.address == wanted)
            matching.push_back(std::move(entry));
    return matching;
}

QString SimModule::FleetAddress(int index) const
{
    quint32 address = 0;
    for (const QString& part : m_address.split('.'))
        address = (address << 8) | part.toUInt();
    address += static_cast<quint32>(index);
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

std::vector<JournalEntry> SimModule::Journal(const std::string& oidPrefix) const
{
    std::vector<JournalEntry> matching;
    for (JournalEntry& entry : Journal())
        if (entry.oid.compare(0, oidPrefix.size(), oidPrefix) == 0)
            matching.push_back(std::move(entry));
    return matching;
}

void SimModule::ClearJournal()
{
    // The simulator appends, so its next line lands at the new end.
    if (truncate(m_journalPath.c_str(), 0) != 0 && errno != ENOENT)
        Fail("cannot truncate " + m_journalPath);
}
