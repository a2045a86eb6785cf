#pragma once

#include "core/modbus/ModbusRecord.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>
#include <unordered_map>

// One row of the frame table: every column as it is shown and exported (UTF-8).
struct ModbusLogRow
{
    std::int64_t m_timeMs = 0; // wall clock, milliseconds since the epoch
    std::string m_time;        // local time with milliseconds, "HH:MM:SS.mmm"
    unsigned m_port = 0;
    int m_direction = 1;
    std::uint64_t m_pair = 0; // the same number on a request and its answer; 0 for none
    std::string m_slave;
    std::string m_function;
    std::string m_start;
    std::string m_quantity;
    std::string m_data;
    std::string m_crc;
    std::string m_delay; // of an answer ms, of a request left unanswered "无应答", else empty
};

// Every decoded frame, for the frame table: at most a limit of rows, the oldest dropped.
// Rows are counted as they come, so that a view can ask what was added and dropped since it
// last looked. Every request gets a pair number that its answer shows too; an answer is never
// stamped before its request (the two may come on two ports, whose times are taken apart);
// a request whose answer never came says so in its own row, which is then changed in place.
class ModbusFrameLog
{
public:
    static constexpr std::size_t kDefaultLimit = 100000;
    static constexpr int kColumns = 11;
    static constexpr int kDelayColumn = 10;

    explicit ModbusFrameLog(std::size_t limit = kDefaultLimit);

    // A record of the decoding, its frame on the line at wallMs (milliseconds since the
    // epoch). A missing answer adds no row: it marks its request's.
    void Add(const ModbusRecord& record, std::int64_t wallMs);
    void Clear();

    std::size_t Size() const { return m_rows.size(); }
    const ModbusLogRow& Row(std::size_t i) const { return m_rows[i]; }
    // Rows added and dropped since construction (the first row has number Dropped()).
    std::uint64_t Added() const { return m_added; }
    std::uint64_t Dropped() const { return m_added - m_rows.size(); }
    // Counts the rows changed in place (a request found unanswered).
    std::uint64_t Changes() const { return m_changes; }

    static const char* Header(int column);
    static std::string Cell(const ModbusLogRow& row, int column);
    // The rows as CSV (UTF-8 with a byte-order mark, so that spreadsheets read the Chinese
    // text; fields quoted where needed). False when the stream failed.
    bool WriteCsv(std::ostream& out) const;

private:
    // A request that may still be answered, by the address of its record (which the answer
    // and the missing answer hold while it waits).
    struct Pending
    {
        std::uint64_t m_row = 0; // its row's number
        std::uint64_t m_pair = 0;
        std::int64_t m_timeMs = 0;
    };

    std::size_t m_limit;
    std::deque<ModbusLogRow> m_rows;
    std::uint64_t m_added = 0;
    std::uint64_t m_changes = 0;
    std::uint64_t m_pairs = 0;
    std::unordered_map<const void*, Pending> m_pending;
};
