#include "app/monitor/TextTerminal.h"

#include "app/commands/CommandRouter.h"
#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"

#include <QCoreApplication>
#include <QMainWindow>

#include <iterator>

namespace {

const CommandInfo kCommands[] = {
    {ID_TEXT_TERMINAL, QT_TRANSLATE_NOOP("Command", "文本终端"), nullptr,
     QT_TRANSLATE_NOOP("Command", "像终端程序一样收发文本：ASC模式发送并在行尾添加回车符，ASC接收"
                                  "显示全部字节，UTF-8编码；取消时恢复原来的设置"),
     QT_TRANSLATE_NOOP("Command", "文本终端"), nullptr, true},
};

// One setting of the choice: the command that turns it on, the one that turns it off (the
// same for a switch), and its state under the choice. ASC send comes before its additions,
// which it enables; they are put back in the reverse order.
struct Setting
{
    int m_onId;
    int m_offId;
    bool m_wanted;
};

const Setting kSettings[] = {
    {ID_ASC_SEND, ID_ASC_SEND, true},
    {ID_ADD_CR, ID_ADD_CR, true},
    {ID_ADD_LF, ID_ADD_LF, false},
    {ID_ADD_STX, ID_ADD_STX, false},
    {ID_ADD_ETX, ID_ADD_ETX, false},
    {ID_ASC_RECEIVE, ID_ASC_RECEIVE, true},
    {ID_ASC_EVERY_BYTE, ID_ASC_EVERY_BYTE, true},
    {ID_TEXT_UTF8, ID_TEXT_GBK, true},
};
constexpr int kRows = static_cast<int>(std::size(kSettings));

constexpr const char* kSection = "Settings";
constexpr const char* kOnValue = "TextTerminal";
constexpr const char* kBeforeValue = "TextTerminalBefore";

} // namespace

CTextTerminal::CTextTerminal(CFrameHost& host, CCommandRouter& router)
    : QObject(host.Window()), m_host(host), m_router(router)
{
    m_bOn = host.Store().ReadInt(kSection, kOnValue, 0) == 1;
    m_before = static_cast<unsigned>(host.Store().ReadInt(kSection, kBeforeValue, 0));
}

std::span<const CommandInfo> CTextTerminal::Commands()
{
    return kCommands;
}

bool CTextTerminal::IsOn(int row) const
{
    return m_router.UpdateCommand(kSettings[row].m_onId).m_checked;
}

void CTextTerminal::SetRow(int row, bool on)
{
    if (IsOn(row) != on)
        m_router.OnCommand(on ? kSettings[row].m_onId : kSettings[row].m_offId);
}

bool CTextTerminal::Matches() const
{
    for (int row = 0; row < kRows; ++row) {
        if (IsOn(row) != kSettings[row].m_wanted)
            return false;
    }
    return true;
}

void CTextTerminal::Store() const
{
    m_host.Store().WriteInt(kSection, kOnValue, m_bOn ? 1 : 0);
    m_host.Store().WriteInt(kSection, kBeforeValue, static_cast<int>(m_before));
}

void CTextTerminal::OnCommand(int id)
{
    if (id != ID_TEXT_TERMINAL)
        return;
    m_bSwitching = true;
    if (!m_bOn) {
        m_before = 0;
        for (int row = 0; row < kRows; ++row) {
            if (IsOn(row))
                m_before |= 1u << row;
        }
        for (int row = 0; row < kRows; ++row)
            SetRow(row, kSettings[row].m_wanted);
    } else {
        for (int row = kRows - 1; row >= 0; --row)
            SetRow(row, (m_before >> row) & 1u);
    }
    m_bOn = !m_bOn;
    m_bSwitching = false;
    Store();
}

void CTextTerminal::OnUpdateCommand(int id, CommandState& state)
{
    if (id != ID_TEXT_TERMINAL)
        return;
    if (m_bOn && !m_bSwitching && !Matches()) {
        m_bOn = false; // the user took a setting in hand: it stays as the user set it
        Store();
    }
    state.m_checked = m_bOn;
}
