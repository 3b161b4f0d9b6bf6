#include "SimServer.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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

    // Blocked except while waiting in pselect, so that a signal can never
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

uint16_t BoundPort(int socket)
{
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

}  // namespace

SimServer::~SimServer()
{
    if (m_session)
        snmp_close(m_session);
}

void SimServer::PrepareProcess()
{
    RouteStopSignals();
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

bool SimServer::Open(const std::string& address, uint16_t port)
{
    const std::string endpoint = "udp:" + address + ":" + std::to_string(port);
    netsnmp_transport* transport = netsnmp_transport_open_server("kalvor-sim", endpoint.c_str());
    if (!transport) {
        std::fprintf(stderr, "kalvor-sim: cannot open %s\n", endpoint.c_str());
        return false;
    }
    m_port = BoundPort(transport->sock);

    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.version = SNMP_VERSION_1;
    settings.callback = &SimServer::OnPdu;
    settings.callback_magic = &m_handler;
    m_session = snmp_add(&settings, transport, nullptr, nullptr);
    if (!m_session) {
        snmp_sess_perror("kalvor-sim", &settings);
        return false;
    }
    return true;
}

void SimServer::Run()
{
    while (!g_stopRequested) {
        int highestFd = 0;
        int block = 1;
        fd_set readable;
        FD_ZERO(&readable);
        timeval timeout {};
        snmp_select_info(&highestFd, &readable, &timeout, &block);
        const timespec wait {timeout.tv_sec, static_cast<long>(timeout.tv_usec) * 1000};
        const int ready = pselect(highestFd, &readable, nullptr, nullptr, block ? nullptr : &wait, &g_servingMask);
        if (ready > 0)
            snmp_read(&readable);
        else if (ready == 0)
            snmp_timeout();
        else if (errno != EINTR)
            break;
    }
}

int SimServer::OnPdu(int operation, snmp_session* session, int, snmp_pdu* pdu, void* magic)
{
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu)
        return 1;
    auto* handler = static_cast<RequestHandler*>(magic);
    netsnmp_pdu* response = handler->Handle(*pdu);
    if (response && snmp_send(session, response) == 0) {
        snmp_sess_perror("kalvor-sim: send", session);
        snmp_free_pdu(response);
    }
    return 1;
}
