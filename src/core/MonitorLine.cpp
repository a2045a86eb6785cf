#include "MonitorLine.h"

#include "CodePage.h"
#include "HexText.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

std::uint32_t GetTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

std::int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string LocalTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string MillisecondField(std::uint32_t elapsed)
{
    const unsigned ms = elapsed % 1000;
    if (ms == 0)
        return "    ";
    char text[8];
    std::snprintf(text, sizeof text, " %3u", ms);
    return text;
}

std::string ReceivedMessageText(const std::uint8_t* bytes, std::size_t count, bool asc)
{
    if (!asc)
        return BytesToHexText(std::string_view(reinterpret_cast<const char*>(bytes), count));
    const void* zero = count ? std::memchr(bytes, 0, count) : nullptr;
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : count;
    return CodePage::System().ToUtf8(
        std::string_view(reinterpret_cast<const char*>(bytes), length));
}

MonitorLineBuilder::MonitorLineBuilder(TickSource tick, TimeSource time)
    : m_tick(std::move(tick)), m_time(std::move(time)), m_lastStampTick(m_tick())
{
}

void MonitorLineBuilder::Build(std::string_view text, unsigned port, int direction,
                               bool showTime, bool showPort, std::vector<MonitorPiece>& pieces)
{
    if (showTime) {
        const std::uint32_t now = m_tick();
        std::string stamp;
        stamp.reserve(16);
        stamp += '[';
        stamp += m_time();
        stamp += MillisecondField(now - m_lastStampTick);
        stamp += "] ";
        m_lastStampTick = now;
        pieces.push_back({std::move(stamp), kColourGrey});
    }
    if (showPort) {
        pieces.push_back({"COM", kColourGrey});
        pieces.push_back({std::to_string(port + 1), kColourPortNo});
        pieces.push_back({direction ? "\xE2\x86\x91" : "\xE2\x86\x93", kColourGrey}); // ↑ ↓
    }
    std::string line;
    line.reserve(text.size() + 1);
    line.append(text);
    line += '\n';
    pieces.push_back({std::move(line), direction ? kColourReceived : kColourSent});
}
