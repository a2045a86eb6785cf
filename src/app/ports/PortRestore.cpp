#include "app/ports/PortRestore.h"

#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortList.h"
#include "core/serial/SerialPort.h"

#include <QCoreApplication>
#include <QMainWindow>

#include <algorithm>
#include <sstream>

namespace {

const CommandInfo kRestoreCommands[] = {
    {ID_REOPEN_AT_START, QT_TRANSLATE_NOOP("Command", "启动时打开上次的串口(&L)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "启动时重新打开上次退出时打开着的串口"),
     QT_TRANSLATE_NOOP("Command", "启动时打开上次的串口"), nullptr, true},
};

} // namespace

CPortRestore::CPortRestore(CFrameHost& host, const PortList& ports, Opener open)
    : QObject(host.Window()), m_host(host), m_ports(ports), m_open(std::move(open))
{
    m_bOn = host.Store().ReadInt(kSection, kChoiceValue, 0) == 1;
}

std::span<const CommandInfo> CPortRestore::Commands()
{
    return kRestoreCommands;
}

void CPortRestore::OnCommand(int id)
{
    if (id != ID_REOPEN_AT_START)
        return;
    m_bOn = !m_bOn;
    m_host.Store().WriteInt(kSection, kChoiceValue, m_bOn ? 1 : 0);
}

void CPortRestore::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_REOPEN_AT_START)
        state.m_checked = m_bOn;
}

void CPortRestore::OpenAtStart(const std::vector<unsigned>& asked)
{
    std::vector<unsigned> ports;
    if (m_bOn)
        ports = ParseList(m_host.Store().ReadString(kSection, kListValue, ""));
    for (unsigned port : asked)
        if (std::find(ports.begin(), ports.end(), port) == ports.end())
            ports.push_back(port);
    for (unsigned port : ports)
        if (!m_ports.IsOpen(port))
            m_open(port);
}

void CPortRestore::SaveAtExit()
{
    std::vector<unsigned> open;
    for (int i = 0; i < m_ports.GetCount(); ++i)
        if (const SerialPort* port = m_ports.GetAt(i); port && port->IsOpen())
            open.push_back(port->m_uiPortNo);
    std::sort(open.begin(), open.end());
    m_host.Store().WriteString(kSection, kListValue, ListText(open));
}

std::string CPortRestore::ListText(const std::vector<unsigned>& ports)
{
    std::string text;
    for (unsigned port : ports) {
        if (!text.empty())
            text += ',';
        text += PortName(port);
    }
    return text;
}

std::vector<unsigned> CPortRestore::ParseList(const std::string& text)
{
    std::vector<unsigned> ports;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (item.size() < 4 || item.compare(0, 3, "COM") != 0)
            continue;
        unsigned n = 0;
        bool digits = true;
        for (std::size_t i = 3; i < item.size(); ++i) {
            digits = digits && item[i] >= '0' && item[i] <= '9';
            n = digits ? n * 10 + static_cast<unsigned>(item[i] - '0') : n;
        }
        if (digits && n >= 1 && n <= SerialPort::kPortCount)
            ports.push_back(n - 1);
    }
    return ports;
}
