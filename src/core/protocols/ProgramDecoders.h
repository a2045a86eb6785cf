#pragma once

#include "core/decode/DecoderSet.h"

class ReceivePipeline;
class SettingsStore;

// Decoding as both programs (the window and vrl-capture) have it: every decoder the program
// knows registered in set (MODBUS RTU), each switched on for the ports whose stored switch
// says so, the ports' line settings from lines, and the set in the pipeline's decoding slot.
// A new decoder is one line here.
void WireDecoding(DecoderSet& set, ReceivePipeline& pipeline, const SettingsStore& store,
                  DecoderSet::LineSource lines);
