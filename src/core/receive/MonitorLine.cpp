#include "core/receive/MonitorLine.h"

#include "core/text/CodePage.h"
#include "core/text/HexText.h"

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

std::int64_t SteadyMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
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

std::uint32_t MonitorColourRgb(int colour)
{
    static constexpr std::uint32_t kRgb[kMonitorColourCount] = {
        0x000000, 0xC80000, 0x008000, 0x0000C8, 0xC80000, 0x808080, 0x8000A0,
    };
    return colour >= 0 && colour < kMonitorColourCount ? kRgb[colour] : 0x000000;
}

std::string LocalClockText()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[24];
    const std::size_t n = std::strftime(text, sizeof text, "%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", static_cast<int>(ms));
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

std::string ReceivedMessageText(const std::uint8_t* bytes, std::size_t count, bool asc,
                                bool everyByte)
{
    if (asc && everyByte)
        return EscapedMessageText(bytes, count);
    if (!asc)
        return BytesToHexText(std::string_view(reinterpret_cast<const char*>(bytes), count));
    const void* zero = count ? std::memchr(bytes, 0, count) : nullptr;
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : count;
    return CodePage::System().ToUtf8(
        std::string_view(reinterpret_cast<const char*>(bytes), length));
}

namespace {

void AppendEscapedByte(std::string& out, std::uint8_t b)
{
    switch (b) {
    case 0: out += "\\0"; return;
    case '\t': out += "\\t"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\\': out += "\\\\"; return;
    default: break;
    }
    if (b >= 0x20 && b < 0x7F) {
        out += static_cast<char>(b);
        return;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

} // namespace

std::string EscapedMessageText(const std::uint8_t* bytes, std::size_t count)
{
    CodePage& codePage = CodePage::System();
    std::string out;
    out.reserve(count + count / 2);
    std::size_t i = 0;
    while (i < count) {
        if (bytes[i] >= 0x80) {
            // The shortest sequence from here that the code page reads as one character.
            std::size_t taken = 0;
            for (std::size_t length = 1; length <= 4 && i + length <= count && taken == 0;
                 ++length) {
                std::size_t failures = 0;
                const std::string text = codePage.ToUtf8(
                    std::string_view(reinterpret_cast<const char*>(bytes + i), length), &failures);
                if (failures == 0 && !text.empty()) {
                    out += text;
                    taken = length;
                }
            }
            if (taken != 0) {
                i += taken;
                continue;
            }
        }
        AppendEscapedByte(out, bytes[i]);
        ++i;
    }
    return out;
}

MonitorLineBuilder::MonitorLineBuilder(TickSource tick, TimeSource time, TimeSource clock)
    : m_tick(std::move(tick)), m_time(std::move(time)), m_clock(std::move(clock)),
      m_lastStampTick(m_tick())
{
}

std::string MonitorLineBuilder::Stamp()
{
    const std::uint32_t now = m_tick();
    std::string stamp;
    stamp.reserve(16);
    stamp += '[';
    if (m_bClockMs) {
        stamp += m_clock();
    } else {
        stamp += m_time();
        stamp += MillisecondField(now - m_lastStampTick);
    }
    stamp += "] ";
    m_lastStampTick = now;
    return stamp;
}

void MonitorLineBuilder::Build(std::string_view text, unsigned port, int direction, bool showTime,
                               bool showPort, std::vector<MonitorPiece>& pieces)
{
    if (showTime)
        pieces.push_back({Stamp(), kColourGrey});
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
