#include "app/monitor/ViewChoices.h"

#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"
#include "core/settings/FrameOptions.h"

#include <QCoreApplication>
#include <QMainWindow>

namespace {

const CommandInfo kChoiceCommands[] = {
    {ID_CLOCK_MILLISECONDS, QT_TRANSLATE_NOOP("Command", "时间显示时钟毫秒(&M)"), nullptr,
     QT_TRANSLATE_NOOP("Command",
                       "时间戳显示时钟的毫秒（HH:MM:SS.mmm）；不选时显示距上一时间戳的毫秒数"),
     QT_TRANSLATE_NOOP("Command", "时间显示时钟毫秒"), nullptr, true},
    {ID_ASC_EVERY_BYTE, QT_TRANSLATE_NOOP("Command", "ASC接收显示全部字节(&B)"), nullptr,
     QT_TRANSLATE_NOOP(
         "Command",
         "ASC模式接收时显示报文的每个字节：控制字节显示为\\r、\\n、\\0、\\x1B等，零字节不截断报文"),
     QT_TRANSLATE_NOOP("Command", "ASC接收显示全部字节"), nullptr, true},
};

constexpr const char* kSection = "Settings";
constexpr const char* kClockValue = "TimeStampClock";
constexpr const char* kEveryByteValue = "AscEveryByte";

const char* ValueOf(int id)
{
    return id == ID_CLOCK_MILLISECONDS ? kClockValue : kEveryByteValue;
}

} // namespace

CViewChoices::CViewChoices(CFrameHost& host) : QObject(host.Window()), m_host(host)
{
    for (const CommandInfo& row : kChoiceCommands)
        *FlagOf(row.m_id) = host.Store().ReadInt(kSection, ValueOf(row.m_id), 0) == 1 ? 1 : 0;
}

std::span<const CommandInfo> CViewChoices::Commands()
{
    return kChoiceCommands;
}

int* CViewChoices::FlagOf(int id) const
{
    FrameOptions& options = m_host.Options();
    switch (id) {
    case ID_CLOCK_MILLISECONDS: return &options.m_clockMs;
    case ID_ASC_EVERY_BYTE: return &options.m_ascEveryByte;
    default: return nullptr;
    }
}

void CViewChoices::OnCommand(int id)
{
    int* flag = FlagOf(id);
    if (!flag)
        return;
    *flag = *flag == 0 ? 1 : 0;
    m_host.Store().WriteInt(kSection, ValueOf(id), *flag);
}

void CViewChoices::OnUpdateCommand(int id, CommandState& state)
{
    if (const int* flag = FlagOf(id))
        state.m_checked = *flag != 0;
}
