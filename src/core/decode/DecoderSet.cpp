#include "core/decode/DecoderSet.h"

#include "core/base/SettingsStore.h"
#include "core/serial/PortSettings.h"

#include <algorithm>

namespace {
constexpr const char* kSection = "Settings";
} // namespace

bool LoadDecoderSwitch(const SettingsStore& store, unsigned port, std::string_view name)
{
    return store.ReadInt(kSection, PortEntryName(port) + std::string(name), 0) == 1;
}

void SaveDecoderSwitch(SettingsStore& store, unsigned port, std::string_view name, bool on)
{
    store.WriteInt(kSection, PortEntryName(port) + std::string(name), on ? 1 : 0);
}

Decoder* DecoderSet::Add(std::unique_ptr<Decoder> decoder)
{
    if (!decoder || EntryOf(decoder->Name()))
        return nullptr;
    m_entries.push_back({std::move(decoder), {}});
    return m_entries.back().m_decoder.get();
}

DecoderSet::Entry* DecoderSet::EntryOf(std::string_view name)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [name](const Entry& e) { return e.m_decoder->Name() == name; });
    return it == m_entries.end() ? nullptr : &*it;
}

const DecoderSet::Entry* DecoderSet::EntryOf(std::string_view name) const
{
    return const_cast<DecoderSet*>(this)->EntryOf(name);
}

Decoder* DecoderSet::Find(std::string_view name) const
{
    const Entry* entry = EntryOf(name);
    return entry ? entry->m_decoder.get() : nullptr;
}

void DecoderSet::SetEnabled(std::string_view name, unsigned port, bool on)
{
    Entry* entry = EntryOf(name);
    if (!entry || port >= kPorts || entry->m_on[port] == on)
        return;
    entry->m_on[port] = on;
    if (on) {
        ++m_onCount[port];
    } else {
        --m_onCount[port];
        entry->m_decoder->Forget(port);
    }
}

bool DecoderSet::IsEnabled(std::string_view name, unsigned port) const
{
    const Entry* entry = EntryOf(name);
    return entry && port < kPorts && entry->m_on[port];
}

void DecoderSet::LoadSwitches(const SettingsStore& store)
{
    for (const Entry& entry : m_entries) {
        for (unsigned port = 0; port < kPorts; ++port)
            SetEnabled(entry.m_decoder->Name(), port,
                       LoadDecoderSwitch(store, port, entry.m_decoder->Name()));
    }
}

DecoderSet::ListenerId DecoderSet::AddListener(Listener listener)
{
    m_listeners.emplace_back(m_nextId, std::move(listener));
    return m_nextId++;
}

void DecoderSet::RemoveListener(ListenerId id)
{
    std::erase_if(m_listeners, [id](const auto& l) { return l.first == id; });
}

bool DecoderSet::IsDecoding(unsigned port) const
{
    return port < kPorts && m_onCount[port] > 0;
}

void DecoderSet::Decode(unsigned port, int direction, int partner, const std::uint8_t* bytes,
                        std::size_t count, std::int64_t nowMs, std::vector<DecodedLine>& lines)
{
    if (!IsDecoding(port))
        return;
    // The settings may have changed since the last message (the port was reopened).
    PortSettings settings;
    if (m_lineSource && !m_lineSource(port, settings))
        settings = PortSettings();
    const DecodeMessage message{
        port, direction, partner, bytes, count, nowMs, LineTimingOf(settings)};
    Output out(*this, lines, true);
    for (Entry& entry : m_entries) {
        if (entry.m_on[port])
            entry.m_decoder->Decode(message, out);
    }
}

void DecoderSet::PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines)
{
    Output out(*this, lines, false);
    for (Entry& entry : m_entries)
        entry.m_decoder->Poll(nowMs, out);
}

void DecoderSet::Output::Emit(const DecodedRecord& record)
{
    DecodedLine line;
    line.m_text = record.m_summary;
    line.m_colour = record.m_kind == RecordKind::Noise ? kColourGrey
                    : record.m_alert                   ? kColourSent // red
                                                       : kColourGreen;
    line.m_port = record.m_port;
    line.m_direction = record.m_direction;
    line.m_ofMessage = m_ofMessage && record.m_kind != RecordKind::NoAnswer;
    m_lines.push_back(std::move(line));
    for (const auto& [id, listener] : m_set.m_listeners)
        listener(record);
}
