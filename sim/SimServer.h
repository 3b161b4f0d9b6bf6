#pragma once
// The simulator's SNMP side: one Net-SNMP server session on a loopback UDP
// port, served until SIGTERM or SIGINT.

#include <cstdint>
#include <string>

class RequestHandler;
struct snmp_session;

class SimServer {
public:
    explicit SimServer(RequestHandler& handler) : m_handler(handler) { }
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Initialises the SNMP library without configuration files, MIBs or
    // persistent state, and routes SIGTERM and SIGINT to a stop request.
    static void PrepareProcess();
    // Port 0 lets the system choose. False (with a message on stderr) when
    // the port cannot be opened.
    bool Open(const std::string& address, uint16_t port);
    uint16_t Port() const { return m_port; }
    // Serves requests until a stop signal arrives.
    void Run();

private:
    static int OnPdu(int operation, snmp_session* session, int requestId, struct snmp_pdu* pdu, void* magic);

    RequestHandler& m_handler;
    snmp_session* m_session = nullptr;
    uint16_t m_port = 0;
};
