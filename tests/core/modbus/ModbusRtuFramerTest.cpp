#include "core/modbus/ModbusRtuFramer.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// R request, A response, E exception, O other function, N noise; the length, "!" for a
// wrong CRC: "R8 A13!".
std::string Summary(const std::vector<ModbusFrame>& frames)
{
    std::string text;
    for (const ModbusFrame& f : frames) {
        if (!text.empty())
            text += ' ';
        text += "RAEON"[static_cast<int>(f.m_form)];
        text += std::to_string(f.m_bytes.size());
        if (f.m_form != ModbusForm::Noise && !f.m_crcOk)
            text += '!';
    }
    return text;
}

// 9600 baud 8N1, packing interval 20 ms: pieces handed over up to 40 ms apart (a silence of
// 20 ms after the hand-over) belong together.
constexpr double kCharMs = 10.0 / 9.6;
// 1200 baud: 3.5 characters (30 ms) are longer than the packing interval and decide.
constexpr double kSlowCharMs = 10.0 / 1.2;

} // namespace

TEST(ModbusRtuFramer, JoinsPiecesSplitsMessagesAndRejectsNoise)
{
    struct Case
    {
        const char* name;
        std::vector<std::string>
            parts; // "f:" a frame (its CRC added, "!" spoils it), "r:" raw bytes
        // end offset, hand-over ms; a piece that ends where the one before did is a Poll then
        std::vector<std::pair<std::size_t, std::int64_t>> pieces;
        const char* expected;
        double charMs = kCharMs;
        std::int64_t packMs = 20;
    };
    const std::string reply = "f:01 03 08 16 2E 00 2A 00 07 00 00";
    std::string longReply = "f:01 03 F0"; // 120 registers: 245 bytes take 255 ms
    for (int i = 0; i < 240; ++i)
        longReply += " 5A";
    const Case cases[] = {
        {"request in one message", {"f:01 03 00 00 00 04"}, {{8, 100}}, "R8"},
        {"reply in pieces 25 ms apart", {reply}, {{3, 100}, {9, 125}, {13, 150}}, "A13"},
        {"reply cut by a silence", {reply}, {{5, 100}, {13, 200}}, "N5 N8"},
        {"two requests in one message",
         {"f:01 03 00 00 00 04", "f:02 04 00 10 00 01"},
         {{16, 100}},
         "R8 R8"},
        {"wrong CRC after quiet", {"f:01 06 00 01 00 03!"}, {{8, 100}}, "R8!"},
        {"wrong CRC reply in pieces", {reply + "!"}, {{6, 100}, {13, 130}}, "A13!"},
        {"noise, silence, frame",
         {"r:FF 12 34 56", "f:01 03 00 00 00 04"},
         {{4, 100}, {12, 300}},
         "N4 R8"},
        {"after noise, a frame that does not end its message is noise",
         {"r:FF", "f:01 03 00 00 00 04", "r:33 44"},
         {{11, 100}},
         "N11"},
        {"noise glued before a frame", {"r:FF 01 33", "f:01 03 00 00 00 04"}, {{11, 100}}, "N3 R8"},
        {"write-multiple answer: the short layout has the right CRC",
         {"f:01 10 00 01 00 02"},
         {{8, 100}},
         "A8"},
        {"write-multiple request in pieces",
         {"f:01 10 00 01 00 02 04 00 0A 01 02"},
         {{7, 100}, {13, 130}},
         "R13"},
        {"exception", {"f:01 83 02"}, {{5, 100}}, "E5"},
        {"function without a layout ends with its message",
         {"f:01 08 00 00 A5 37"},
         {{8, 100}},
         "O8"},
        {"unknown code after quiet is noise", {"f:01 5A 00 00"}, {{6, 100}}, "N6"},
        {"a function without a layout of four bytes", {"f:01 07"}, {{4, 100}}, "O4"},
        // The request waits for its longer answer layout (an answer came before) until quiet;
        // then the function without a layout is found behind it, past the request's pieces.
        {"function without a layout behind a request that waited",
         {"f:01 83 02", "f:01 03 10 00 00 04", "f:01 08 00 00 A5 37"},
         {{5, 100}, {10, 300}, {21, 305}},
         "E5 R8 O8"},
        // The rest's first byte came 10 ms after the first piece; a look before the rest is
        // handed over (its bytes and the packing interval later) must not end the frame.
        {"a look while the rest of a long frame is on its way",
         {longReply},
         {{5, 100}, {5, 370}, {245, 379}},
         "A245"},
        // The second piece's first byte comes 3 characters (25 ms) after the first's last.
        {"1200 baud: 3 characters of silence join",
         {reply},
         {{5, 100}, {13, 203}},
         "A13",
         kSlowCharMs},
        {"1200 baud: 4 characters of silence cut",
         {reply},
         {{5, 100}, {13, 212}},
         "N5 N8",
         kSlowCharMs},
        // A packing interval of 1 ms: 2.6 characters join, 4.5 cut.
        {"1 ms packing: 2.6 characters of silence join",
         {reply},
         {{5, 100}, {13, 111}},
         "A13",
         kCharMs,
         1},
        {"1 ms packing: 4.5 characters of silence cut",
         {reply},
         {{5, 100}, {13, 113}},
         "N5 N8",
         kCharMs,
         1},
        {"no packing: 4.5 characters of silence cut",
         {reply},
         {{5, 100}, {13, 112}},
         "N5 N8",
         kCharMs,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> stream;
        for (const std::string& part : c.parts) {
            std::vector<std::uint8_t> bytes;
            if (part.rfind("f:", 0) == 0) {
                bytes = ModbusBytes(part.substr(2));
            } else {
                std::vector<unsigned char> raw;
                HexTextToBytes(part.substr(2), raw);
                bytes.assign(raw.begin(), raw.end());
            }
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
        ModbusRtuFramer framer;
        framer.SetLine(c.charMs, c.packMs, false);
        std::vector<ModbusFrame> out;
        std::size_t from = 0;
        for (const auto& [end, at] : c.pieces) {
            if (end == from)
                framer.Poll(at, out);
            else
                framer.Feed(stream.data() + from, end - from, at, out);
            from = end;
        }
        ASSERT_EQ(from, stream.size());
        framer.Poll(c.pieces.back().second + 3000, out); // a frame's time at 1200 baud
        EXPECT_EQ(Summary(out), c.expected);
        EXPECT_EQ(framer.Waiting(), 0u);
    }
}

// Random bytes in the pieces a USB adapter delivers yield no frame: the target is at most
// one per megabyte, and these 256 KB are expected to give none.
TEST(ModbusRtuFramer, RandomBytesAreNoise)
{
    std::mt19937 random(26);
    ModbusRtuFramer framer;
    framer.SetLine(10.0 / 115.2, 20, false);
    std::vector<ModbusFrame> out;
    std::int64_t now = 0;
    std::size_t noise = 0;
    for (int stretch = 0; stretch < 128; ++stretch) {
        for (int piece = 0; piece < 64; ++piece) {
            std::vector<std::uint8_t> bytes(1 + random() % 62);
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(random());
            noise += bytes.size();
            now += 25;
            framer.Feed(bytes.data(), bytes.size(), now, out);
        }
        now += 500;
        framer.Poll(now, out);
    }
    std::size_t frames = 0;
    std::size_t told = 0;
    for (const ModbusFrame& f : out) {
        frames += f.m_form != ModbusForm::Noise;
        told += f.m_bytes.size();
    }
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(told, noise);
}

// A busy line never goes quiet: its messages are cut at 4096 bytes, and the next follows at
// once, however long its bytes take at a slow rate.
TEST(ModbusRtuFramer, MessageCutBySizeWaitsForTheNext)
{
    std::vector<std::uint8_t> stream;
    const std::vector<std::uint8_t> request = ModbusBytes("01 03 00 00 00 32");
    std::vector<std::uint8_t> answer = {1, 3, 100};
    answer.resize(103, 0x5A);
    answer = ModbusBytes(BytesToHexText(std::string(answer.begin(), answer.end())));
    while (stream.size() < 4500) {
        stream.insert(stream.end(), request.begin(), request.end());
        stream.insert(stream.end(), answer.begin(), answer.end());
    }
    ModbusRtuFramer framer;
    framer.SetLine(kCharMs, 20, false);
    std::vector<ModbusFrame> out;
    framer.Feed(stream.data(), 4096, 5000, out);
    framer.Poll(5400, out);
    framer.Feed(stream.data() + 4096, stream.size() - 4096, 5000 + 420 + 20, out);
    EXPECT_EQ(Summary(out).find('N'), std::string::npos);
    EXPECT_EQ(out.size(), 2 * stream.size() / (request.size() + answer.size()));
}
