#include "core/plot/PlotHistory.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace {

constexpr std::uint32_t kChunkSamples = 256;
constexpr std::size_t kFanout = 64;
constexpr unsigned kFanoutBits = 6;
// A change of spacing this large cannot be packed with the two bits of the value's kind: the
// sample starts a chunk of its own instead.
constexpr std::int64_t kLargestSpacingChange = std::int64_t{1} << 60;

enum Kind : std::uint64_t
{
    kWhole = 0,   // a whole number: its change from the chunk's last whole number
    kFloat = 1,   // 4 bytes
    kDouble = 2,  // 8 bytes
    kDecimal = 3, // digits after the point (a byte), then the number without the point as a
                  // change from the chunk's last such number: "21.34" as 2, 2134
};

constexpr int kMostDecimals = 6;
constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};

// The fewest digits after the point that give value back exactly, as a text of a device
// gives it ("21.3"); none for other values.
std::optional<std::pair<int, std::int64_t>> AsDecimal(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 1e9)
        return std::nullopt;
    for (int digits = 1; digits <= kMostDecimals; ++digits) {
        const double scaled = std::round(value * kPowersOfTen[digits]);
        if (scaled / kPowersOfTen[digits] == value)
            return std::pair{digits, static_cast<std::int64_t>(scaled)};
    }
    return std::nullopt;
}

std::uint64_t ZigZag(std::int64_t v)
{
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t UnZigZag(std::uint64_t v)
{
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

void PutVarint(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint64_t GetVarint(const std::uint8_t*& at)
{
    std::uint64_t v = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t byte = *at++;
        v |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return v;
    }
}

bool IsWhole(double v)
{
    return std::isfinite(v) && v == std::trunc(v) && std::fabs(v) <= 9007199254740992.0;
}

bool IsExactFloat(double v)
{
    if (std::isinf(v))
        return true;
    return std::fabs(v) <= FLT_MAX && static_cast<double>(static_cast<float>(v)) == v;
}

void AddTo(PlotColumn& column, double value)
{
    if (column.m_count == 0) {
        column.m_min = column.m_max = column.m_first = value;
    } else {
        column.m_min = std::min(column.m_min, value);
        column.m_max = std::max(column.m_max, value);
    }
    column.m_last = value;
    ++column.m_count;
}

} // namespace

struct PlotHistory::Chunk
{
    std::int64_t m_firstTime = 0;
    std::uint32_t m_count = 0;
    std::vector<std::uint8_t> m_bytes;
    // Where the packing stands, for the next sample.
    std::int64_t m_lastTime = 0;
    std::int64_t m_lastSpacing = 0;
    std::int64_t m_lastWhole = 0;
    std::int64_t m_lastDecimal = 0;
};

void PlotHistory::Summary::Add(const Summary& other)
{
    if (other.m_count == 0)
        return;
    if (m_count == 0) {
        *this = other;
        return;
    }
    m_lastTime = other.m_lastTime;
    m_min = std::min(m_min, other.m_min);
    m_max = std::max(m_max, other.m_max);
    m_last = other.m_last;
    m_count += other.m_count;
}

PlotHistory::PlotHistory() = default;
PlotHistory::~PlotHistory() = default;
PlotHistory::PlotHistory(PlotHistory&&) noexcept = default;
PlotHistory& PlotHistory::operator=(PlotHistory&&) noexcept = default;

bool PlotHistory::Append(std::int64_t timeUs, double value)
{
    if (std::isnan(value))
        return false;
    if (m_count > 0)
        timeUs = std::max(timeUs, m_lastTime);

    Chunk* chunk = m_chunks.empty() ? nullptr : m_chunks.back().get();
    std::int64_t spacing = chunk ? timeUs - chunk->m_lastTime : 0;
    std::int64_t change = chunk ? spacing - chunk->m_lastSpacing : 0;
    if (!chunk || chunk->m_count == kChunkSamples || change >= kLargestSpacingChange
        || change <= -kLargestSpacingChange) {
        if (chunk)
            chunk->m_bytes.shrink_to_fit();
        m_chunks.push_back(std::make_unique<Chunk>());
        m_chunkSummaries.emplace_back();
        chunk = m_chunks.back().get();
        chunk->m_firstTime = timeUs;
        chunk->m_bytes.reserve(kChunkSamples * 3);
        chunk->m_lastTime = timeUs;
        spacing = change = 0;
    }

    std::uint64_t kind = kDouble;
    std::optional<std::pair<int, std::int64_t>> decimal;
    if (IsWhole(value))
        kind = kWhole;
    else if ((decimal = AsDecimal(value)))
        kind = kDecimal;
    else if (IsExactFloat(value))
        kind = kFloat;
    PutVarint(chunk->m_bytes, ZigZag(change) << 2 | kind);
    if (kind == kWhole) {
        const auto whole = static_cast<std::int64_t>(value);
        PutVarint(chunk->m_bytes, ZigZag(whole - chunk->m_lastWhole));
        chunk->m_lastWhole = whole;
    } else if (kind == kDecimal) {
        chunk->m_bytes.push_back(static_cast<std::uint8_t>(decimal->first));
        PutVarint(chunk->m_bytes, ZigZag(decimal->second - chunk->m_lastDecimal));
        chunk->m_lastDecimal = decimal->second;
    } else if (kind == kFloat) {
        const float f = static_cast<float>(value);
        std::uint8_t raw[sizeof f];
        std::memcpy(raw, &f, sizeof f);
        chunk->m_bytes.insert(chunk->m_bytes.end(), raw, raw + sizeof f);
    } else {
        std::uint8_t raw[sizeof value];
        std::memcpy(raw, &value, sizeof value);
        chunk->m_bytes.insert(chunk->m_bytes.end(), raw, raw + sizeof value);
    }
    chunk->m_lastTime = timeUs;
    chunk->m_lastSpacing = spacing;

    Summary sample;
    sample.m_firstTime = sample.m_lastTime = timeUs;
    sample.m_min = sample.m_max = sample.m_first = sample.m_last = value;
    sample.m_count = 1;
    ++chunk->m_count;
    m_chunkSummaries.back().Add(sample);

    // Each level above the chunks: the group this chunk falls in takes the sample too, and a
    // new level begins once the highest holds two groups.
    const std::size_t chunkIndex = m_chunks.size() - 1;
    for (std::size_t level = 0; level < m_levels.size(); ++level) {
        const std::size_t group = chunkIndex >> (kFanoutBits * (level + 1));
        auto& summaries = m_levels[level];
        if (group == summaries.size())
            summaries.push_back(sample);
        else
            summaries[group].Add(sample);
    }
    if (SummaryCount(m_levels.size()) > 1) {
        const std::size_t below = m_levels.size();
        Summary top;
        for (std::size_t i = 0; i < SummaryCount(below); ++i)
            top.Add(SummaryOf(below, i));
        m_levels.push_back({top});
    }

    m_lastTime = timeUs;
    ++m_count;
    return true;
}

void PlotHistory::Clear()
{
    m_chunks.clear();
    m_chunkSummaries.clear();
    m_levels.clear();
    m_count = 0;
    m_lastTime = 0;
}

std::int64_t PlotHistory::OpenSince() const
{
    return m_chunkSummaries.empty() ? 0 : m_chunkSummaries.back().m_firstTime;
}

std::int64_t PlotHistory::FirstTime() const
{
    return m_chunkSummaries.empty() ? 0 : m_chunkSummaries.front().m_firstTime;
}

std::size_t PlotHistory::MemoryBytes() const
{
    // Each allocation also costs the allocator's own word or two.
    constexpr std::size_t kAllocation = 16;
    std::size_t bytes = sizeof(*this) + m_chunks.capacity() * sizeof(m_chunks[0]);
    for (const auto& chunk : m_chunks)
        bytes += sizeof(Chunk) + chunk->m_bytes.capacity() + 2 * kAllocation;
    bytes += m_chunkSummaries.capacity() * sizeof(Summary) + kAllocation;
    for (const auto& level : m_levels)
        bytes += sizeof(level) + level.capacity() * sizeof(Summary) + kAllocation;
    return bytes;
}

const PlotHistory::Summary& PlotHistory::SummaryOf(std::size_t level, std::size_t index) const
{
    return level == 0 ? m_chunkSummaries[index] : m_levels[level - 1][index];
}

std::size_t PlotHistory::SummaryCount(std::size_t level) const
{
    return level == 0 ? m_chunks.size() : m_levels[level - 1].size();
}

template <typename Visit> void PlotHistory::Unpack(const Chunk& chunk, Visit&& visit) const
{
    const std::uint8_t* at = chunk.m_bytes.data();
    PlotSample sample{chunk.m_firstTime, 0};
    std::int64_t spacing = 0;
    std::int64_t whole = 0;
    std::int64_t decimal = 0;
    for (std::uint32_t i = 0; i < chunk.m_count; ++i) {
        const std::uint64_t head = GetVarint(at);
        spacing += UnZigZag(head >> 2);
        sample.m_timeUs += spacing;
        switch (head & 3) {
        case kWhole:
            whole += UnZigZag(GetVarint(at));
            sample.m_value = static_cast<double>(whole);
            break;
        case kDecimal: {
            const int digits = *at++;
            decimal += UnZigZag(GetVarint(at));
            sample.m_value = static_cast<double>(decimal) / kPowersOfTen[digits];
            break;
        }
        case kFloat: {
            float f;
            std::memcpy(&f, at, sizeof f);
            at += sizeof f;
            sample.m_value = f;
            break;
        }
        default:
            std::memcpy(&sample.m_value, at, sizeof sample.m_value);
            at += sizeof sample.m_value;
            break;
        }
        visit(sample);
    }
}

std::size_t PlotHistory::FirstChunkEndingAtOrAfter(std::int64_t timeUs) const
{
    const auto it =
        std::partition_point(m_chunkSummaries.begin(), m_chunkSummaries.end(),
                             [timeUs](const Summary& s) { return s.m_lastTime < timeUs; });
    return static_cast<std::size_t>(it - m_chunkSummaries.begin());
}

// Walks the summaries from the highest level down, taking a summary whole where all it holds
// falls in one column and going below it where a column edge cuts it.
class PlotHistory::ColumnSweep
{
public:
    ColumnSweep(const PlotHistory& history, std::int64_t fromUs, std::int64_t toUs, int columns,
                Fit fit, int firstColumn)
        : m_history(history), m_from(fromUs), m_to(toUs), m_columns(columns), m_fit(fit),
          m_firstColumn(static_cast<std::size_t>(firstColumn)),
          m_skipUntil(firstColumn > 0 ? ColumnEnd(m_firstColumn - 1) : fromUs), m_out(columns)
    {
    }

    std::vector<PlotColumn> Run()
    {
        const std::size_t top = m_history.m_levels.size();
        for (std::size_t i = 0; i < m_history.SummaryCount(top); ++i)
            Visit(top, i);
        return std::move(m_out);
    }

private:
    std::size_t ColumnOf(std::int64_t timeUs) const
    {
        const auto offset = static_cast<__int128>(timeUs - m_from) * m_columns;
        return static_cast<std::size_t>(offset / (m_to - m_from));
    }

    // The first time past column: m_from + ceil((column + 1) * span / columns).
    std::int64_t ColumnEnd(std::size_t column) const
    {
        const auto scaled = static_cast<__int128>(column + 1) * (m_to - m_from);
        return m_from + static_cast<std::int64_t>((scaled + m_columns - 1) / m_columns);
    }

    void Visit(std::size_t level, std::size_t index)
    {
        const Summary& s = m_history.SummaryOf(level, index);
        if (s.m_count == 0 || s.m_lastTime < m_skipUntil || s.m_firstTime >= m_to)
            return;
        const bool inside = s.m_firstTime >= m_from && s.m_lastTime < m_to;
        const bool narrow =
            m_fit == Fit::Pixel
            && static_cast<__int128>(s.m_lastTime - s.m_firstTime) * m_columns <= m_to - m_from;
        if (inside && (narrow || ColumnOf(s.m_firstTime) == ColumnOf(s.m_lastTime))) {
            if (ColumnOf(s.m_firstTime) < m_firstColumn)
                return;
            PlotColumn& column = m_out[ColumnOf(s.m_firstTime)];
            if (column.m_count == 0) {
                column.m_min = s.m_min;
                column.m_max = s.m_max;
                column.m_first = s.m_first;
            } else {
                column.m_min = std::min(column.m_min, s.m_min);
                column.m_max = std::max(column.m_max, s.m_max);
            }
            column.m_last = s.m_last;
            column.m_count += s.m_count;
            return;
        }
        if (level == 0) {
            // The samples are in time order: the column moves on at each edge passed.
            std::size_t column = s.m_firstTime < m_from ? 0 : ColumnOf(s.m_firstTime);
            std::int64_t end = ColumnEnd(column);
            m_history.Unpack(*m_history.m_chunks[index], [&](const PlotSample& sample) {
                if (sample.m_timeUs < m_skipUntil || sample.m_timeUs >= m_to)
                    return;
                while (sample.m_timeUs >= end)
                    end = ColumnEnd(++column);
                AddTo(m_out[column], sample.m_value);
            });
            return;
        }
        const std::size_t first = index * kFanout;
        const std::size_t end = std::min(first + kFanout, m_history.SummaryCount(level - 1));
        for (std::size_t child = first; child < end; ++child)
            Visit(level - 1, child);
    }

    const PlotHistory& m_history;
    std::int64_t m_from;
    std::int64_t m_to;
    int m_columns;
    Fit m_fit;
    std::size_t m_firstColumn; // the columns before it are left empty
    std::int64_t m_skipUntil;  // where the first column filled begins
    std::vector<PlotColumn> m_out;
};

std::vector<PlotColumn> PlotHistory::Columns(std::int64_t fromUs, std::int64_t toUs, int columns,
                                             Fit fit, int firstColumn) const
{
    if (columns <= 0 || toUs <= fromUs)
        return {};
    return ColumnSweep(*this, fromUs, toUs, columns, fit, std::clamp(firstColumn, 0, columns))
        .Run();
}

void PlotHistory::ForEach(std::int64_t fromUs, std::int64_t toUs,
                          const std::function<void(const PlotSample&)>& visit) const
{
    for (std::size_t i = FirstChunkEndingAtOrAfter(fromUs);
         i < m_chunks.size() && m_chunkSummaries[i].m_firstTime <= toUs; ++i) {
        Unpack(*m_chunks[i], [&](const PlotSample& sample) {
            if (sample.m_timeUs >= fromUs && sample.m_timeUs <= toUs)
                visit(sample);
        });
    }
}

std::optional<PlotSample> PlotHistory::At(std::int64_t timeUs) const
{
    // The last chunk that begins at or before the time holds the answer.
    const auto it =
        std::partition_point(m_chunkSummaries.begin(), m_chunkSummaries.end(),
                             [timeUs](const Summary& s) { return s.m_firstTime <= timeUs; });
    if (it == m_chunkSummaries.begin())
        return std::nullopt;
    std::optional<PlotSample> found;
    Unpack(*m_chunks[static_cast<std::size_t>(it - m_chunkSummaries.begin()) - 1],
           [&](const PlotSample& sample) {
               if (sample.m_timeUs <= timeUs)
                   found = sample;
           });
    return found;
}
