#include "core/protocols/ProgramDecoders.h"

#include "core/modbus/ModbusDecoder.h"
#include "core/receive/ReceivePipeline.h"

std::unique_ptr<DecodeListener> WireDecoding(DecoderSet& set, ReceivePipeline& pipeline,
                                             const SettingsStore& store,
                                             DecoderSet::LineSource lines,
                                             DecodeListener::PartnerSource partner)
{
    set.Add(std::make_unique<ModbusDecoder>());
    set.LoadSwitches(store);
    set.SetLineSource(std::move(lines));
    auto listener = std::make_unique<DecodeListener>(set, pipeline, std::move(partner));
    pipeline.Traffic().Add(*listener, PortTraffic::Runs::OnWindow, PortTraffic::kRankDecode);
    return listener;
}
