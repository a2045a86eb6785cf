#pragma once

#include "core/plot/PlotHistory.h"

#include <cstdint>
#include <vector>

// The columns of a picture that follows the newest sample (PlotHistory::Fit::Pixel), taken
// again only where something can have changed: the grid of columns is fixed on the clock
// (columnUs apart, ending at a multiple of columnUs), so when time moves on, the columns
// already taken move left whole, and only those from where the history's chunk then filling
// began are taken again. Samples never come before the last one (the history takes a late
// one at the last time), and a filled chunk never changes, so nothing left of that column
// can have changed: the columns are those a picture taken afresh has.
class ColumnCache
{
public:
    // n columns of columnUs each, the last ending at endUs (rounded up to the grid).
    const std::vector<PlotColumn>& Columns(const PlotHistory& history, std::int64_t endUs,
                                           std::int64_t columnUs, int n);
    void Reset() { m_columns.clear(); }
    // The first column the last call took again (0: all of them; n: none).
    int FirstChanged() const { return m_firstChanged; }
    // endUs rounded up to the grid of columnUs.
    static std::int64_t GridEnd(std::int64_t endUs, std::int64_t columnUs);

private:
    std::vector<PlotColumn> m_columns;
    const PlotHistory* m_history = nullptr;
    std::int64_t m_endUs = 0;
    std::int64_t m_columnUs = 0;
    std::uint64_t m_count = 0;      // the history's samples when last taken
    std::int64_t m_openSinceUs = 0; // and where its chunk still filling began
    int m_firstChanged = 0;
};
