#pragma once

#include "core/plot/PlotHistory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Samples as CSV: a row per moment, its time, then one column per channel, empty where the
// channel has no sample at that moment (the registers of one answer share a row). Times are
// steady microseconds; a row shows the wall clock, the steady clock moved by wallOffsetUs.
class PlotCsv
{
public:
    PlotCsv(std::vector<std::string> names, std::int64_t wallOffsetUs);

    std::string Header() const;
    // Samples come in time order. What a sample at a new moment completes, else nothing.
    std::string Add(std::size_t channel, std::int64_t timeUs, double value);
    // The row under way.
    std::string Flush();

    // Every sample of the histories in [fromUs, toUs], merged by time, with the header,
    // handed to write a second of samples at a time; write returns false to stop there
    // (Export then returns false). The histories may grow between two calls of write.
    static bool Export(const std::vector<std::string>& names,
                       const std::vector<const PlotHistory*>& histories, std::int64_t fromUs,
                       std::int64_t toUs, std::int64_t wallOffsetUs,
                       const std::function<bool(const std::string&)>& write);

    // Steady microseconds to the wall clock's, now.
    static std::int64_t WallOffsetNow();

private:
    std::string Row() const;

    std::vector<std::string> m_names;
    std::int64_t m_wallOffsetUs;
    std::int64_t m_timeUs = 0;
    std::vector<std::string> m_cells;
    bool m_open = false;
};
