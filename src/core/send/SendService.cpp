#include "core/send/SendService.h"

#include "core/receive/ReceivePipeline.h"
#include "core/send/SendQueues.h"

SendService::SendService(ReceivePipeline& pipeline, SendQueues& queues, Hooks hooks)
    : m_pipeline(pipeline), m_queues(queues), m_hooks(std::move(hooks)),
      m_owner(std::this_thread::get_id())
{
}

bool SendService::Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text,
                       bool showLine)
{
    if (std::this_thread::get_id() != m_owner) {
        bool wake = false;
        {
            std::lock_guard lock(m_mutex);
            wake = m_posted.empty();
            m_posted.push_back({port, std::move(bytes), std::move(text), showLine});
        }
        if (wake && m_hooks.m_wake)
            m_hooks.m_wake();
        return true;
    }
    // What others sent before goes first.
    RunPosted();
    return SendNow(port, bytes, text, showLine);
}

void SendService::RunPosted()
{
    for (;;) {
        Posted next;
        {
            std::lock_guard lock(m_mutex);
            if (m_posted.empty())
                return;
            next = std::move(m_posted.front());
            m_posted.pop_front();
        }
        SendNow(next.m_port, next.m_bytes, next.m_text, next.m_showLine);
    }
}

bool SendService::SendNow(unsigned port, const std::vector<std::uint8_t>& bytes,
                          const std::string& text, bool showLine)
{
    if (!m_queues.IsOpen(port))
        return false;
    if (showLine)
        m_pipeline.AppendMonitorLine(text, port, 0);
    TrafficMessage message =
        m_pipeline.OnSentData(port, bytes.data(), bytes.size(), showLine ? &text : nullptr);
    message.m_text = nullptr; // the worker listeners never see the window's text
    m_pipeline.Traffic().Publish(message);
    const bool taken = m_queues.Write(port, bytes.data(), bytes.size());
    if (m_hooks.m_written)
        m_hooks.m_written();
    return taken;
}
