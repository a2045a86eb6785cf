#include "core/plot/PlotSource.h"
#include "core/plot/PlotCsv.h"
#include "core/plot/PlotSampler.h"
#include "core/plot/TextValueReader.h"

#include "core/decode/DecoderSet.h"
#include "core/modbus/ModbusDecoder.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Show(const std::optional<double>& v)
{
    return v ? testing::PrintToString(*v) : "none";
}

} // namespace

TEST(TextValueReader, NamedPairsAndNthNumbers)
{
    struct Case
    {
        const char* line;
        const char* name; // null: the n-th number
        int nth;
        const char* expected;
    };
    const Case cases[] = {
        {"t:12.5 h:40", "h", 0, "40"},
        {"t:12.5\th:40", "t", 0, "12.5"},
        {"t:1,h:-2.5e1", "h", 0, "-25"},
        {"temp=+3", "temp", 0, "3"},
        {"th:1 t:2", "t", 0, "2"},   // a name is the whole field, not its end
        {"t:12.5V", "t", 0, "none"}, // what does not parse adds nothing
        {"t: 5", "t", 0, "none"},
        {"h:40", "t", 0, "none"},
        {"t:nan", "t", 0, "none"},
        {"ch2 reads 17.5 and -3", nullptr, 1, "17.5"},
        {"ch2 reads 17.5 and -3", nullptr, 2, "-3"},
        {"ch2 reads 17.5 and -3", nullptr, 3, "none"},
        {"v=.5;w=-.25", nullptr, 2, "-0.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto value =
            c.name ? TextValueReader::Named(c.line, c.name) : TextValueReader::Nth(c.line, c.nth);
        EXPECT_EQ(Show(value), c.expected);
    }
}

// A channel as the command line names it, back to text as it is stored, and what it reads
// from a decoded answer of a request for two registers at 100 (or four coils).
TEST(PlotSource, ChannelsReadTheirRegisterFromDecodedAnswers)
{
    struct Case
    {
        const char* channel;
        const char* stored; // null: refused
        const char* request;
        const char* answer;
        const char* value;
    };
    const char* read = "01 03 00 64 00 02";
    const Case cases[] = {
        {"COM1:modbus:1:40101:uint16", "COM1:modbus:1:40101:uint16=COM1:modbus:1:hr100:uint16",
         read, "01 03 04 FF FE 00 01", "65534"},
        {"t=COM1:modbus:1:hr100:int16", "t=COM1:modbus:1:hr100:int16", read, "01 03 04 FF FE 00 01",
         "-2"},
        {"x=COM1:modbus:1:hr100:int32", "x=COM1:modbus:1:hr100:int32", read, "01 03 04 FF FE 00 01",
         "-131071"},
        {"x=COM1:modbus:1:hr100:uint32:lh", "x=COM1:modbus:1:hr100:uint32:lh", read,
         "01 03 04 FF FE 00 01", "131070"},
        {"f=COM1:modbus:1:hr100:float32", "f=COM1:modbus:1:hr100:float32", read,
         "01 03 04 41 48 00 00", "12.5"},
        {"f=COM1:modbus:1:hr100:float32:lh", "f=COM1:modbus:1:hr100:float32:lh", read,
         "01 03 04 00 00 41 48", "12.5"},
        {"b=COM1:modbus:1:hr101:bit0", "b=COM1:modbus:1:hr101:bit0", read, "01 03 04 FF FE 00 01",
         "1"},
        {"c=COM1:modbus:1:00103:bit0", "c=COM1:modbus:1:co102:bit0", "01 01 00 64 00 04",
         "01 01 01 0B", "0"},
        {"w=COM1:modbus:1:hr101:uint32", "w=COM1:modbus:1:hr101:uint32", read,
         "01 03 04 FF FE 00 01", "none"}, // its second register is not in the answer
        {"s=COM1:modbus:2:hr100:uint16", "s=COM1:modbus:2:hr100:uint16", read,
         "01 03 04 FF FE 00 01", "none"}, // another slave
        {"e=COM1:modbus:1:hr100:uint16", "e=COM1:modbus:1:hr100:uint16", read, "01 83 02", "none"},
        {"i=COM1:modbus:1:ir100:uint16", "i=COM1:modbus:1:ir100:uint16", read,
         "01 03 04 FF FE 00 01", "none"}, // holding registers are not input registers
        {"COM1:modbus:0:40001:uint16", nullptr, "", "", ""},
        {"COM1:modbus:1:50001:uint16", nullptr, "", "", ""},
        {"COM1:modbus:1:hr1:int8", nullptr, "", "", ""},
        {"COM1:modbus:1:hr1:bit16", nullptr, "", "", ""},
        {"COM0:text:t", nullptr, "", "", ""},
        {"COM2:text:#0", nullptr, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        std::string error;
        const auto spec = ParsePlotChannel(c.channel, error);
        ASSERT_EQ(spec.has_value(), c.stored != nullptr);
        if (!spec) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(PlotChannelText(*spec), c.stored);
        std::string again;
        EXPECT_EQ(ParsePlotChannel(PlotChannelText(*spec), again)->m_source, spec->m_source);

        DecoderSet set;
        set.Add(std::make_unique<ModbusDecoder>());
        set.SetEnabled(ModbusDecoder::kName, 0, true);
        std::string value = "none";
        set.AddListener([&](const DecodedRecord& r) {
            if (r.m_direction == 1)
                if (auto v =
                        ReadRegisterValue(dynamic_cast<const ModbusRecord&>(r), spec->m_source))
                    value = testing::PrintToString(*v);
        });
        std::vector<DecodedLine> lines;
        const auto request = ModbusBytes(c.request);
        set.Decode(0, 0, -1, request.data(), request.size(), 0, lines);
        const auto answer = ModbusBytes(c.answer);
        set.Decode(0, 1, -1, answer.data(), answer.size(), 60, lines);
        EXPECT_EQ(value, c.value);
    }
}

// From the port's bytes to the rows of a value file: text lines split across messages, a
// line without the name skipped and counted, the registers of one answer in one row.
TEST(PlotSampler, SamplesOfTextLinesAndAnswersBecomeCsvRows)
{
    std::vector<PlotSource> sources;
    for (const char* text : {"COM2:text:t", "COM2:text:#2", "COM1:modbus:1:hr100:uint16",
                             "COM1:modbus:1:hr101:uint16"}) {
        std::string error;
        sources.push_back(ParsePlotChannel(text, error)->m_source);
    }
    PlotSampler sampler;
    sampler.SetChannels(sources);
    PlotCsv csv({"t", "second", "a", "b"}, 0);
    std::string rows;
    sampler.SetSink([&](std::size_t channel, std::int64_t timeUs, double value) {
        rows += csv.Add(channel, timeUs, value);
    });
    auto receive = [&](unsigned port, std::int64_t us, const std::string& text) {
        sampler.OnReceived(port, us, reinterpret_cast<const std::uint8_t*>(text.data()),
                           text.size());
    };
    receive(1, 1000, "t:2");
    receive(1, 2000, "1.5 h:7\r\nnoise\r\nt:3 h:8\n");
    receive(0, 3000, "t:99\n"); // another port

    DecoderSet set;
    set.Add(std::make_unique<ModbusDecoder>());
    set.SetEnabled(ModbusDecoder::kName, 0, true);
    set.AddListener([&](const DecodedRecord& r) { sampler.OnRecord(r); });
    std::vector<DecodedLine> lines;
    for (const auto& [hex, ms] : {std::pair{"01 03 00 64 00 02", 4},
                                  {"01 03 04 00 0A 00 0B", 5},
                                  {"01 03 00 64 00 02", 6},
                                  {"01 83 02", 7}}) {
        const auto bytes = ModbusBytes(hex);
        set.Decode(0, ms % 2, -1, bytes.data(), bytes.size(), ms, lines);
    }
    rows += csv.Flush();
    // Times are wall clock: the offset of 0 shows them from 1970 in the local zone, so only
    // the columns are compared.
    std::string cells;
    for (std::size_t at = 0; at < rows.size();) {
        const std::size_t end = rows.find('\n', at);
        cells += rows.substr(rows.find(',', at), end - rows.find(',', at)) + "|";
        at = end + 1;
    }
    EXPECT_EQ(cells, ",21.5,7,,|,3,8,,|,,,10,11|");
    EXPECT_EQ(sampler.Skipped(0), 1u); // "noise"
    EXPECT_EQ(sampler.Skipped(1), 1u);
    EXPECT_EQ(sampler.Skipped(2), 1u); // the exception
    EXPECT_EQ(sampler.Skipped(3), 1u);
}
