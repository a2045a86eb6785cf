#include "core/modbus/ModbusFrameLog.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ModbusFrameLog, KeepsTheNewestRowsAndWritesCsv)
{
    setenv("TZ", "UTC", 1); // the times below are local
    tzset();
    ModbusFrameLog log(3);
    for (int i = 0; i < 5; ++i) {
        ModbusRecord r;
        r.m_port = 1;
        r.m_frame.m_form = ModbusForm::Response;
        r.m_frame.m_bytes = {static_cast<std::uint8_t>(i + 1), 3, 0, 0};
        r.m_description.m_function = "读保持寄存器";
        r.m_description.m_data = i == 4 ? "a,\"b\"" : "162E";
        r.m_paired = i == 4;
        r.m_delayMs = i == 3 ? -1 : 12;
        log.Add(r, 43200250 + i * 1000);
    }
    ASSERT_EQ(log.Size(), 3u);
    EXPECT_EQ(log.Dropped(), 2u);
    EXPECT_EQ(log.Row(0).m_slave, "3");

    std::ostringstream csv;
    ASSERT_TRUE(log.WriteCsv(csv));
    EXPECT_EQ(csv.str(),
              "\xEF\xBB\xBF时间,端口,方向,配对,从站,功能,起始,数量,数据,CRC,应答延时(ms)\r\n"
              "12:00:02.250,COM2,收,,3,读保持寄存器,,,162E,,\r\n"
              "12:00:03.250,COM2,收,,4,读保持寄存器,,,162E,,\r\n"
              "12:00:04.250,COM2,收,,5,读保持寄存器,,,\"a,\"\"b\"\"\",,12\r\n");
}

// Records as the decoder hands them on (an answer holds its request's record); row null: the
// decoder gave the request up. Expected: time, pair, CRC and delay.
TEST(ModbusFrameLog, PairsAnswersNeverBeforeTheirRequestsAndMarksMissingAnswers)
{
    const std::tuple<const char*, unsigned, std::int64_t, int, const char*> steps[] = {
        {"01 03 00 00 00 04", 0, 2005, -1, "2005,1,正确,"}, // a tap: the answer on COM2,
        {"01 03 02 00 07", 1, 2004, 0, "2005,1,正确,9"},    // stamped 1 ms earlier
        {"02 06 00 01 00 03", 0, 3000, -1, "3000,2,正确,无应答"},
        {"02 06 00 01 00 03", 0, 4000, 2, nullptr},
        {"01 03 00 00 00 04", 0, 5000, -1, "5000,3,正确,"},
        {"01 03 02 00 07!", 0, 5030, 4, "5030,3,错误，收到 F9 87，应为 F9 86,9"}};
    ModbusFrameLog log;
    std::vector<std::shared_ptr<ModbusRecord>> records;
    for (const auto& [frame, port, ms, request, row] : steps) {
        auto r = std::make_shared<ModbusRecord>();
        r->m_port = port;
        r->m_frame.m_form = request < 0 ? ModbusForm::Request : ModbusForm::Response;
        r->m_frame.m_bytes = ModbusBytes(frame);
        r->m_frame.m_crcOk = ModbusCrcOk(r->m_frame.m_bytes.data(), r->m_frame.m_bytes.size());
        r->m_description = DescribeModbusFrame(r->m_frame);
        if (request >= 0) {
            r->m_request = records[static_cast<std::size_t>(request)];
            r->m_paired = row != nullptr;
            r->m_delayMs = row ? 9 : -1;
            r->m_kind = row ? RecordKind::Frame : RecordKind::NoAnswer;
        }
        log.Add(*r, ms);
        records.push_back(std::move(r));
    }
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < log.Size(); ++i) {
        const ModbusLogRow& got = log.Row(i);
        rows.push_back(std::to_string(got.m_timeMs) + "," + ModbusFrameLog::Cell(got, 3) + ","
                       + ModbusFrameLog::Cell(got, 9) + "," + ModbusFrameLog::Cell(got, 10));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{std::get<4>(steps[0]), std::get<4>(steps[1]),
                                              std::get<4>(steps[2]), std::get<4>(steps[4]),
                                              std::get<4>(steps[5])}));
}
