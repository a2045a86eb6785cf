#include "core/protocols/ProgramDecoders.h"

#include "core/modbus/ModbusDecoder.h"
#include "core/receive/ReceivePipeline.h"

void WireDecoding(DecoderSet& set, ReceivePipeline& pipeline, const SettingsStore& store,
                  DecoderSet::LineSource lines)
{
    set.Add(std::make_unique<ModbusDecoder>());
    set.LoadSwitches(store);
    set.SetLineSource(std::move(lines));
    pipeline.SetDecoding(&set);
}
