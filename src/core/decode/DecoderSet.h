#pragma once

#include "core/decode/Decoder.h"
#include "core/receive/ReceivePipeline.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SettingsStore;
struct PortSettings;

// The protocol decoders of the program, each registered by name and switched per port (off
// at first); more than one may be on for a port, and each gets every message of it. The set
// is the receive pipeline's decoding step: a record's summary becomes a monitor line under
// its message (red for an alert, grey for noise, else green), and every record goes to each
// listener, in the order the decoders emit them.
class DecoderSet : public DecodeStep
{
public:
    static constexpr unsigned kPorts = 256;

    // The settings a port runs with now (rate, character bits, packing interval); false
    // when the port is not open (the defaults then apply).
    using LineSource = std::function<bool(unsigned port, PortSettings& settings)>;
    using Listener = std::function<void(const DecodedRecord&)>;
    using ListenerId = std::uint64_t;

    // A name registers once; a second decoder of the same name is refused (null).
    Decoder* Add(std::unique_ptr<Decoder> decoder);
    Decoder* Find(std::string_view name) const;

    void SetEnabled(std::string_view name, unsigned port, bool on);
    bool IsEnabled(std::string_view name, unsigned port) const;
    // The stored switches of every registered decoder for every port.
    void LoadSwitches(const SettingsStore& store);
    void SetLineSource(LineSource source) { m_lineSource = std::move(source); }

    // Listeners are added and removed on the thread that decodes, not from inside a listener.
    ListenerId AddListener(Listener listener);
    void RemoveListener(ListenerId id);

    // DecodeStep
    bool IsDecoding(unsigned port) const override;
    void Decode(unsigned port, int direction, int partner, const std::uint8_t* bytes,
                std::size_t count, std::int64_t nowMs, std::vector<DecodedLine>& lines) override;
    void PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines) override;

private:
    struct Entry
    {
        std::unique_ptr<Decoder> m_decoder;
        std::array<bool, kPorts> m_on{};
    };
    // Turns records into monitor lines and hands them to the listeners.
    class Output : public RecordSink
    {
    public:
        Output(const DecoderSet& set, std::vector<DecodedLine>& lines, bool ofMessage)
            : m_set(set), m_lines(lines), m_ofMessage(ofMessage)
        {
        }
        void Emit(const DecodedRecord& record) override;

    private:
        const DecoderSet& m_set;
        std::vector<DecodedLine>& m_lines;
        bool m_ofMessage;
    };

    Entry* EntryOf(std::string_view name);
    const Entry* EntryOf(std::string_view name) const;

    std::vector<Entry> m_entries;             // in the order registered
    std::array<unsigned, kPorts> m_onCount{}; // decoders on, per port
    LineSource m_lineSource;
    std::vector<std::pair<ListenerId, Listener>> m_listeners;
    ListenerId m_nextId = 1;
};

// Whether a decoder is on for a port as stored: section "Settings", value "COM%d" and the
// decoder's name ("COM1Modbus"), 1 on; off when missing.
bool LoadDecoderSwitch(const SettingsStore& store, unsigned port, std::string_view name);
void SaveDecoderSwitch(SettingsStore& store, unsigned port, std::string_view name, bool on);
