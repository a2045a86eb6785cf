#include "app/send/SendCommands.h"

#include "app/commands/CommandTable.h"
#include "app/host/FrameHost.h"
#include "app/send/PortSender.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFiles.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/send/CheckCode.h"
#include "core/send/LineSend.h"
#include "core/settings/FrameOptions.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QShortcut>

#include <optional>

namespace {

const CommandInfo kSendCommands[] = {
    {ID_CHECK_LINE, QT_TRANSLATE_NOOP("Command", "分析当前行"), "Ctrl+Alt+P",
     QT_TRANSLATE_NOOP("Command", "检查发报窗光标所在行是否为正确的十六进制报文，并指出出错的位置"),
     QT_TRANSLATE_NOOP("Command", "分析当前行"), nullptr, false},
    {ID_SEND_LINE, QT_TRANSLATE_NOOP("Command", "手动单行发报(&W)"), "F2",
     QT_TRANSLATE_NOOP("Command", "发送发报窗中光标所在行的报文"),
     QT_TRANSLATE_NOOP("Command", "手动单行发报"), ":/icons/send_line.png", false},
    {ID_SEND_WINDOW, QT_TRANSLATE_NOOP("Command", "发报窗(&W)"), "F4",
     QT_TRANSLATE_NOOP("Command", "显示或隐藏发报窗"), QT_TRANSLATE_NOOP("Command", "发报窗"),
     ":/icons/send_window.png", true},

    {ID_CHECK_SUM8, QT_TRANSLATE_NOOP("Command", "累加和(&C)"), "Ctrl+F11",
     QT_TRANSLATE_NOOP("Command", "只保留低字节的求和校验"),
     QT_TRANSLATE_NOOP("Command", "单字节求和校验"), nullptr, false},
    {ID_CHECK_SUM16, QT_TRANSLATE_NOOP("Command", "保留高位的累加和(&H)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "保留高位的求和校验"),
     QT_TRANSLATE_NOOP("Command", "双字节求和校验"), nullptr, false},
    {ID_CHECK_MODBUS, QT_TRANSLATE_NOOP("Command", "MODBUS规约CRC(&M)"), "Ctrl+M",
     QT_TRANSLATE_NOOP("Command", "MODBUS规约查询报文CRC校验，同ANSI标准16位CRC，只校验前6个字节"),
     QT_TRANSLATE_NOOP("Command", "MODBUS规约查询报文CRC校验"), nullptr, false},
    {ID_CHECK_CCITT16, QT_TRANSLATE_NOOP("Command", "CCITT标准16位CRC(&O)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "CCITT V.41，16位CRC校验，x16+x12+x5+1，即0x11021"),
     QT_TRANSLATE_NOOP("Command", "CCITT 16位CRC校验"), nullptr, false},
    {ID_CHECK_CCITT8, QT_TRANSLATE_NOOP("Command", "CCITT标准  8位CRC(&D)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "CCITT V.41，8位CRC校验，x8+x2+x+1，即0x107"),
     QT_TRANSLATE_NOOP("Command", "CCITT 8位CRC校验"), nullptr, false},
    {ID_CHECK_ANSI16, QT_TRANSLATE_NOOP("Command", "ANSI标准16位CRC(&A)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ANSI，16位CRC校验，x16+x15+x2+1，即0x18005"),
     QT_TRANSLATE_NOOP("Command", "ANSI 16位CRC校验"), nullptr, false},
    {ID_CHECK_CDT, QT_TRANSLATE_NOOP("Command", "CDT规约CRC(&T)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "CDT规约CRC校验，同CCITT标准8位CRC"),
     QT_TRANSLATE_NOOP("Command", "CDT规约CRC校验"), nullptr, false},

    {ID_OPEN_SEND_FILE, QT_TRANSLATE_NOOP("Command", "打开发送报文(&F)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "打开发报窗报文文件"),
     QT_TRANSLATE_NOOP("Command", "打开发送报文"), nullptr, false},
    {ID_SAVE_SEND_FILE, QT_TRANSLATE_NOOP("Command", "保存发送报文(&A)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "把发报窗的报文保存到文件"),
     QT_TRANSLATE_NOOP("Command", "保存发送报文"), nullptr, false},
};

// The check code a command appends. "CDT规约CRC(&T)" is the CDT protocol's check byte, which
// is the CCITT 8-bit CRC (x8+x2+x+1, inverted), as its help text says: it gets that action
// instead of standing in the menu doing nothing.
std::optional<CheckKind> KindOfCommand(int id)
{
    if (id == ID_CHECK_CDT)
        return CheckKind::Ccitt8;
    return CheckKindFromCommand(id);
}

const CommandInfo kOptionCommands[] = {
    {ID_JUMP_NEXT_LINE, QT_TRANSLATE_NOOP("Command", "发送后跳到下行(&N)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "手动发送一行后，光标跳到发报窗的下一行"),
     QT_TRANSLATE_NOOP("Command", "发送后跳到下行"), nullptr, true},
    {ID_ASC_SEND, QT_TRANSLATE_NOOP("Command", "ASC模式发送(&S)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "把发报窗的报文作为字符发送"),
     QT_TRANSLATE_NOOP("Command", "ASC模式发送"), ":/icons/asc_send.png", true},
    {ID_ADD_STX, QT_TRANSLATE_NOOP("Command", "添加文始符STX(&V)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式发送时，在报文前添加文始符STX(02H)"),
     QT_TRANSLATE_NOOP("Command", "添加文始符STX"), nullptr, true},
    {ID_ADD_ETX, QT_TRANSLATE_NOOP("Command", "添加文终符ETX(&E)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式发送时，在报文后添加文终符ETX(03H)"),
     QT_TRANSLATE_NOOP("Command", "添加文终符ETX"), nullptr, true},
    {ID_ADD_CR, QT_TRANSLATE_NOOP("Command", "添加回车符(&D)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式发送时，在报文后添加回车符CR(0DH)"),
     QT_TRANSLATE_NOOP("Command", "添加回车符"), nullptr, true},
    {ID_ADD_LF, QT_TRANSLATE_NOOP("Command", "添加换行符(&H)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式发送时，在报文后添加换行符LF(0AH)"),
     QT_TRANSLATE_NOOP("Command", "添加换行符"), nullptr, true},
};

} // namespace

CSendCommands::CSendCommands(CFrameHost& host)
    : QObject(host.Window()), m_host(host), m_pSendBar(new CSendFrameWnd(host.Window()))
{
    host.Window()->addDockWidget(Qt::BottomDockWidgetArea, m_pSendBar);
    SendEdit()->SetMessageHandler([this](const QString& text) { m_host.ShowMessage(text); });
    // The text the editor had when the program last ended.
    m_pFiles = new CSendFiles(host, *SendEdit(), this);

    // Ctrl+Alt+S: into the send editor (Shift makes it another key).
    auto* focusEdit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+S")), host.Window());
    connect(focusEdit, &QShortcut::activated, this,
            [this] { SendEdit()->setFocus(Qt::ShortcutFocusReason); });

    // F2 while the command is greyed (the port is closed) says why nothing is sent. Only one
    // of the two F2 keys is on at a time (see OnUpdateCommand), so they never collide.
    m_pClosedSendKey = new QShortcut(QKeySequence(Qt::Key_F2), host.Window());
    m_pClosedSendKey->setEnabled(false);
    connect(m_pClosedSendKey, &QShortcut::activated, this, [this] {
        m_host.ShowStatusMessage(
            tr("%1 未打开，F2 不发送：先在串口设置栏选好串口和参数，按 F5 打开。")
                .arg(QString::fromStdString(PortName(m_host.CurrentPort()))));
    });
}

std::span<const CommandInfo> CSendCommands::Commands()
{
    return kSendCommands;
}

std::span<const CommandInfo> CSendCommands::OptionCommands()
{
    return kOptionCommands;
}

CSendEditor* CSendCommands::SendEdit() const
{
    return m_pSendBar->SendEdit();
}

bool CSendCommands::IsBarVisible() const
{
    return !m_pSendBar->isHidden();
}

AscFraming CSendCommands::Framing() const
{
    const FrameOptions& o = m_host.Options();
    return AscFraming{o.m_addSTX != 0, o.m_addETX != 0, o.m_addCR != 0, o.m_addLF != 0};
}

void CSendCommands::ApplyAscFraming(std::string& text) const
{
    ::ApplyAscFraming(text, Framing());
}

bool CSendCommands::SendLine(int port, int line)
{
    if (!m_host.IsPortOpen(port))
        return true;
    const FrameOptions& o = m_host.Options();
    CSendEditor* edit = SendEdit();
    const LineSendPlan plan =
        PlanLineSend(edit->GetLineText(line).toStdString(), o.m_ascSend != 0, Framing());
    if (!plan.ok) {
        edit->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const unsigned portNo = static_cast<unsigned>(port < 0 ? m_host.CurrentPort() : port);
    // The result of the write is not looked at: a full queue says so in the status bar.
    m_host.Sender().Send(portNo, plan.bytes, plan.monitorText);
    if (o.m_jumpToNextLine)
        edit->MoveCaretToLine(true, line);
    return true;
}

void CSendCommands::SaveAtExit()
{
    m_pFiles->SaveAtExit();
}

void CSendCommands::OnCommand(int id)
{
    switch (id) {
    case ID_SEND_LINE:
        if (!SendLine(-1, -1))
            m_host.ShowMessage(QCoreApplication::translate(
                "CSendCommands", "报文格式不对！组合键Ctrl+Alt+P分析错误！"));
        return;
    case ID_SEND_WINDOW: m_pSendBar->setVisible(!IsBarVisible()); return;
    case ID_CHECK_LINE:
        // The key in the editor says nothing of a right line; a menu row must answer.
        if (IsBarVisible() && SendEdit()->CheckLine(-1))
            m_host.ShowStatusMessage(
                tr("第 %1 行是正确的十六进制报文").arg(SendEdit()->ResolveLine(-1) + 1));
        return;
    case ID_OPEN_SEND_FILE:
        if (IsBarVisible())
            m_pFiles->Open();
        return;
    case ID_SAVE_SEND_FILE:
        if (IsBarVisible())
            m_pFiles->SaveAs();
        return;
    default: break;
    }
    if (const std::optional<CheckKind> kind = KindOfCommand(id)) {
        if (IsBarVisible())
            SendEdit()->AppendCheckCode(*kind);
    }
}

void CSendCommands::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_SEND_LINE:
        state.m_enabled = m_host.IsPortOpen(-1);
        m_pClosedSendKey->setEnabled(!state.m_enabled);
        return;
    case ID_SEND_WINDOW: state.m_checked = IsBarVisible(); return;
    default:
        // The check codes and the send-message files: only while the send bar is shown.
        state.m_enabled = IsBarVisible();
        return;
    }
}
