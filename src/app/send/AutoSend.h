#pragma once

#include "app/commands/CommandTable.h"
#include "core/send/AdvanceSendSettings.h"
#include "core/send/CyclicSend.h"
#include "core/send/TriggerSend.h"

#include <QObject>

#include <span>

class CAutoSendDialog;
class CFrameHost;
class QTimer;

// Cyclic and triggered send: the send dialog, the cycle on timer 101, the trigger step of
// the receive pipeline with its delayed answer on timer 102, and the commands that show the
// dialog and switch both on and off. Every line goes out through the host's SendLine, so
// ASC mode, framing, the monitor echo and the jump to the next line apply as for F2. While
// either runs, the status bar says so.
class CAutoSend : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    // Loads the stored settings, creates the dialog hidden and plugs the trigger step into
    // the host's pipeline.
    explicit CAutoSend(CFrameHost& host);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // At exit: both stop and the settings go to the store.
    void SaveAtExit();

    // Timer 101: the next line of the cycle to the current port. A failed send ends the
    // cycle with the message; a closed port makes the tick a silent no-op.
    void OnCycleTick();

    CAutoSendDialog* Dialog() const { return m_pDlg; }
    const AdvanceSendSettings& Settings() const { return m_settings; }
    bool IsCycling() const { return m_cycle.IsRunning(); }
    bool IsTriggerMode() const { return m_trigger.IsOn(); }
    QTimer* CycleTimer() const { return m_pTimer101; }
    QTimer* TriggerTimer() const { return m_pTimer102; }

private:
    void StartCycle();
    void StopCycle();
    void OnApplied();
    void ShowDialog();
    void UpdateStatus();

    CFrameHost& m_host;
    AdvanceSendSettings m_settings;
    CyclicSend m_cycle;
    TriggerSend m_trigger;
    QTimer* m_pTimer101;
    QTimer* m_pTimer102;
    CAutoSendDialog* m_pDlg;
    bool m_bPlaced = false;
};
