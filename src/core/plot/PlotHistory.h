#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct PlotSample
{
    std::int64_t m_timeUs = 0;
    double m_value = 0;
};

// What the samples that fall in one column of the picture come to.
struct PlotColumn
{
    double m_min = 0;
    double m_max = 0;
    double m_first = 0; // the column's earliest sample, to join it to the column before
    double m_last = 0;
    std::uint64_t m_count = 0;
};

// Every sample of one channel for the whole session, small enough to keep an hour of a
// thousand samples a second: the samples are packed in chunks of a few hundred (times as the
// change of their spacing, whole numbers and short decimals as their change, other values as
// float when that is exact, else as double), and each chunk, and each group of 64 chunks or groups above it,
// keeps the minimum and maximum of what it holds. A picture of any span is then made from
// the coarsest summaries that fit in one of its columns, and chunks are unpacked only where
// a column edge cuts them.
class PlotHistory
{
public:
    PlotHistory();
    ~PlotHistory();
    PlotHistory(PlotHistory&&) noexcept;
    PlotHistory& operator=(PlotHistory&&) noexcept;

    // Times never go back: an earlier time is taken as the last one.
    // false for a value that is not a number (nothing kept).
    bool Append(std::int64_t timeUs, double value);
    void Clear();

    std::uint64_t Count() const { return m_count; }
    std::int64_t FirstTime() const;
    std::int64_t LastTime() const { return m_lastTime; }
    // The first time of the chunk still filling: nothing before it can change.
    std::int64_t OpenSince() const;
    // The bytes the history holds, for the memory it costs.
    std::size_t MemoryBytes() const;

    enum class Fit
    {
        Exact, // every sample in the column its time falls in
        // For a picture: the samples of a summary no wider than a column go together to the
        // column of its first sample (at most a column off), so that a long span is drawn
        // from summaries and not from every sample.
        Pixel
    };
    // Columns of equal width over [fromUs, toUs): column i holds the samples whose time is in
    // [fromUs + i * span / columns, fromUs + (i + 1) * span / columns).
    // Columns before firstColumn are left empty (the rest as they would be without it).
    std::vector<PlotColumn> Columns(std::int64_t fromUs, std::int64_t toUs, int columns,
                                    Fit fit = Fit::Exact, int firstColumn = 0) const;
    // Every sample in [fromUs, toUs], oldest first.
    void ForEach(std::int64_t fromUs, std::int64_t toUs,
                 const std::function<void(const PlotSample&)>& visit) const;
    // The last sample at or before timeUs.
    std::optional<PlotSample> At(std::int64_t timeUs) const;

private:
    struct Summary
    {
        std::int64_t m_firstTime = 0;
        std::int64_t m_lastTime = 0;
        double m_min = 0;
        double m_max = 0;
        double m_first = 0;
        double m_last = 0;
        std::uint64_t m_count = 0;
        void Add(const Summary& other);
    };
    struct Chunk;
    class ColumnSweep;

    // Calls visit(const PlotSample&) for each sample of the chunk (defined where it is used).
    template <typename Visit> void Unpack(const Chunk& chunk, Visit&& visit) const;
    // The first chunk whose last sample is at or after timeUs.
    std::size_t FirstChunkEndingAtOrAfter(std::int64_t timeUs) const;
    const Summary& SummaryOf(std::size_t level, std::size_t index) const;
    std::size_t SummaryCount(std::size_t level) const;

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    // The chunks' own summaries, side by side: a long span is drawn from them without
    // touching the chunks.
    std::vector<Summary> m_chunkSummaries;
    // m_levels[k] summarises 64 summaries of the level below it (level 0: the chunks); the
    // last of each level may be still filling.
    std::vector<std::vector<Summary>> m_levels;
    std::uint64_t m_count = 0;
    std::int64_t m_lastTime = 0;
};
