#include "SimServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "RequestHandler.h"

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;
sigset_t g_servingMask;  // the mask during the wait: stop signals let through

void OnStopSignal(int) { g_stopRequested = 1; }

void RouteStopSignals()
{
    struct sigaction action { };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // Blocked except while waiting in epoll_pwait, so that a signal can never
    // slip in between the check of the flag and the wait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &g_servingMask);
    sigdelset(&g_servingMask, SIGTERM);
    sigdelset(&g_servingMask, SIGINT);
}

// The library keeps a few index directories in its persistent directory even
// when it saves nothing; they go to a private temporary directory, removed
// when the simulator ends, and never to the system's.
std::string g_persistentDir;

void RemovePersistentDir()
{
    std::error_code ignored;
    if (!g_persistentDir.empty())
        std::filesystem::remove_all(g_persistentDir, ignored);
}

void UsePrivatePersistentDir()
{
    char pattern[] = "/tmp/kalvor-sim-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    g_persistentDir = pattern;
    // Present beforehand, so that the library does not announce creating it.
    std::error_code ignored;
    std::filesystem::create_directory(g_persistentDir + "/cert_indexes", ignored);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, pattern);
    std::atexit(RemovePersistentDir);
}

// Besides the sockets: standard streams, the journal, the library's own.
constexpr size_t kSpareFiles = 64;

// Raises the soft limit on open files towards the hard limit when a large
// fleet needs more than the soft one allows.
void AllowOpenFiles(size_t needed)
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= needed)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? needed : std::min<rlim_t>(needed, limit.rlim_max);
    setrlimit(RLIMIT_NOFILE, &limit);
}

uint16_t BoundPort(int socket)
{
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

}  // namespace

SimServer::SimServer()
{
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    netsnmp_large_fd_set_init(&m_readable, FD_SETSIZE);
    NETSNMP_LARGE_FD_ZERO(&m_readable);
}

SimServer::~SimServer()
{
    for (const auto& endpoint : m_endpoints)
        snmp_sess_close(endpoint->session);
    netsnmp_large_fd_set_cleanup(&m_readable);
    if (m_epoll >= 0)
        close(m_epoll);
}

void SimServer::PrepareProcess(size_t endpoints)
{
    RouteStopSignals();
    AllowOpenFiles(endpoints + kSpareFiles);
    // No MIB files: the simulator deals in numeric OIDs only.
    setenv("MIBS", "", 1);
    setenv("MIBDIRS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    UsePrivatePersistentDir();
    init_snmp("kalvor-sim");
}

bool SimServer::Open(const std::string& address, uint16_t port, RequestHandler& handler, int delayMs)
{
    const std::string endpointText = "udp:" + address + ":" + std::to_string(port);
    netsnmp_transport* transport = netsnmp_transport_open_server("kalvor-sim", endpointText.c_str());
    if (!transport) {
        std::fprintf(stderr, "kalvor-sim: cannot open %s\n", endpointText.c_str());
        return false;
    }
    auto endpoint = std::make_unique<Endpoint>(Endpoint {this, &handler, nullptr, transport->sock, delayMs});
    m_port = BoundPort(transport->sock);

    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.version = SNMP_VERSION_1;
    settings.callback = &SimServer::OnPdu;
    settings.callback_magic = endpoint.get();
    endpoint->session = snmp_sess_add(&settings, transport, nullptr, nullptr);
    if (!endpoint->session) {
        snmp_sess_perror("kalvor-sim", &settings);
        return false;
    }
    epoll_event watch {};
    watch.events = EPOLLIN;
    watch.data.ptr = endpoint.get();
    if (epoll_ctl(m_epoll, EPOLL_CTL_ADD, endpoint->socket, &watch) != 0) {
        std::fprintf(stderr, "kalvor-sim: cannot watch %s: %s\n", endpointText.c_str(), std::strerror(errno));
        snmp_sess_close(endpoint->session);
        return false;
    }
    m_endpoints.push_back(std::move(endpoint));
    return true;
}

void SimServer::Run()
{
    constexpr int kEventsPerWait = 64;
    epoll_event events[kEventsPerWait];
    while (!g_stopRequested) {
        const int ready = epoll_pwait(m_epoll, events, kEventsPerWait, m_replies.MsToNext(), &g_servingMask);
        if (ready < 0 && errno != EINTR)
            break;
        for (int i = 0; i < ready; ++i)
            Read(*static_cast<const Endpoint*>(events[i].data.ptr));
        m_replies.SendDue();
    }
}

void SimServer::Read(const Endpoint& endpoint)
{
    NETSNMP_LARGE_FD_SET(endpoint.socket, &m_readable);
    snmp_sess_read2(endpoint.session, &m_readable);
    NETSNMP_LARGE_FD_CLR(endpoint.socket, &m_readable);
}

int SimServer::OnPdu(int operation, snmp_session*, int, snmp_pdu* pdu, void* magic)
{
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu)
        return 1;
    const auto* endpoint = static_cast<const Endpoint*>(magic);
    if (netsnmp_pdu* response = endpoint->handler->Handle(*pdu))
        endpoint->server->m_replies.Add(endpoint->delayMs, endpoint->session, response);
    return 1;
}
