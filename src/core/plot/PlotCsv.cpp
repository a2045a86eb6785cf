#include "core/plot/PlotCsv.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <queue>

namespace {

// A name with a comma, quote or line end is quoted, quotes doubled.
std::string Cell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Number(double value)
{
    char text[32];
    // As many digits as make the same double again, no more.
    std::snprintf(text, sizeof text, "%.17g", value);
    for (int digits = 6; digits < 17; ++digits) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
        if (std::strtod(shorter, nullptr) == value)
            return shorter;
    }
    return text;
}

} // namespace

PlotCsv::PlotCsv(std::vector<std::string> names, std::int64_t wallOffsetUs)
    : m_names(std::move(names)), m_wallOffsetUs(wallOffsetUs), m_cells(m_names.size())
{
}

std::string PlotCsv::Header() const
{
    std::string header = "time";
    for (const std::string& name : m_names)
        header += "," + Cell(name);
    return header + "\n";
}

std::string PlotCsv::Row() const
{
    const std::int64_t wallUs = m_timeUs + m_wallOffsetUs;
    const std::time_t seconds = static_cast<std::time_t>(wallUs / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char time[48];
    const std::size_t n = std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(time + n, sizeof time - n, ".%03d", static_cast<int>((wallUs % 1000000) / 1000));
    std::string row = time;
    for (const std::string& cell : m_cells)
        row += "," + cell;
    return row + "\n";
}

std::string PlotCsv::Add(std::size_t channel, std::int64_t timeUs, double value)
{
    std::string done;
    if (m_open && timeUs != m_timeUs)
        done = Flush();
    // A second sample of one channel at the same moment starts a row of its own.
    if (m_open && !m_cells[channel].empty())
        done += Flush();
    m_timeUs = timeUs;
    m_open = true;
    m_cells[channel] = Number(value);
    return done;
}

std::string PlotCsv::Flush()
{
    if (!m_open)
        return {};
    std::string row = Row();
    for (std::string& cell : m_cells)
        cell.clear();
    m_open = false;
    return row;
}

bool PlotCsv::Export(const std::vector<std::string>& names,
                     const std::vector<const PlotHistory*>& histories, std::int64_t fromUs,
                     std::int64_t toUs, std::int64_t wallOffsetUs,
                     const std::function<bool(const std::string&)>& write)
{
    // A second at a time, so that an hour of samples is never held whole: each channel's
    // samples of the second, merged by time through a heap of the next sample of each.
    constexpr std::int64_t kSliceUs = 1000000;
    PlotCsv csv(names, wallOffsetUs);
    if (!write(csv.Header()))
        return false;
    std::vector<std::vector<PlotSample>> samples(histories.size());
    for (std::int64_t slice = fromUs; slice <= toUs; slice += kSliceUs) {
        const std::int64_t last = std::min(toUs, slice + kSliceUs - 1);
        using Next = std::pair<std::int64_t, std::size_t>; // time, channel
        std::priority_queue<Next, std::vector<Next>, std::greater<>> heap;
        for (std::size_t i = 0; i < histories.size(); ++i) {
            samples[i].clear();
            histories[i]->ForEach(slice, last,
                                  [&](const PlotSample& s) { samples[i].push_back(s); });
            if (!samples[i].empty())
                heap.push({samples[i][0].m_timeUs, i});
        }
        std::vector<std::size_t> at(histories.size(), 0);
        std::string rows;
        while (!heap.empty()) {
            const std::size_t channel = heap.top().second;
            heap.pop();
            const PlotSample& s = samples[channel][at[channel]++];
            rows += csv.Add(channel, s.m_timeUs, s.m_value);
            if (at[channel] < samples[channel].size())
                heap.push({samples[channel][at[channel]].m_timeUs, channel});
        }
        if (!rows.empty() && !write(rows))
            return false;
        if (last == toUs)
            break;
    }
    return write(csv.Flush());
}

std::int64_t PlotCsv::WallOffsetNow()
{
    using namespace std::chrono;
    const auto wall = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    const auto steady = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    return wall - steady;
}
