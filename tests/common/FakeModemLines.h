#pragma once

#include "core/serial/ModemLines.h"

#include <atomic>
#include <cstdint>

// The lines of a device that has them: the outputs as the port set them, the inputs as the
// test sets them. The state outlives the fake, which the port owns while open.
struct FakeLineState
{
    bool available = true;
    std::atomic<unsigned> lines{0};
    std::atomic<int> gets{0};
    std::atomic<std::uint32_t> breaks{0}; // BREAKs the driver counted on the input
    std::atomic<bool> breakOn{false};     // a BREAK is being sent
    std::atomic<int> breaksSent{0};
};

class FakeModemLines : public ModemLines
{
public:
    explicit FakeModemLines(FakeLineState& state) : m_state(state) {}
    bool Get(unsigned& lines) override
    {
        ++m_state.gets;
        lines = m_state.lines;
        return m_state.available;
    }
    bool Set(unsigned mask, bool on) override
    {
        if (!m_state.available)
            return false;
        mask &= kOutputs;
        if (on)
            m_state.lines |= mask;
        else
            m_state.lines &= ~mask;
        return true;
    }

    bool GetBreakCount(std::uint32_t& count) override
    {
        count = m_state.breaks;
        return m_state.available;
    }
    bool SetBreak(bool on) override
    {
        m_state.breaksSent += on && !m_state.breakOn ? 1 : 0;
        m_state.breakOn = on;
        return m_state.available;
    }

private:
    FakeLineState& m_state;
};
