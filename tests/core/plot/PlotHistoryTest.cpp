#include "core/plot/PlotHistory.h"
#include "core/plot/ColumnCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Min and max of every column found by looking at each sample: what the summaries must give
// at every level they are taken from.
std::vector<PlotColumn> ByHand(const std::vector<PlotSample>& samples, std::int64_t from,
                               std::int64_t to, int n)
{
    std::vector<PlotColumn> out(n);
    for (const PlotSample& s : samples) {
        if (s.m_timeUs < from || s.m_timeUs >= to)
            continue;
        PlotColumn& c = out[static_cast<std::size_t>(static_cast<__int128>(s.m_timeUs - from) * n
                                                     / (to - from))];
        if (c.m_count++ == 0)
            c.m_min = c.m_max = c.m_first = s.m_value;
        c.m_min = std::min(c.m_min, s.m_value);
        c.m_max = std::max(c.m_max, s.m_value);
        c.m_last = s.m_value;
    }
    return out;
}

// A picture's columns: the samples all there, each column within what its own column and
// the next hold.
void ExpectPicture(const std::vector<PlotColumn>& pixels, const std::vector<PlotColumn>& expected)
{
    ASSERT_EQ(pixels.size(), expected.size());
    std::uint64_t counted = 0;
    std::uint64_t all = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        counted += pixels[i].m_count;
        all += expected[i].m_count;
        if (pixels[i].m_count == 0)
            continue;
        double low = HUGE_VAL;
        double high = -HUGE_VAL;
        for (std::size_t j = i; j <= std::min(i + 1, pixels.size() - 1); ++j) {
            if (expected[j].m_count) {
                low = std::min(low, expected[j].m_min);
                high = std::max(high, expected[j].m_max);
            }
        }
        ASSERT_GE(pixels[i].m_min, low) << i;
        ASSERT_LE(pixels[i].m_max, high) << i;
    }
    ASSERT_EQ(counted, all);
}

} // namespace

// Samples come back as they went in, and columns of any width (a few samples each, a chunk's
// worth, many groups of chunks) hold the same minimum, maximum, first and last as a look at
// every sample, whatever kind of number the values are and however the times are spaced.
TEST(PlotHistory, ColumnsAtEveryLevelEqualTheSamples)
{
    struct Case
    {
        const char* name;
        int samples;
        double (*value)(int i, std::mt19937& random);
        std::int64_t (*spacing)(int i, std::mt19937& random);
    };
    const Case cases[] = {
        {"registers every ms", 300000, [](int i, std::mt19937&) { return double(i % 1000 - 500); },
         [](int, std::mt19937&) { return std::int64_t{1000}; }},
        {"float32 with jitter", 70000,
         [](int i, std::mt19937&) { return double(float(std::sin(i * 0.01) * 100)); },
         [](int, std::mt19937& r) { return static_cast<std::int64_t>(990 + r() % 21); }},
        {"decimals of a text line", 20000,
         [](int i, std::mt19937&) { return std::round(std::cos(i * 0.003) * 1e5) / 1000; },
         [](int, std::mt19937&) { return std::int64_t{20000}; }},
        {"doubles, bursts and pauses", 40000,
         [](int, std::mt19937& r) { return std::ldexp(double(r()), -7) - 1e7; },
         [](int i, std::mt19937&) { return std::int64_t{i % 100 == 0 ? 5000000 : 0}; }},
        {"whole numbers far apart, times that go back", 5000,
         [](int i, std::mt19937&) { return i % 2 ? 9.0e15 : -9.0e15; },
         [](int i, std::mt19937&) { return std::int64_t{i % 7 == 0 ? -3 : 1} << (i % 50); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(7);
        PlotHistory history;
        std::vector<PlotSample> samples;
        std::int64_t time = 1000000;
        for (int i = 0; i < c.samples; ++i) {
            time += c.spacing(i, random);
            const double value = c.value(i, random);
            ASSERT_TRUE(history.Append(time, value));
            // A time that goes back is taken as the last one.
            const std::int64_t kept =
                samples.empty() ? time : std::max(time, samples.back().m_timeUs);
            samples.push_back({kept, value});
            time = kept;
        }
        std::vector<PlotSample> back;
        history.ForEach(samples.front().m_timeUs, samples.back().m_timeUs,
                        [&](const PlotSample& s) { back.push_back(s); });
        ASSERT_EQ(back.size(), samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            ASSERT_EQ(back[i].m_timeUs, samples[i].m_timeUs) << i;
            ASSERT_EQ(back[i].m_value, samples[i].m_value) << i;
        }

        const std::int64_t first = samples.front().m_timeUs;
        const std::int64_t span = samples.back().m_timeUs + 1 - first;
        for (const auto& [from, to, n] : {std::tuple{first, first + span, 1500},
                                          std::tuple{first + span / 3, first + span / 2, 700},
                                          std::tuple{first - 5, first + span / 500, 900},
                                          std::tuple{first + span / 2, first + span * 2, 37}}) {
            SCOPED_TRACE(testing::Message() << from << ".." << to << " in " << n);
            const std::vector<PlotColumn> expected = ByHand(samples, from, to, n);
            ExpectPicture(history.Columns(from, to, n, PlotHistory::Fit::Pixel), expected);
            const std::vector<PlotColumn> columns = history.Columns(from, to, n);
            ASSERT_EQ(columns.size(), expected.size());
            for (std::size_t i = 0; i < columns.size(); ++i) {
                ASSERT_EQ(columns[i].m_count, expected[i].m_count) << i;
                if (expected[i].m_count == 0)
                    continue;
                ASSERT_EQ(columns[i].m_min, expected[i].m_min) << i;
                ASSERT_EQ(columns[i].m_max, expected[i].m_max) << i;
                ASSERT_EQ(columns[i].m_first, expected[i].m_first) << i;
                ASSERT_EQ(columns[i].m_last, expected[i].m_last) << i;
            }
        }
        // The same samples again while a picture follows them, its columns taken again only
        // where new samples came.
        {
            const std::int64_t columnUs = span / 1200 + 1;
            constexpr int n = 400;
            PlotHistory following;
            ColumnCache cache;
            std::int64_t end = 0;
            for (std::size_t i = 0; i < samples.size(); ++i) {
                following.Append(samples[i].m_timeUs, samples[i].m_value);
                // Pictures both as time moves on and, in between, with new samples only.
                if (i % 1009 == 0)
                    end = samples[i].m_timeUs + 1;
                if (i % 251 != 0 && i + 1 != samples.size())
                    continue;
                if (i + 1 == samples.size())
                    end = samples.back().m_timeUs + 1;
                const std::vector<PlotColumn> kept = cache.Columns(following, end, columnUs, n);
                const std::int64_t grid = (end + columnUs - 1) / columnUs * columnUs;
                const std::vector<PlotColumn> fresh =
                    following.Columns(grid - n * columnUs, grid, n, PlotHistory::Fit::Pixel);
                for (std::size_t x = 0; x < fresh.size(); ++x) {
                    ASSERT_EQ(kept[x].m_count, fresh[x].m_count) << i << " " << x;
                    ASSERT_EQ(kept[x].m_min, fresh[x].m_min) << i << " " << x;
                    ASSERT_EQ(kept[x].m_max, fresh[x].m_max) << i << " " << x;
                    ASSERT_EQ(kept[x].m_first, fresh[x].m_first) << i << " " << x;
                    ASSERT_EQ(kept[x].m_last, fresh[x].m_last) << i << " " << x;
                }
                if (i + 1 == samples.size())
                    ExpectPicture(kept, ByHand(samples, grid - n * columnUs, grid, n));
            }
        }
        const PlotSample middle = samples[samples.size() / 2];
        const auto at = history.At(middle.m_timeUs);
        ASSERT_TRUE(at);
        EXPECT_EQ(at->m_timeUs, middle.m_timeUs);
    }
}
