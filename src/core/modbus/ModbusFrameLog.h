#pragma once

#include "core/modbus/ModbusRecord.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>

// One row of the frame table: every column as it is shown and exported (UTF-8).
struct ModbusLogRow
{
    std::string m_time; // local time with milliseconds, "HH:MM:SS.mmm"
    unsigned m_port = 0;
    int m_direction = 1;
    std::string m_slave;
    std::string m_function;
    std::string m_start;
    std::string m_quantity;
    std::string m_data;
    std::string m_crc;
    std::string m_delay; // ms, "无应答", or empty
};

// Every decoded frame, for the frame table: at most a limit of rows, the oldest dropped.
// Rows are counted as they come, so that a view can ask what was added and dropped since it
// last looked.
class ModbusFrameLog
{
public:
    static constexpr std::size_t kDefaultLimit = 100000;
    static constexpr int kColumns = 10;

    explicit ModbusFrameLog(std::size_t limit = kDefaultLimit);

    // A record of the decoding, decoded at local time timeText.
    void Add(const ModbusRecord& record, std::string timeText);
    void Clear();

    std::size_t Size() const { return m_rows.size(); }
    const ModbusLogRow& Row(std::size_t i) const { return m_rows[i]; }
    // Rows added and dropped since construction (the first row has number Dropped()).
    std::uint64_t Added() const { return m_added; }
    std::uint64_t Dropped() const { return m_added - m_rows.size(); }

    static const char* Header(int column);
    static std::string Cell(const ModbusLogRow& row, int column);
    // The rows as CSV (UTF-8 with a byte-order mark, so that spreadsheets read the Chinese
    // text; fields quoted where needed). False when the stream failed.
    bool WriteCsv(std::ostream& out) const;

private:
    std::size_t m_limit;
    std::deque<ModbusLogRow> m_rows;
    std::uint64_t m_added = 0;
};
