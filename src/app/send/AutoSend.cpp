#include "app/send/AutoSend.h"

#include "app/host/FrameHost.h"
#include "app/send/AutoSendDialog.h"
#include "core/base/CommandIds.h"
#include "core/receive/ReceivePipeline.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

const CommandInfo kAutoSendCommands[] = {
    {ID_SEND_SETTINGS, QT_TRANSLATE_NOOP("Command", "循环或触发发送设置(&A)..."), "F6",
     QT_TRANSLATE_NOOP("Command", "显示或隐藏高级发送窗"),
     QT_TRANSLATE_NOOP("Command", "循环或触发发送设置"), nullptr, false},
    {ID_CYCLIC_SEND, QT_TRANSLATE_NOOP("Command", "循环发送(&C)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "按设定的周期，循环发送发报窗中的指定行或范围内的各行"),
     QT_TRANSLATE_NOOP("Command", "循环发送"), ":/icons/cyclic_send.png", true},
    {ID_TRIGGER_SEND, QT_TRANSLATE_NOOP("Command", "触发模式发送(&T)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "收到与触发表中收到行相同的报文时，自动回送对应的触发行"),
     QT_TRANSLATE_NOOP("Command", "触发模式发送"), ":/icons/trigger_send.png", true},
};

const QString kCycleNote = QStringLiteral("autosend-cycle");
const QString kTriggerNote = QStringLiteral("autosend-trigger");

} // namespace

CAutoSend::CAutoSend(CFrameHost& host)
    : QObject(host.Window()), m_host(host), m_settings(AdvanceSendSettings::Load(host.Store())),
      m_cycle(m_settings),
      m_trigger(
          m_settings, [this](int line) { return m_host.GetLineText(line).toStdString(); },
          [this](unsigned port, int line) { m_host.SendLine(static_cast<int>(port), line); },
          TriggerSend::Delay{[this](int ms) { m_pTimer102->start(ms); },
                             [this] { m_pTimer102->stop(); }}),
      m_pTimer101(new QTimer(this)), m_pTimer102(new QTimer(this)),
      m_pDlg(new CAutoSendDialog(m_settings, host.Window()))
{
    // A poll keeps its period to the millisecond: a coarse timer may fire 5 % late.
    m_pTimer101->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer101, &QTimer::timeout, this, &CAutoSend::OnCycleTick);
    m_pTimer102->setTimerType(Qt::PreciseTimer);
    m_pTimer102->setSingleShot(true);
    connect(m_pTimer102, &QTimer::timeout, this, [this] { m_trigger.OnDelayElapsed(); });

    m_pDlg->hide();
    connect(m_pDlg, &CAutoSendDialog::applied, this, &CAutoSend::OnApplied);
    connect(m_pDlg, &CAutoSendDialog::message, this,
            [this](const QString& text) { m_host.ShowMessage(text); });
    host.Pipeline().Traffic().Add(m_trigger, PortTraffic::Runs::OnWindow, PortTraffic::kRankAnswer);
    // A received line may be the caret line, so a caret move counts as a change too.
    QPlainTextEdit* editor = host.SendEditor();
    connect(editor, &QPlainTextEdit::textChanged, this, [this] { m_trigger.TextsChanged(); });
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { m_trigger.TextsChanged(); });
}

std::span<const CommandInfo> CAutoSend::Commands()
{
    return kAutoSendCommands;
}

void CAutoSend::OnCommand(int id)
{
    switch (id) {
    case ID_SEND_SETTINGS: ShowDialog(); return;
    case ID_CYCLIC_SEND:
        if (m_cycle.IsRunning())
            StopCycle();
        else
            StartCycle();
        return;
    case ID_TRIGGER_SEND:
        m_trigger.SetOn(!m_trigger.IsOn());
        UpdateStatus();
        return;
    default: return;
    }
}

void CAutoSend::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_CYCLIC_SEND)
        state.m_checked = m_cycle.IsRunning();
    else if (id == ID_TRIGGER_SEND)
        state.m_checked = m_trigger.IsOn();
}

void CAutoSend::ShowDialog()
{
    // First shown centred over the main window; afterwards where the user left it.
    if (!m_bPlaced) {
        const QRect main = m_host.Window()->frameGeometry();
        m_pDlg->move(main.center() - QPoint(m_pDlg->width() / 2, m_pDlg->height() / 2));
        m_bPlaced = true;
    }
    m_pDlg->showNormal();
    m_pDlg->raise();
    m_pDlg->activateWindow();
}

void CAutoSend::StartCycle()
{
    m_cycle.Start();
    m_pTimer101->start(m_settings.m_cyclePeriod);
    UpdateStatus();
}

void CAutoSend::StopCycle()
{
    m_pTimer101->stop();
    m_cycle.Stop();
    UpdateStatus();
}

void CAutoSend::OnCycleTick()
{
    if (!m_cycle.IsRunning())
        return;
    const int line = m_cycle.NextLine();
    if (!m_host.SendLine(-1, line)) {
        // Stopped before the box: the timer must not queue more ticks behind it.
        StopCycle();
        m_host.ShowMessage(
            QCoreApplication::translate("CAutoSend", "报文格式不对！组合键Ctrl+Alt+P分析错误！"));
    }
}

void CAutoSend::OnApplied()
{
    m_trigger.TextsChanged();
    // A running cycle takes the new period and starts again at its first line.
    if (m_cycle.IsRunning())
        StartCycle();
    UpdateStatus();
}

void CAutoSend::UpdateStatus()
{
    m_host.SetStatusNote(kCycleNote, m_cycle.IsRunning() ? QCoreApplication::translate(
                                                               "CAutoSend", "循环发送: %1 ms")
                                                               .arg(m_settings.m_cyclePeriod)
                                                         : QString());
    m_host.SetStatusNote(kTriggerNote,
                         m_trigger.IsOn() ? QCoreApplication::translate(
                             "CAutoSend", "触发发送: %n 行", nullptr, m_settings.UsedTriggerCount())
                                          : QString());
}

void CAutoSend::SaveAtExit()
{
    m_pTimer101->stop();
    m_cycle.Stop();
    m_trigger.SetOn(false);
    m_host.Pipeline().Traffic().Remove(m_trigger);
    m_settings.Save(m_host.Store());
}
