#include "core/modbus/ModbusRtuFramer.h"

#include <cmath>
#include <utility>

void ModbusRtuFramer::SetLine(double charMs, std::int64_t packMs, bool sent)
{
    m_line.SetLine(charMs, packMs, sent);
}

void ModbusRtuFramer::Feed(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs,
                           std::vector<ModbusFrame>& out)
{
    if (count == 0)
        return;
    if (m_line.QuietBefore(count, nowMs)) {
        if (!m_line.Bytes().empty())
            Parse(true, out);
        m_clean = true;
    }
    m_line.Append(bytes, count, nowMs);
    Parse(false, out);
}

void ModbusRtuFramer::Poll(std::int64_t nowMs, std::vector<ModbusFrame>& out)
{
    if (!m_line.QuietBy(nowMs))
        return;
    if (!m_line.Bytes().empty())
        Parse(true, out);
    m_clean = true;
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
        m_noiseEndMs = m_line.TimeOf(m_noiseEnd);
        FlushNoise(out);
    }
    ModbusFrame frame;
    frame.m_form = form;
    frame.m_bytes.assign(m_line.Bytes().begin() + static_cast<std::ptrdiff_t>(s),
                         m_line.Bytes().begin() + static_cast<std::ptrdiff_t>(s + length));
    frame.m_crcOk = crcOk;
    frame.m_startMs = std::llround(m_line.TimeOf(m_line.Base() + s));
    frame.m_endMs = std::llround(m_line.TimeOf(m_line.Base() + s + length - 1));
    out.push_back(std::move(frame));
    if (crcOk && form == ModbusForm::Exception)
        m_role = Role::Responses;
    else if (crcOk && ModbusTwoLayouts(m_line.Bytes()[s + 1]))
        m_role = form == ModbusForm::Request ? Role::Requests : Role::Responses;
}

void ModbusRtuFramer::Parse(bool closed, std::vector<ModbusFrame>& out)
{
    std::size_t s = 0;
    while (s < m_line.Bytes().size()) {
        ModbusLayout chosen;
        bool crcOk = false;
        const Verdict verdict = TryFrame(s, closed, chosen, crcOk);
        if (verdict == Verdict::Wait)
            break;
        if (verdict == Verdict::Reject) {
            if (m_noise.empty())
                m_noiseStartMs = m_line.TimeOf(m_line.Base() + s);
            m_noiseEnd = m_line.Base() + s;
            m_noise.push_back(m_line.Bytes()[s]);
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
        m_noiseEndMs = m_line.TimeOf(m_noiseEnd); // before the pieces it lies in are dropped
    if (s == m_line.Bytes().size())
        FlushNoise(out);
    m_line.Consume(s);
    if (closed)
        m_clean = true;
}

ModbusRtuFramer::Verdict ModbusRtuFramer::TryFrame(std::size_t s, bool closed, ModbusLayout& chosen,
                                                   bool& crcOk) const
{
    const std::uint8_t* f = m_line.Bytes().data() + s;
    const std::size_t available = m_line.Bytes().size() - s;
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
        const bool boundary = m_line.IsBoundary(m_line.Base() + s + length);
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
            if (length != 0 && length <= available && m_line.IsBoundary(m_line.Base() + s + length)
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
    const std::uint8_t* f = m_line.Bytes().data() + s;
    if (!m_clean || !ModbusKnownOther(f[1]))
        return Verdict::Reject;
    const std::size_t available = m_line.Bytes().size() - s;
    for (const SilenceFramer::Piece& piece : m_line.Pieces()) {
        if (piece.m_end <= m_line.Base() + s + kModbusMinFrame - 1)
            continue;
        const std::size_t length = static_cast<std::size_t>(piece.m_end - m_line.Base() - s);
        if (length > kModbusMaxFrame)
            break;
        if (ModbusCrcOk(f, length)) {
            chosen = {ModbusForm::Other, length, 0};
            return Verdict::Accept;
        }
    }
    return !closed && available < kModbusMaxFrame ? Verdict::Wait : Verdict::Reject;
}
