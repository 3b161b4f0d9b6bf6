#pragma once
// The batches of one module's sequence in callback form (one after the
// other, each started from the one before's call back), for one address and
// one community. Every batch lives as long as the chain, so that none is
// destroyed from within its own call back; destroying the chain ends a batch
// still running (nothing more is sent, no call back).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "snmp/SnmpRequest.h"

class CRequestChain {
public:
    CRequestChain(std::string host, std::string community)
        : m_host(std::move(host)), m_community(std::move(community))
    {
    }

    // A new batch of `capacity` variables.
    CSnmpRequest& Next(uint32_t capacity)
    {
        m_requests.push_back(std::make_unique<CSnmpRequest>(m_host.c_str(), m_community.c_str(), capacity));
        return *m_requests.back();
    }

    // Stops the batch still running: nothing more is sent, no call back.
    // The batches stay until the chain goes, so this may be called from
    // within a batch's own call back.
    void Cancel()
    {
        for (const auto& request : m_requests)
            request->Cancel();
    }

private:
    std::string m_host;
    std::string m_community;
    std::vector<std::unique_ptr<CSnmpRequest>> m_requests;
};
