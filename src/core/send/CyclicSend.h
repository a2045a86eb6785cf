#pragma once

struct AdvanceSendSettings;

// Which line of the send editor each tick of cyclic send names: the caret line, a fixed
// line, or the lines of a range one after the other, starting again at the first after the
// last. The settings are read at every tick, so that Apply takes effect at once; Start
// (the command, or Apply during a cycle) puts a range back to its first line.
class CyclicSend
{
public:
    explicit CyclicSend(const AdvanceSendSettings& settings) : m_settings(settings) {}

    void Start();
    void Stop() { m_bRunning = false; }
    bool IsRunning() const { return m_bRunning; }

    // The 0-based line for this tick (-1: the caret line), and the cycle moves on. A range
    // whose first line lies after its last sends its first line every tick.
    int NextLine();
    // 1-based line the next range tick sends.
    int NextRangeLine() const { return m_nextLine; }

private:
    const AdvanceSendSettings& m_settings;
    int m_nextLine = 1;
    bool m_bRunning = false;
};
