#include "core/modbus/ModbusFrameLog.h"

#include "core/base/PortName.h"
#include "core/text/CoreText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <ostream>

namespace {

const char* const kHeaders[ModbusFrameLog::kColumns] = {
    VRL_TR_NOOP("ModbusFrameLog", "时间"),         VRL_TR_NOOP("ModbusFrameLog", "端口"),
    VRL_TR_NOOP("ModbusFrameLog", "方向"),         VRL_TR_NOOP("ModbusFrameLog", "配对"),
    VRL_TR_NOOP("ModbusFrameLog", "从站"),         VRL_TR_NOOP("ModbusFrameLog", "功能"),
    VRL_TR_NOOP("ModbusFrameLog", "起始"),         VRL_TR_NOOP("ModbusFrameLog", "数量"),
    VRL_TR_NOOP("ModbusFrameLog", "数据"),         "CRC",
    VRL_TR_NOOP("ModbusFrameLog", "应答延时(ms)"),
};

// Requests waiting longer than this many requests for an answer are forgotten: the decoder
// has given them up (or never waited: a broadcast, a damaged request) long before.
constexpr std::uint64_t kPendingSpan = 2048;

std::string LocalClockText(std::int64_t wallMs)
{
    const std::time_t seconds = static_cast<std::time_t>(wallMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[24];
    const std::size_t n = std::strftime(text, sizeof text, "%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", static_cast<int>(wallMs % 1000));
    return text;
}

void WriteField(std::ostream& out, const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out << field;
        return;
    }
    out << '"';
    for (char c : field) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

} // namespace

ModbusFrameLog::ModbusFrameLog(std::size_t limit) : m_limit(limit > 0 ? limit : 1) {}

void ModbusFrameLog::Add(const ModbusRecord& record, std::int64_t wallMs)
{
    const void* const request = record.m_request.get();
    if (record.m_kind == RecordKind::NoAnswer) {
        auto it = m_pending.find(request);
        if (it == m_pending.end())
            return;
        if (it->second.m_row >= Dropped()) {
            m_rows[it->second.m_row - Dropped()].m_delay = VRL_TR("ModbusFrameLog", "无应答");
            ++m_changes;
        }
        m_pending.erase(it);
        return;
    }

    ModbusLogRow row;
    row.m_timeMs = wallMs;
    row.m_port = record.m_port;
    row.m_direction = record.m_direction;
    const ModbusDescription& d = record.m_description;
    if (record.m_frame.m_form != ModbusForm::Noise)
        row.m_slave = std::to_string(record.m_frame.Slave());
    row.m_function = d.m_function;
    row.m_start = d.m_start;
    row.m_quantity = d.m_quantity;
    row.m_data = d.m_data;
    row.m_crc = d.m_crc;
    if (record.m_paired)
        row.m_delay = std::to_string(record.m_delayMs);
    if (auto it = record.m_paired ? m_pending.find(request) : m_pending.end();
        it != m_pending.end()) {
        row.m_pair = it->second.m_pair;
        row.m_timeMs = std::max(row.m_timeMs, it->second.m_timeMs);
        m_pending.erase(it);
    }
    if (record.m_frame.m_form == ModbusForm::Request) {
        row.m_pair = ++m_pairs;
        // A record's address is used again once it is freed: the newest request holds it.
        m_pending[&record] = {m_added, row.m_pair, row.m_timeMs};
        if (m_pending.size() > kPendingSpan)
            std::erase_if(m_pending, [this](const auto& p) {
                return p.second.m_pair + kPendingSpan < m_pairs;
            });
    }
    row.m_time = LocalClockText(row.m_timeMs);
    if (m_rows.size() >= m_limit)
        m_rows.pop_front();
    m_rows.push_back(std::move(row));
    ++m_added;
}

void ModbusFrameLog::Clear()
{
    m_rows.clear(); // counted as dropped
}

const char* ModbusFrameLog::Header(int column)
{
    return column >= 0 && column < kColumns ? kHeaders[column] : "";
}

std::string ModbusFrameLog::Cell(const ModbusLogRow& row, int column)
{
    switch (column) {
    case 0: return row.m_time;
    case 1: return PortName(row.m_port);
    case 2:
        return row.m_direction ? VRL_TR("ModbusFrameLog", "收") : VRL_TR("ModbusFrameLog", "发");
    case 3: return row.m_pair ? std::to_string(row.m_pair) : std::string();
    case 4: return row.m_slave;
    case 5: return row.m_function;
    case 6: return row.m_start;
    case 7: return row.m_quantity;
    case 8: return row.m_data;
    case 9: return row.m_crc;
    case kDelayColumn: return row.m_delay;
    default: return {};
    }
}

bool ModbusFrameLog::WriteCsv(std::ostream& out) const
{
    out << "\xEF\xBB\xBF";
    for (int c = 0; c < kColumns; ++c) {
        if (c)
            out << ',';
        WriteField(out, CoreText::Tr("ModbusFrameLog", kHeaders[c]));
    }
    out << "\r\n";
    for (const ModbusLogRow& row : m_rows) {
        for (int c = 0; c < kColumns; ++c) {
            if (c)
                out << ',';
            WriteField(out, Cell(row, c));
        }
        out << "\r\n";
    }
    return static_cast<bool>(out);
}
