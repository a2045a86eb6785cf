#include "core/modbus/ModbusDecoder.h"
#include "core/decode/DecoderSet.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A flow of messages through the decoding of the ports: what goes under each message.
TEST(ModbusDecoder, PairsOnOnePortAndAcrossTheTap)
{
    struct Step
    {
        unsigned port;
        int direction;     // 1 received, 0 sent; -1: only time passes
        int partner;       // the other port of the forwarding pair, or -1
        const char* frame; // without CRC
        std::int64_t atMs;
        std::vector<std::string> lines; // "text" green, "!text" red
    };
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
    };
    // 9600 baud 8N1: a character takes 1.04 ms; a received message comes 20 ms after its
    // last byte. A sent 8-byte request ends 7 ms after it was written.
    const Case cases[] = {
        {"the program is the master",
         {{0, 0, -1, "01 03 00 00 00 04", 0, {"从站 1 读保持寄存器 起始 0 数量 4"}},
          {0,
           1,
           -1,
           "01 03 08 16 2E 00 2A 00 07 00 00",
           60,
           {"从站 1 读保持寄存器 4 个: 162E 002A 0007 0000  应答 21 ms"}}}},
        {"a tap: request on one port, answer on the other",
         {{0, 1, 1, "01 01 00 13 00 0A", 100, {"从站 1 读线圈 起始 19 数量 10"}},
          {1, 1, 0, "01 01 02 CD 01", 150, {"从站 1 读线圈 10 个: 10110011 10  应答 44 ms"}}}},
        {"an echo answers a write; an exception answers too",
         {{2, 0, -1, "01 06 00 01 00 03", 0, {"从站 1 写单个寄存器 地址 1 值 0003"}},
          {2, 1, -1, "01 06 00 01 00 03", 50, {"从站 1 写单个寄存器 地址 1 值 0003  应答 16 ms"}},
          {2, 0, -1, "01 03 00 64 00 01", 100, {"从站 1 读保持寄存器 起始 100 数量 1"}},
          {2, 1, -1, "01 83 02", 140, {"!从站 1 读保持寄存器 异常 02 非法数据地址  应答 9 ms"}}}},
        {"a damaged echo seen on the other port still answers",
         {{0, 1, 1, "01 06 00 02 00 04", 0, {"从站 1 写单个寄存器 地址 2 值 0004"}},
          {1,
           1,
           0,
           "01 06 00 02 00 04!",
           60,
           {"!从站 1 写单个寄存器 地址 2 值 0004  CRC 错误，收到 29 C8，应为 29 C9  应答 53 ms"}}}},
        {"no answer within the timeout; another slave's answer pairs nothing",
         {{3, 0, -1, "05 03 00 00 00 01", 0, {"从站 5 读保持寄存器 起始 0 数量 1"}},
          {3, 1, -1, "06 03 02 00 01", 50, {"从站 6 读保持寄存器 1 个: 0001"}},
          {3,
           -1,
           -1,
           "",
           1100,
           {"!COM4 从站 5 读保持寄存器 起始 0 数量 1  无应答（1000 ms 内未应答）"}}}},
        {"a broadcast waits for no answer",
         {{0, 0, -1, "00 06 00 01 00 03", 0, {"广播 写单个寄存器 地址 1 值 0003"}},
          {0, -1, -1, "", 1100, {}}}},
        {"a request with an answer layout seen on the other port is a request",
         {{0, 1, 1, "01 03 00 00 00 04", 0, {"从站 1 读保持寄存器 起始 0 数量 4"}},
          {1, 1, 0, "01 03 00 00 00 04", 30, {"从站 1 读保持寄存器 起始 0 数量 4"}}}},
        {"a write repeated on the same port of the tap is a new request",
         {{0, 1, 1, "01 06 00 01 00 03", 0, {"从站 1 写单个寄存器 地址 1 值 0003"}},
          {0,
           1,
           1,
           "01 06 00 01 00 03",
           300,
           {"!COM1 从站 1 写单个寄存器 地址 1 值 0003  无应答（未应答即有新请求）",
            "从站 1 写单个寄存器 地址 1 值 0003"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DecoderSet monitor;
        monitor.Add(std::make_unique<ModbusDecoder>());
        for (unsigned port = 0; port < 4; ++port)
            monitor.SetEnabled(ModbusDecoder::kName, port, true);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.atMs);
            std::vector<DecodedLine> lines;
            if (step.direction < 0) {
                monitor.PollDecoding(step.atMs, lines);
            } else {
                const std::vector<std::uint8_t> bytes = ModbusBytes(step.frame);
                monitor.Decode(step.port, step.direction, step.partner, bytes.data(), bytes.size(),
                               step.atMs, lines);
            }
            std::vector<std::string> texts;
            for (const DecodedLine& line : lines)
                texts.push_back((line.m_colour == kColourSent ? "!" : "") + line.m_text);
            EXPECT_EQ(texts, step.lines);
        }
    }
}
