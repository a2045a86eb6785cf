#pragma once

#include "core/serial/LineDriver.h"

#include <functional>
#include <termios.h>
#include <vector>

// A tty driver of the test's own, for the port's line settings (the data still crosses a
// pseudo-terminal): it keeps what it is given, as a UART's driver does, unless the test
// makes it refuse (an errno for TCSETS2) or rewrite what it takes (drop a flag its hardware
// lacks, round a rate). It starts as another program left the line: start and stop
// characters that are not DC1 and DC3.
class FakeLineDriver : public LineDriver
{
public:
    FakeLineDriver()
    {
        m_line.cflag = B9600 | (B9600 << 16) | CS8 | CREAD | CLOCAL; // input rate set apart
        m_line.ispeed = m_line.ospeed = 9600;
        m_line.cc[VSTART] = 0x01;
        m_line.cc[VSTOP] = 0x02;
    }

    int Get(int, Attributes& attributes) override
    {
        if (m_getError != 0)
            return m_getError;
        attributes = m_line;
        return 0;
    }
    int Set(int, const Attributes& attributes) override
    {
        m_asked.push_back(attributes);
        if (m_setError != 0)
            return m_setError;
        m_line = attributes;
        if (m_rewrite)
            m_rewrite(m_line);
        return 0;
    }
    bool IsPseudoTerminal(int) override { return m_pseudoTerminal; }

    Attributes m_line;                          // what the line is set to
    std::vector<Attributes> m_asked;            // every setting asked, in order
    int m_getError = 0;                         // what TCGETS2 fails with (0: it works)
    int m_setError = 0;                         // what TCSETS2 fails with (0: it works)
    std::function<void(Attributes&)> m_rewrite; // what the driver makes of a setting it takes
    bool m_pseudoTerminal = false;
};
