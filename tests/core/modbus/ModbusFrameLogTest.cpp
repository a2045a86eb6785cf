#include "core/modbus/ModbusFrameLog.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <sstream>
#include <vector>

namespace {
// The log shows local time; these tests read it in UTC.
class ModbusFrameLogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ"))
            m_oldTz = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_oldTz.empty())
            unsetenv("TZ");
        else
            setenv("TZ", m_oldTz.c_str(), 1);
        tzset();
    }
    std::string m_oldTz;
};

std::string Csv(const ModbusFrameLog& log)
{
    std::ostringstream csv;
    EXPECT_TRUE(log.WriteCsv(csv));
    return csv.str();
}
} // namespace

TEST_F(ModbusFrameLogTest, KeepsTheNewestRowsAndWritesCsv)
{
    ModbusFrameLog log(3);
    for (int i = 0; i < 5; ++i) {
        ModbusRecord r;
        r.m_port = 1;
        r.m_frame.m_form = ModbusForm::Response;
        r.m_frame.m_bytes = {static_cast<std::uint8_t>(i + 1), 3, 0, 0};
        r.m_description.m_function = "读保持寄存器";
        r.m_description.m_data = i == 4 ? "a,\"b\"" : "162E";
        r.m_paired = i >= 3;
        r.m_delayMs = 12;
        log.Add(r, 43200000 + i * 1000 + 250);
    }
    ASSERT_EQ(log.Size(), 3u);
    EXPECT_EQ(log.Dropped(), 2u);
    EXPECT_EQ(log.Row(0).m_slave, "3");
    EXPECT_EQ(Csv(log),
              "\xEF\xBB\xBF时间,端口,方向,配对,从站,功能,起始,数量,数据,CRC,应答延时(ms)\r\n"
              "12:00:02.250,COM2,收,,3,读保持寄存器,,,162E,,\r\n"
              "12:00:03.250,COM2,收,,4,读保持寄存器,,,162E,,12\r\n"
              "12:00:04.250,COM2,收,,5,读保持寄存器,,,\"a,\"\"b\"\"\",,12\r\n");
}

// Records as the decoder hands them on (a request's record is the one its answer holds), and
// the rows they leave.
TEST_F(ModbusFrameLogTest, PairsAnswersNeverBeforeTheirRequestsAndMarksMissingAnswers)
{
    const struct
    {
        const char* frame; // without CRC; "!" spoils it
        ModbusForm form;
        unsigned port;
        int direction;
        std::int64_t ms; // after 12:00:00
        int request;     // the step whose request this answers; -1 none
        bool missing;    // the decoder gave the request up: no answer
    } steps[] = {
        // The program as master on COM1.
        {"01 03 00 00 00 04", ModbusForm::Request, 0, 0, 1000, -1, false},
        {"01 03 08 16 2E 00 2A 00 07 00 00", ModbusForm::Response, 0, 1, 1021, 0, false},
        // A tap: the request on COM1, the answer on COM2, stamped a millisecond earlier.
        {"01 03 00 00 00 04", ModbusForm::Request, 0, 1, 2005, -1, false},
        {"01 03 08 16 2E 00 2A 00 07 00 00", ModbusForm::Response, 1, 1, 2004, 2, false},
        // No answer: the request says so, no row is added.
        {"02 06 00 01 00 03", ModbusForm::Request, 0, 0, 3000, -1, false},
        {"02 06 00 01 00 03", ModbusForm::Request, 0, 0, 4000, 4, true},
        // A damaged answer after a noise row.
        {"05 06", ModbusForm::Noise, 1, 1, 4500, -1, false},
        {"01 03 00 00 00 04", ModbusForm::Request, 0, 0, 5000, -1, false},
        {"01 03 02 00 07!", ModbusForm::Response, 0, 1, 5030, 7, false},
        // An answer whose request was never seen.
        {"01 03 02 00 08", ModbusForm::Response, 0, 1, 6000, -1, false},
    };
    ModbusFrameLog log;
    std::vector<std::shared_ptr<ModbusRecord>> records;
    for (const auto& s : steps) {
        auto r = std::make_shared<ModbusRecord>();
        r->m_port = s.port;
        r->m_direction = s.direction;
        r->m_frame.m_form = s.form;
        r->m_frame.m_bytes = ModbusBytes(s.frame);
        r->m_frame.m_crcOk = ModbusCrcOk(r->m_frame.m_bytes.data(), r->m_frame.m_bytes.size());
        r->m_description = DescribeModbusFrame(r->m_frame);
        if (s.request >= 0) {
            r->m_request = records[static_cast<std::size_t>(s.request)];
            r->m_paired = !s.missing;
            r->m_delayMs = s.missing ? -1 : 9;
            r->m_kind = s.missing ? RecordKind::NoAnswer : RecordKind::Frame;
        }
        log.Add(*r, 43200000 + s.ms);
        records.push_back(std::move(r));
        if (s.request >= 0) // the request's record is freed once answered
            records[static_cast<std::size_t>(s.request)].reset();
    }
    EXPECT_EQ(Csv(log),
              "\xEF\xBB\xBF时间,端口,方向,配对,从站,功能,起始,数量,数据,CRC,应答延时(ms)\r\n"
              "12:00:01.000,COM1,发,1,1,读保持寄存器,0,4,,正确,\r\n"
              "12:00:01.021,COM1,收,1,1,读保持寄存器,,4,162E 002A 0007 0000,正确,9\r\n"
              "12:00:02.005,COM1,收,2,1,读保持寄存器,0,4,,正确,\r\n"
              "12:00:02.005,COM2,收,2,1,读保持寄存器,,4,162E 002A 0007 0000,正确,9\r\n"
              "12:00:03.000,COM1,发,3,2,写单个寄存器,1,,0003,正确,无应答\r\n"
              "12:00:04.500,COM2,收,,,无效数据,,,05 06 82 E2,,\r\n"
              "12:00:05.000,COM1,发,4,1,读保持寄存器,0,4,,正确,\r\n"
              "12:00:05.030,COM1,收,4,1,读保持寄存器,,1,0007,错误，收到 F9 87，应为 F9 86,9\r\n"
              "12:00:06.000,COM1,收,,1,读保持寄存器,,1,0008,正确,\r\n");
    EXPECT_EQ(log.Changes(), 1u);
}
