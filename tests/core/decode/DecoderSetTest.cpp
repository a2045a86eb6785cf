#include "core/decode/DecoderSet.h"

#include "core/base/SettingsStore.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/protocols/ProgramDecoders.h"
#include "core/settings/FrameOptions.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A second protocol, made for the test: a message that begins with 0xA5 is a frame.
class MarkDecoder : public Decoder
{
public:
    const std::string& Name() const override { return m_name; }
    void Decode(const DecodeMessage& m, RecordSink& out) override
    {
        if (m.m_count == 0 || m.m_bytes[0] != 0xA5)
            return;
        DecodedRecord record;
        record.m_port = m.m_port;
        record.m_decoder = m_name;
        record.m_summary = "mark " + std::to_string(m.m_count);
        out.Emit(record);
    }
    void Poll(std::int64_t, RecordSink&) override {}
    void Forget(unsigned) override {}

private:
    const std::string m_name = "Mark";
};

// The decoded lines of the monitor.
struct DecodedLines : MonitorSink
{
    std::vector<std::string> m_lines;
    void BeginAppend() override {}
    void EndAppend() override {}
    void AppendLine(const std::vector<MonitorPiece>& pieces) override
    {
        if (pieces.size() == 1 && pieces[0].m_text.rfind("  \xE2\xA4\xB7 ", 0) == 0)
            m_lines.push_back(pieces[0].m_text.substr(6, pieces[0].m_text.size() - 7));
    }
    void ShowStoppedPort(unsigned, const std::string&) override {}
};

std::vector<std::uint8_t> Raw(const std::string& hex)
{
    std::vector<unsigned char> raw;
    HexTextToBytes(hex, raw);
    return {raw.begin(), raw.end()};
}

} // namespace

// The program's wiring with a second decoder added beside it: both decode COM1 where their
// switches (an old-style "COM1Modbus" among them) say so, and two listeners get every record
// until one is removed.
TEST(DecoderSet, SecondDecoderBesideModbusReachesTwoListeners)
{
    struct Case
    {
        std::vector<const char*> stored; // switches on in the settings file
        std::vector<std::string> lines;
    };
    const std::string request = "从站 1 读保持寄存器 起始 100 数量 2";
    const Case cases[] = {
        {{"COM1Modbus", "COM1Mark"}, {request, "mark 3"}},
        {{"COM1Mark"}, {"mark 3"}},
        {{"COM1Modbus", "COM2Mark"}, {request}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.size());
        MemorySettingsStore store;
        for (const char* name : c.stored)
            store.WriteInt("Settings", name, 1);
        FrameOptions options;
        DecodedLines monitor;
        ReceivePipeline pipeline(options, monitor, [] { return 0; });
        DecoderSet set;
        const auto decoding = WireDecoding(set, pipeline, store, nullptr);
        set.Add(std::make_unique<MarkDecoder>());
        set.LoadSwitches(store);
        std::vector<std::string> first, second;
        set.AddListener([&](const DecodedRecord& r) { first.push_back(r.m_summary); });
        const auto id =
            set.AddListener([&](const DecodedRecord& r) { second.push_back(r.m_summary); });

        const std::vector<std::uint8_t> messages[] = {ModbusBytes("01 03 00 64 00 02"),
                                                      Raw("A5 01 02")};
        for (const auto& bytes : messages)
            pipeline.OnReceiveData(0, bytes.data(), bytes.size(), 100000);
        EXPECT_EQ(monitor.m_lines, c.lines);
        EXPECT_EQ(first, c.lines);
        EXPECT_EQ(second, c.lines);
        set.RemoveListener(id);
        pipeline.OnReceiveData(0, messages[1].data(), messages[1].size(), 200000);
        EXPECT_EQ(second, c.lines);
    }
    MemorySettingsStore store;
    SaveDecoderSwitch(store, 0, ModbusDecoder::kName, true);
    EXPECT_EQ(store.ReadInt("Settings", "COM1Modbus", 0), 1);
}

// An answer's numbers: a read answer's values at the addresses its request gave, coils as
// bits, an exception by its code; without its request, addresses count from 0.
TEST(DecoderSet, ModbusAnswersCarryTheAddressesOfTheirRequest)
{
    struct Case
    {
        const char* request; // null: the answer comes alone
        const char* answer;
        const char* numbers; // function, start, quantity, exception, values
    };
    const Case cases[] = {
        {"01 03 00 64 00 02", "01 03 04 00 0A FF FF", "3 @100 x2 e0: 100=10 101=65535"},
        {"01 04 01 00 00 01", "01 04 02 80 00", "4 @256 x1 e0: 256=32768"},
        {"01 01 00 13 00 0A", "01 01 02 CD 01",
         "1 @19 x10 e0: 19=1 20=0 21=1 22=1 23=0 24=0 25=1 26=1 27=1 28=0"},
        {"01 03 00 64 00 01", "01 83 02", "3 @- x- e2:"},
        {nullptr, "01 03 02 00 07", "3 @- x1 e0: 0=7"},
        {"01 06 00 0A 01 2C", "01 06 00 0A 01 2C", "6 @10 x1 e0: 10=300"},
        {"01 05 00 AC FF 00", "01 05 00 AC FF 00", "5 @172 x1 e0: 172=1"},
        {"01 05 00 AD 00 00", "01 05 00 AD 00 00", "5 @173 x1 e0: 173=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        DecoderSet set;
        set.Add(std::make_unique<ModbusDecoder>());
        set.SetEnabled(ModbusDecoder::kName, 0, true);
        ModbusRecord last;
        set.AddListener(
            [&](const DecodedRecord& r) { last = dynamic_cast<const ModbusRecord&>(r); });
        std::vector<DecodedLine> lines;
        if (c.request) {
            const std::vector<std::uint8_t> bytes = ModbusBytes(c.request);
            set.Decode(0, 0, -1, bytes.data(), bytes.size(), 0, lines);
        }
        const std::vector<std::uint8_t> bytes = ModbusBytes(c.answer);
        set.Decode(0, 1, -1, bytes.data(), bytes.size(), 60, lines);

        auto field = [](const std::optional<std::uint32_t>& v) {
            return v ? std::to_string(*v) : std::string("-");
        };
        std::string numbers = std::to_string(last.m_function) + " @" + field(last.m_start) + " x"
                              + field(last.m_quantity) + " e" + std::to_string(last.m_exception)
                              + ":";
        for (const ModbusValue& v : last.m_values)
            numbers += " " + std::to_string(v.m_address) + "=" + std::to_string(v.m_value);
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(last.m_paired, c.request != nullptr);
        EXPECT_EQ(last.m_request != nullptr, c.request != nullptr);
    }
}
