#include "core/send/TriggerSend.h"

TriggerSend::TriggerSend(const AdvanceSendSettings& settings, LineText lineText, Sender send,
                         Delay delay)
    : m_settings(settings), m_lineText(std::move(lineText)), m_send(std::move(send)),
      m_delay(std::move(delay))
{
}

void TriggerSend::SetOn(bool on)
{
    m_bOn = on;
    if (on)
        m_textsStale = true;
    if (!on && m_bPending) {
        m_bPending = false;
        m_delay.m_cancel();
    }
}

int TriggerSend::FindTrigger(const std::string& text) const
{
    if (text.empty())
        return -1;
    if (m_textsStale)
        RefreshTexts();
    for (std::size_t i = 0; i < m_rowTexts.size(); ++i) {
        if (m_settings.m_triggers[i].used && m_rowTexts[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

void TriggerSend::RefreshTexts() const
{
    for (std::size_t i = 0; i < m_rowTexts.size(); ++i) {
        const TriggerEntry& row = m_settings.m_triggers[i];
        m_rowTexts[i] = row.used ? m_lineText(row.receivedLine - 1) : std::string();
    }
    m_textsStale = false;
}

void TriggerSend::OnTraffic(const TrafficMessage& message)
{
    if (m_bOn && message.m_direction == 1 && !message.m_forwarded)
        LookUpTrigger(message.m_port, message.m_text ? *message.m_text : std::string());
}

void TriggerSend::LookUpTrigger(unsigned port, const std::string& text)
{
    if (!m_bOn)
        return;
    const int index = FindTrigger(text);
    if (index < 0)
        return;
    if (m_settings.m_triggerDelay == 0) {
        m_send(port, m_settings.m_triggers[static_cast<std::size_t>(index)].triggerLine - 1);
        return;
    }
    m_pendingIndex = index;
    m_pendingPort = port;
    m_bPending = true;
    m_delay.m_start(m_settings.m_triggerDelay);
}

void TriggerSend::OnDelayElapsed()
{
    if (!m_bPending)
        return;
    m_bPending = false;
    m_send(m_pendingPort,
           m_settings.m_triggers[static_cast<std::size_t>(m_pendingIndex)].triggerLine - 1);
}
