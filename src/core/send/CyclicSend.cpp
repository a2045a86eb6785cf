#include "core/send/CyclicSend.h"

#include "core/send/AdvanceSendSettings.h"

void CyclicSend::Start()
{
    m_nextLine = m_settings.m_rangeFirst;
    m_bRunning = true;
}

int CyclicSend::NextLine()
{
    if (m_settings.m_rangeMode == 1) {
        const int line = m_nextLine - 1;
        ++m_nextLine;
        // Unsigned, as the stored 16-bit numbers are.
        if (static_cast<unsigned>(m_nextLine) > static_cast<unsigned>(m_settings.m_rangeLast))
            m_nextLine = m_settings.m_rangeFirst;
        return line;
    }
    if (m_settings.m_fixedLineMode == 1)
        return m_settings.m_fixedLine - 1;
    return -1;
}
