#include "core/modbus/ModbusRtuFramer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// A message may be on its way while Poll looks: its first byte came within the silence, and
// it is handed over only after its bytes and the packing interval. What is left of a frame
// is at most a frame; but a read hands over at most 4096 bytes, and a message that long was
// cut by its size, not by quiet, so the next follows at once however long it is.
constexpr double kLongestRest = 256;
constexpr std::size_t kLongestMessage = 4096;
} // namespace

void ModbusRtuFramer::SetLine(double charMs, std::int64_t packMs, bool sent)
{
    m_charMs = charMs > 0 ? charMs : 1.0;
    m_packMs = std::max<std::int64_t>(0, packMs);
    m_sent = sent;
}

std::int64_t ModbusRtuFramer::SilenceMs() const
{
    return std::max(static_cast<std::int64_t>(std::ceil(3.5 * m_charMs)), m_packMs);
}

std::int64_t ModbusRtuFramer::PollLimit() const
{
    if (m_sent)
        return SilenceMs();
    const double rest =
        m_lastCount >= kLongestMessage ? static_cast<double>(kLongestMessage) : kLongestRest;
    return SilenceMs() + m_packMs + static_cast<std::int64_t>(std::ceil(rest * m_charMs));
}

std::int64_t ModbusRtuFramer::Deadline() const
{
    return m_buffer.empty() ? -1 : m_quietFrom + PollLimit() + 1;
}

void ModbusRtuFramer::Feed(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs,
                           std::vector<ModbusFrame>& out)
{
    if (count == 0)
        return;
    const double spread = static_cast<double>(count - 1) * m_charMs;
    // A received message is handed over a packing interval after its last byte (at once when
    // cut by its size); the silence counts from the hand-over of the one before.
    const std::int64_t packed = count >= kLongestMessage ? 0 : m_packMs;
    const double firstByte =
        m_sent ? static_cast<double>(nowMs) : static_cast<double>(nowMs - packed) - spread;
    if (firstByte - static_cast<double>(m_quietFrom) > static_cast<double>(SilenceMs())) {
        if (!m_buffer.empty())
            Parse(true, out);
        m_clean = true;
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    const double lastByte =
        m_sent ? static_cast<double>(nowMs) + spread : static_cast<double>(nowMs - packed);
    m_pieces.push_back({m_base + m_buffer.size(), count, lastByte});
    m_lastCount = count;
    m_quietFrom =
        m_sent ? nowMs + static_cast<std::int64_t>(std::ceil(static_cast<double>(count) * m_charMs))
               : nowMs;
    Parse(false, out);
}

void ModbusRtuFramer::Poll(std::int64_t nowMs, std::vector<ModbusFrame>& out)
{
    if (nowMs - m_quietFrom <= PollLimit())
        return;
    if (!m_buffer.empty())
        Parse(true, out);
    m_clean = true;
}

bool ModbusRtuFramer::IsBoundary(std::uint64_t position) const
{
    auto it = std::lower_bound(m_pieces.begin(), m_pieces.end(), position,
                               [](const Piece& p, std::uint64_t pos) { return p.m_end < pos; });
    return it != m_pieces.end() && it->m_end == position;
}

double ModbusRtuFramer::TimeOf(std::uint64_t position) const
{
    auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), position,
                               [](std::uint64_t pos, const Piece& p) { return pos < p.m_end; });
    if (it == m_pieces.end())
        return m_pieces.empty() ? 0.0 : m_pieces.back().m_lastByteMs;
    return it->m_lastByteMs - static_cast<double>(it->m_end - 1 - position) * m_charMs;
}

void ModbusRtuFramer::FlushNoise(std::vector<ModbusFrame>& out)
{
    if (m_noise.empty())
        return;
    ModbusFrame noise;
    noise.m_form = ModbusForm::Noise;
    noise.m_bytes = std::move(m_noise);
    noise.m_startMs = std::llround(m_noiseStartMs);
    noise.m_endMs = std::llround(m_noiseEndMs);
    out.push_back(std::move(noise));
    m_noise.clear();
}

void ModbusRtuFramer::Emit(std::size_t s, std::size_t length, ModbusForm form, bool crcOk,
                           std::vector<ModbusFrame>& out)
{
    if (!m_noise.empty()) {
        m_noiseEndMs = TimeOf(m_noiseEnd);
        FlushNoise(out);
    }
    ModbusFrame frame;
    frame.m_form = form;
    frame.m_bytes.assign(m_buffer.begin() + static_cast<std::ptrdiff_t>(s),
                         m_buffer.begin() + static_cast<std::ptrdiff_t>(s + length));
    frame.m_crcOk = crcOk;
    frame.m_startMs = std::llround(TimeOf(m_base + s));
    frame.m_endMs = std::llround(TimeOf(m_base + s + length - 1));
    out.push_back(std::move(frame));
    if (crcOk && form == ModbusForm::Exception)
        m_role = Role::Responses;
    else if (crcOk && ModbusTwoLayouts(m_buffer[s + 1]))
        m_role = form == ModbusForm::Request ? Role::Requests : Role::Responses;
}

void ModbusRtuFramer::Parse(bool closed, std::vector<ModbusFrame>& out)
{
    std::size_t s = 0;
    while (s < m_buffer.size()) {
        ModbusLayout chosen;
        bool crcOk = false;
        const Verdict verdict = TryFrame(s, closed, chosen, crcOk);
        if (verdict == Verdict::Wait)
            break;
        if (verdict == Verdict::Reject) {
            if (m_noise.empty())
                m_noiseStartMs = TimeOf(m_base + s);
            m_noiseEnd = m_base + s;
            m_noise.push_back(m_buffer[s]);
            ++s;
            m_clean = false;
            continue;
        }
        Emit(s, chosen.m_length, chosen.m_form, crcOk, out);
        s += chosen.m_length;
        m_clean = true;
    }
    // Noise is told with the message that showed it to be noise, unless bytes that may still
    // be more of it wait.
    if (!m_noise.empty())
        m_noiseEndMs = TimeOf(m_noiseEnd); // before the pieces it lies in are dropped
    if (s == m_buffer.size())
        FlushNoise(out);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(s));
    m_base += s;
    while (!m_pieces.empty() && m_pieces.front().m_end <= m_base)
        m_pieces.pop_front();
    if (closed)
        m_clean = true;
}

ModbusRtuFramer::Verdict ModbusRtuFramer::TryFrame(std::size_t s, bool closed, ModbusLayout& chosen,
                                                   bool& crcOk) const
{
    const std::uint8_t* f = m_buffer.data() + s;
    const std::size_t available = m_buffer.size() - s;
    if (f[0] > kModbusMaxSlave)
        return Verdict::Reject;
    if (available < 2)
        return closed ? Verdict::Reject : Verdict::Wait;
    ModbusLayout layouts[2];
    const int n = ModbusLayouts(f, available, layouts);
    if (n == 0) {
        crcOk = true;
        return TryOther(s, closed, chosen);
    }
    if (n == 2 && m_role == Role::Responses)
        std::swap(layouts[0], layouts[1]);

    bool pending = false; // a layout tried before may still grow to its length
    for (int i = 0; i < n; ++i) {
        const std::size_t length = layouts[i].m_length;
        if (length == 0 || length > available) {
            pending = pending || !closed;
            continue;
        }
        if (!ModbusPlausible(f, length, layouts[i].m_form))
            continue;
        const bool boundary = IsBoundary(m_base + s + length);
        if ((!m_clean && !boundary) || !ModbusCrcOk(f, length))
            continue;
        if (pending && !boundary)
            return Verdict::Wait;
        chosen = layouts[i];
        crcOk = true;
        return Verdict::Accept;
    }
    if (pending)
        return Verdict::Wait;
    // No layout has a right CRC: after quiet, a layout that ends where a message ended is a
    // damaged frame.
    if (m_clean) {
        for (int i = 0; i < n; ++i) {
            const std::size_t length = layouts[i].m_length;
            if (length != 0 && length <= available && IsBoundary(m_base + s + length)
                && ModbusPlausible(f, length, layouts[i].m_form)) {
                chosen = layouts[i];
                crcOk = false;
                return Verdict::Accept;
            }
        }
    }
    return Verdict::Reject;
}

// A function whose length the frame does not give ends where a message ended with a right
// CRC; only after quiet, and only for codes that exist.
ModbusRtuFramer::Verdict ModbusRtuFramer::TryOther(std::size_t s, bool closed,
                                                   ModbusLayout& chosen) const
{
    const std::uint8_t* f = m_buffer.data() + s;
    if (!m_clean || !ModbusKnownOther(f[1]))
        return Verdict::Reject;
    const std::size_t available = m_buffer.size() - s;
    for (const Piece& piece : m_pieces) {
        if (piece.m_end <= m_base + s + kModbusMinFrame - 1)
            continue;
        const std::size_t length = static_cast<std::size_t>(piece.m_end - m_base - s);
        if (length > kModbusMaxFrame)
            break;
        if (ModbusCrcOk(f, length)) {
            chosen = {ModbusForm::Other, length, 0};
            return Verdict::Accept;
        }
    }
    return !closed && available < kModbusMaxFrame ? Verdict::Wait : Verdict::Reject;
}
