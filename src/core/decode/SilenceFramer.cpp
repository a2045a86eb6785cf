#include "core/decode/SilenceFramer.h"

#include <algorithm>
#include <cmath>

namespace {
// A read hands over at most 4096 bytes: a message that long was cut by its size, not by
// quiet, so it comes at once and the next follows at once however long it is.
constexpr std::size_t kLongestMessage = 4096;
} // namespace

SilenceFramer::SilenceFramer(double quietChars, std::size_t longestFrame)
    : m_quietChars(quietChars), m_longestFrame(static_cast<double>(longestFrame))
{
}

void SilenceFramer::SetLine(double charMs, std::int64_t packMs, bool sent)
{
    m_charMs = charMs > 0 ? charMs : 1.0;
    m_packMs = std::max<std::int64_t>(0, packMs);
    m_sent = sent;
}

std::int64_t SilenceFramer::SilenceMs() const
{
    return std::max(static_cast<std::int64_t>(std::ceil(m_quietChars * m_charMs)), m_packMs);
}

// A message may be on its way while Poll looks: its first byte came within the silence, and
// it is handed over only after its bytes and the packing interval. What is left of a frame
// is at most a frame, unless the last message was cut by its size.
std::int64_t SilenceFramer::PollLimit() const
{
    if (m_sent)
        return SilenceMs();
    const double rest =
        m_lastCount >= kLongestMessage ? static_cast<double>(kLongestMessage) : m_longestFrame;
    return SilenceMs() + m_packMs + static_cast<std::int64_t>(std::ceil(rest * m_charMs));
}

// A received message is handed over a packing interval after its last byte (at once when cut
// by its size); a sent one when written.
double SilenceFramer::FirstByteMs(std::size_t count, std::int64_t nowMs) const
{
    const double spread = static_cast<double>(count - 1) * m_charMs;
    const std::int64_t packed = count >= kLongestMessage ? 0 : m_packMs;
    return m_sent ? static_cast<double>(nowMs) : static_cast<double>(nowMs - packed) - spread;
}

double SilenceFramer::LastByteMs(std::size_t count, std::int64_t nowMs) const
{
    const double spread = static_cast<double>(count - 1) * m_charMs;
    const std::int64_t packed = count >= kLongestMessage ? 0 : m_packMs;
    return m_sent ? static_cast<double>(nowMs) + spread : static_cast<double>(nowMs - packed);
}

bool SilenceFramer::QuietBefore(std::size_t count, std::int64_t nowMs) const
{
    // The silence counts from the hand-over of the message before.
    return FirstByteMs(count, nowMs) - static_cast<double>(m_quietFrom)
           > static_cast<double>(SilenceMs());
}

void SilenceFramer::Append(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs)
{
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    m_pieces.push_back({m_base + m_buffer.size(), LastByteMs(count, nowMs)});
    m_lastCount = count;
    m_quietFrom =
        m_sent ? nowMs + static_cast<std::int64_t>(std::ceil(static_cast<double>(count) * m_charMs))
               : nowMs;
}

bool SilenceFramer::QuietBy(std::int64_t nowMs) const
{
    return nowMs - m_quietFrom > PollLimit();
}

void SilenceFramer::Consume(std::size_t count)
{
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(count));
    m_base += count;
    while (!m_pieces.empty() && m_pieces.front().m_end <= m_base)
        m_pieces.pop_front();
}

bool SilenceFramer::IsBoundary(std::uint64_t position) const
{
    auto it = std::lower_bound(m_pieces.begin(), m_pieces.end(), position,
                               [](const Piece& p, std::uint64_t pos) { return p.m_end < pos; });
    return it != m_pieces.end() && it->m_end == position;
}

double SilenceFramer::TimeOf(std::uint64_t position) const
{
    auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), position,
                               [](std::uint64_t pos, const Piece& p) { return pos < p.m_end; });
    if (it == m_pieces.end())
        return m_pieces.empty() ? 0.0 : m_pieces.back().m_lastByteMs;
    return it->m_lastByteMs - static_cast<double>(it->m_end - 1 - position) * m_charMs;
}
