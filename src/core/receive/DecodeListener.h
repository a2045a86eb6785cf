#pragma once

#include "core/receive/ReceivePipeline.h"
#include "core/traffic/TrafficListener.h"

#include <functional>
#include <vector>

// Protocol decoding as a window listener of the traffic: every message of a port the step
// decodes, received or sent by the program (not the tap's copies: their bytes were decoded
// where they came in), with its lines written under the message's monitor line, and what
// time brings at every tick.
class DecodeListener : public TrafficListener
{
public:
    // The other port of the forwarding pair, or -1.
    using PartnerSource = std::function<int(unsigned port)>;

    // step and pipeline outlive this.
    DecodeListener(DecodeStep& step, ReceivePipeline& pipeline, PartnerSource partner = {});

    void OnTraffic(const TrafficMessage& message) override;
    void OnTick(std::int64_t nowMs) override;

private:
    DecodeStep& m_step;
    ReceivePipeline& m_pipeline;
    PartnerSource m_partner;
    std::vector<DecodedLine> m_lines; // reused for every message
};
