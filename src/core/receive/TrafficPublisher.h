#pragma once

#include "core/receive/PortReceiver.h"

#include <functional>

class PortTraffic;

// Stands between the ports' workers and the receiver that takes their messages to the window
// (or the capture's loop): every message goes first to the traffic's worker listeners, on the
// worker, then on to the receiver. A message of a port of the forwarding pair is followed by
// the tap's copy of it, as sent on the partner. Everything else passes through unchanged.
class TrafficPublisher : public PortReceiver
{
public:
    // The partner that takes what a port reads now, or -1; any thread, without waiting
    // (ForwardTap::OpenPartnerOf).
    using PartnerSource = std::function<int(unsigned port)>;

    // traffic and next outlive this.
    TrafficPublisher(PortTraffic& traffic, PortReceiver& next);
    void SetPartnerSource(PartnerSource partner) { m_partner = std::move(partner); }

    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortMessage(unsigned uiPortNo, std::vector<std::uint8_t> bytes, std::int64_t readUs,
                       bool mustNotWait) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;
    void OnModemLines(unsigned uiPortNo, bool available, unsigned lines) override;
    void OnPortConnected(unsigned uiPortNo, std::string where) override;
    void OnPortNotice(unsigned uiPortNo, std::string text) override;

private:
    void Publish(unsigned port, const std::vector<std::uint8_t>& bytes, std::int64_t timeUs);

    PortTraffic& m_traffic;
    PortReceiver& m_next;
    PartnerSource m_partner;
};
