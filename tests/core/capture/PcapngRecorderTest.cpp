#include "core/capture/PcapngRecorder.h"

#include "core/serial/ModemLines.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string Output(const std::string& command)
{
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::vector<std::vector<std::string>> Rows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t bar; (bar = line.find('|', from)) != std::string::npos; from = bar + 1)
            fields.push_back(line.substr(from, bar - from));
        fields.push_back(line.substr(from));
        rows.push_back(fields);
    }
    return rows;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char two[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

// One file with every kind of event, read back by Wireshark's own reader: interfaces named
// by port and device, the serial header's event and lines, the direction, the time, the
// payload, and the notes on a MODBUS exchange.
TEST(PcapngRecorderTest, WiresharkReadsEveryEventKind)
{
    ASSERT_EQ(std::system("command -v tshark >/dev/null"), 0) << "tshark (scripts/deps)";
    const std::string path = ::testing::TempDir() + "/every-event.pcapng";
    const std::int64_t t0 = 5'000'000'000; // steady µs
    const double charUs = 11.0 / 9600 * 1e6;
    const auto request = ModbusBytes("01 03 00 00 00 02");
    const auto answer = ModbusBytes("01 03 04 00 01 00 02");
    const auto spoilt = ModbusBytes("01 03 04 00 01 00 03!");
    const std::vector<std::uint8_t> text = {'o', 'k', '\r', '\n'};
    using E = PcapngWriter::Event;

    struct Row
    {
        bool m_message;
        unsigned m_port;
        int m_direction;
        bool m_forwarded;
        std::int64_t m_timeUs;
        E m_event;
        unsigned m_lines;
        std::vector<std::uint8_t> m_bytes;
        // Expected, as tshark's fields: interface|direction|event|CTS|DTR|comment.
        std::string m_expected;
    };
    const std::int64_t answerAt = t0 + static_cast<std::int64_t>(8 * charUs) + 14'200;
    const unsigned ctsDtr = ModemLines::kCts | ModemLines::kDtr;
    const std::string in = "|0x00000001|";
    const std::string out = "|0x00000002|";
    const std::vector<Row> rows = {
        {false, 0, 1, false, t0 - 500, E::LinesChanged, ctsDtr, {}, "COM1||0x00|1|1|"},
        {true, 0, 0, false, t0, E::Sent, 0, request, "COM1" + out + "0x01|1|1|"},
        {true, 0, 1, false, answerAt, E::Received, 0, answer,
         "COM1" + in + "0x02|1|1|应答第 2 包，14.2 ms"},
        {true, 0, 0, false, t0 + 100'000, E::Sent, 0, request, "COM1" + out + "0x01|1|1|"},
        {true, 0, 1, false, t0 + 130'000, E::Received, 0, spoilt,
         "COM1" + in + "0x02|1|1|应答第 4 包，20.8 ms; CRC 错误（应为 EB F2）"},
        {false, 2, 1, false, t0 + 200'000, E::Break, 0, {}, "COM3" + in + "0x09|0|0|"},
        {false, 2, 1, false, t0 + 200'100, E::FramingError, 0, {}, "COM3" + in + "0x07|0|0|"},
        {false, 2, 1, false, t0 + 200'200, E::ParityError, 0, {}, "COM3" + in + "0x08|0|0|"},
        {true, 2, 1, false, t0 + 300'000, E::Received, 0, text, "COM3" + in + "0x02|0|0|"},
        {true, 3, 0, true, t0 + 300'000, E::Sent, 0, text, "COM4" + out + "0x01|0|0|"},
    };

    PcapngRecorder recorder;
    recorder.SetInterface(0, "COM1", "/dev/ttyUSB0");
    recorder.SetModbus(0, charUs);
    recorder.Start(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), true);
    for (const Row& row : rows) {
        if (!row.m_message) {
            recorder.NoteEvent(row.m_port, row.m_event, row.m_timeUs, row.m_lines);
            continue;
        }
        TrafficMessage m{row.m_port,         row.m_direction,    row.m_timeUs,
                         row.m_bytes.data(), row.m_bytes.size(), row.m_forwarded};
        recorder.OnTraffic(m);
    }
    ASSERT_TRUE(recorder.Stop()) << recorder.Error();

    const std::string fields = " -T fields -E separator='|' -e frame.interface_name"
                               " -e frame.interface_description -e frame.time_epoch"
                               " -e frame.packet_flags_direction -e rtacser.eventtype"
                               " -e rtacser.cts -e rtacser.dtr -e frame.comment -e data.data";
    const auto read = Rows(Output("tshark -r " + path + fields + " 2>/dev/null"));
    ASSERT_EQ(read.size(), rows.size()) << Output("tshark -r " + path + " 2>&1");
    EXPECT_EQ(Output("tshark -r " + path + " -Y _ws.malformed 2>/dev/null"), "");
    std::size_t at = 0;
    for (const Row& row : rows) {
        const auto& f = read.at(at++);
        SCOPED_TRACE("packet " + std::to_string(at));
        ASSERT_EQ(f.size(), 9u);
        EXPECT_EQ(f[1], row.m_port == 0 ? "/dev/ttyUSB0" : "");
        const std::int64_t wall = recorder.WallUs(row.m_timeUs);
        char time[40];
        std::snprintf(time, sizeof time, "%lld.%06lld000", static_cast<long long>(wall / 1000000),
                      static_cast<long long>(wall % 1000000));
        EXPECT_EQ(f[2], time);
        EXPECT_EQ(f[0] + "|" + f[3] + "|" + f[4] + "|" + f[5] + "|" + f[6] + "|" + f[7],
                  row.m_expected);
        EXPECT_EQ(f[8], Hex(row.m_bytes));
    }
    // Decoded as MODBUS RTU the way the README says, the CRC verdicts are VRL's.
    EXPECT_EQ(Output("tshark -r " + path
                     + " -d rtacser.data,mbrtu -o mbrtu.crc_verification:TRUE"
                       " -Y mbrtu -T fields -e frame.number -e mbrtu.crc16.status 2>/dev/null"),
              "2\t1\n3\t1\n4\t1\n5\t0\n");
}

} // namespace
