#include "core/plot/ColumnCache.h"

#include <algorithm>

std::int64_t ColumnCache::GridEnd(std::int64_t endUs, std::int64_t columnUs)
{
    const std::int64_t rest = endUs % columnUs;
    if (rest != 0)
        endUs += rest > 0 ? columnUs - rest : -rest;
    return endUs;
}

const std::vector<PlotColumn>& ColumnCache::Columns(const PlotHistory& history, std::int64_t endUs,
                                                    std::int64_t columnUs, int n)
{
    columnUs = std::max<std::int64_t>(columnUs, 1);
    endUs = GridEnd(endUs, columnUs);
    const std::int64_t fromUs = endUs - columnUs * n;
    const std::int64_t shift = (endUs - m_endUs) / columnUs;
    const bool fresh = m_columns.size() != static_cast<std::size_t>(n) || m_history != &history
                       || m_columnUs != columnUs || history.Count() < m_count || endUs < m_endUs
                       || shift >= n;
    m_firstChanged = n;
    if (fresh) {
        m_columns = history.Columns(fromUs, endUs, n, PlotHistory::Fit::Pixel);
        m_firstChanged = 0;
    } else if (history.Count() != m_count || shift > 0) {
        m_columns.erase(m_columns.begin(), m_columns.begin() + shift);
        m_columns.resize(static_cast<std::size_t>(n));
        // From the column where the chunk then filling began (or from the first new column,
        // where it lay beyond the picture), everything is taken again.
        const std::int64_t redo = std::clamp<std::int64_t>(
            std::min((m_openSinceUs - fromUs) / columnUs, n - shift), 0, n - 1);
        const std::vector<PlotColumn> tail =
            history.Columns(fromUs, endUs, n, PlotHistory::Fit::Pixel, static_cast<int>(redo));
        std::copy(tail.begin() + redo, tail.end(), m_columns.begin() + redo);
        m_firstChanged = static_cast<int>(redo);
    }
    m_history = &history;
    m_endUs = endUs;
    m_columnUs = columnUs;
    m_count = history.Count();
    m_openSinceUs = history.OpenSince();
    return m_columns;
}
