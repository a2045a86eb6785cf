#include "core/serial/PortList.h"

#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"

PortList::PortList(SettingsStore& store, const PortMap& map, PortMessageSink* messages)
    : m_store(store), m_map(map), m_pMessages(messages)
{
}

PortList::~PortList() = default;

int PortList::IndexOf(unsigned uiPortNo) const
{
    for (std::size_t i = 0; i < m_ports.size(); ++i)
        if (m_ports[i]->m_uiPortNo == uiPortNo)
            return static_cast<int>(i);
    return -1;
}

bool PortList::IsOpen(unsigned uiPortNo) const
{
    const SerialPort* port = Find(uiPortNo);
    return port && port->IsOpen();
}

SerialPort* PortList::GetAt(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_ports[static_cast<std::size_t>(index)].get();
}

SerialPort* PortList::Find(unsigned uiPortNo) const
{
    return GetAt(IndexOf(uiPortNo));
}

void PortList::SetTap(PortTap* tap)
{
    m_pTap = tap;
    for (const auto& port : m_ports)
        if (!port->IsOpen())
            port->SetTap(tap);
}

bool PortList::OpenPort(unsigned uiPortNo, const PortSettings& settings, PortReceiver* pWndReceMsg)
{
    const int index = IndexOf(uiPortNo);
    std::unique_ptr<SerialPort> fresh;
    SerialPort* port = nullptr;
    if (index >= 0) {
        port = m_ports[static_cast<std::size_t>(index)].get();
        if (port->IsOpen())
            return false; // Open would refuse it too; the open port is left alone
    } else {
        fresh = std::make_unique<SerialPort>(m_pMessages);
        port = fresh.get();
        port->m_uiPortNo = uiPortNo;
        port->SetOutputLines(LoadModemOutputs(m_store, uiPortNo));
    }
    static_cast<PortSettings&>(*port) = settings;
    port->SetMessageSink(m_pMessages);
    port->SetTap(m_pTap);

    if (!port->Open(pWndReceMsg, uiPortNo, m_map.PathOf(uiPortNo), true, true)) {
        // Dropping the object closes what a refused configuration left open.
        if (index >= 0)
            m_ports.erase(m_ports.begin() + index);
        return false;
    }
    if (fresh)
        m_ports.push_back(std::move(fresh));
    SavePortSettings(m_store, port->m_uiPortNo, *port);
    return true;
}

bool PortList::ReopenPort(unsigned uiPortNo, PortReceiver* pWndReceMsg)
{
    SerialPort* port = Find(uiPortNo);
    if (!port || port->IsOpen())
        return false;
    port->SetMessageSink(nullptr);
    const bool opened = port->Open(pWndReceMsg, uiPortNo, port->DevicePath(), true, true);
    port->SetMessageSink(m_pMessages);
    if (!opened)
        port->Close(); // a refused configuration leaves the device open
    return opened;
}

bool PortList::ClosePort(unsigned uiPortNo)
{
    SerialPort* port = Find(uiPortNo);
    if (!port)
        return false;
    port->Close();
    return true;
}

void PortList::CloseAll()
{
    for (auto& port : m_ports) {
        if (port->IsOpen())
            port->Close();
        if (port->m_bOpened) // a port never opened keeps whatever was stored
            SavePortSettings(m_store, port->m_uiPortNo, *port);
    }
    m_ports.clear();
}
