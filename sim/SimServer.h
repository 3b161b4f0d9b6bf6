#pragma once
// The simulator's SNMP side: one Net-SNMP server session per loopback
// address served (a single module, or each module of a fleet), all on one
// event loop, served until SIGTERM or SIGINT.

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DelayedReplies.h"

class RequestHandler;

class SimServer {
public:
    SimServer();
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Initialises the SNMP library without configuration files, MIBs or
    // persistent state, routes SIGTERM and SIGINT to a stop request, and
    // allows enough open files for `endpoints` sockets.
    static void PrepareProcess(size_t endpoints);
    // Serves `handler` on address:port, each answer sent `delayMs` after its
    // request came in. Port 0 lets the system choose. False (with a message
    // on stderr) when the port cannot be opened.
    bool Open(const std::string& address, uint16_t port, RequestHandler& handler, int delayMs = 0);
    // The port of the last address opened.
    uint16_t Port() const { return m_port; }
    // Serves requests until a stop signal arrives.
    void Run();

private:
    struct Endpoint {
        SimServer* server = nullptr;
        RequestHandler* handler = nullptr;
        void* session = nullptr;  // Net-SNMP single session
        int socket = -1;
        int delayMs = 0;
    };

    static int OnPdu(int operation, snmp_session* session, int requestId, struct snmp_pdu* pdu, void* magic);
    void Read(const Endpoint& endpoint);

    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
    DelayedReplies m_replies;
    netsnmp_large_fd_set m_readable;  // holds one socket at a time, for snmp_sess_read2
    int m_epoll = -1;
    uint16_t m_port = 0;
};
