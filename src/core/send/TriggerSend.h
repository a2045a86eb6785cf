#pragma once

#include "core/send/AdvanceSendSettings.h"
#include "core/traffic/TrafficListener.h"

#include <array>
#include <functional>
#include <string>

// Trigger-mode send: a received message whose monitor text equals the text of a row's
// received line is answered with the row's trigger line, on the port it came from, at once
// or after the trigger delay. One answer waits at a time: a later match replaces it and
// starts the delay again. It listens to the traffic on the window thread, after the lines
// the monitor shows for a message (PortTraffic::kRankAnswer).
//
// The received lines' texts are read from the editor once and kept: the owner says when
// they may have changed (an edit, a caret move, new settings), and they are read again at
// the next message instead of once per row for every message.
class TriggerSend : public TrafficListener
{
public:
    // The text of a 0-based line of the send editor (UTF-8; a number outside the editor's
    // lines reads the caret line).
    using LineText = std::function<std::string(int line)>;
    // Sends a 0-based line to a port; the result is not looked at.
    using Sender = std::function<void(unsigned port, int line)>;
    // The one-shot delay: start (or start again) with a period in ms, or cancel.
    struct Delay
    {
        std::function<void(int ms)> m_start;
        std::function<void()> m_cancel;
    };

    TriggerSend(const AdvanceSendSettings& settings, LineText lineText, Sender send, Delay delay);

    // Off drops an answer that is still waiting: nothing leaves after the user turned
    // trigger mode off. On reads the texts again.
    void SetOn(bool on);
    // The editor's lines, the caret or the rows may have changed.
    void TextsChanged() { m_textsStale = true; }
    bool IsOn() const { return m_bOn; }

    // The first used row whose received line's text equals text exactly, or -1. An empty
    // text (a message the filter rejected, or one that starts with a zero byte in ASC
    // receive) matches no row, not even an empty line.
    int FindTrigger(const std::string& text) const;

    // A received message's monitor text (empty when the filter rejected it).
    void LookUpTrigger(unsigned port, const std::string& text);
    // Received messages while on, not the tap's copies.
    void OnTraffic(const TrafficMessage& message) override;
    bool WantsText() const override { return m_bOn; }
    // The delay has passed: the waiting answer goes out.
    void OnDelayElapsed();
    bool HasPending() const { return m_bPending; }

private:
    const AdvanceSendSettings& m_settings;
    LineText m_lineText;
    Sender m_send;
    Delay m_delay;
    void RefreshTexts() const;

    bool m_bOn = false;
    mutable bool m_textsStale = true;
    mutable std::array<std::string, AdvanceSendSettings::kTriggerRows> m_rowTexts;
    bool m_bPending = false;
    int m_pendingIndex = 0;
    unsigned m_pendingPort = 0;
};
