#pragma once

#include "core/decode/DecoderSet.h"
#include "core/receive/DecodeListener.h"

#include <memory>

class ReceivePipeline;
class SettingsStore;

// Decoding as both programs (the window and vrl-capture) have it: every decoder the program
// knows registered in set (MODBUS RTU), each switched on for the ports whose stored switch
// says so, the ports' line settings from lines, and the set listening to the pipeline's
// traffic (its lines under the messages; partner: the other port of the forwarding pair).
// Returns that listener, which the caller keeps as long as the pipeline. A new decoder is
// one line here.
std::unique_ptr<DecodeListener> WireDecoding(DecoderSet& set, ReceivePipeline& pipeline,
                                             const SettingsStore& store,
                                             DecoderSet::LineSource lines,
                                             DecodeListener::PartnerSource partner = {});
