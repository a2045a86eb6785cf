#pragma once

#include "core/serial/PortSettings.h"

#include <memory>
#include <vector>

class PortTap;
class PortMap;
class PortMessageSink;
class PortReceiver;
class SerialPort;
class SettingsStore;

// The ports opened since the program started, at most one object per port number, in the
// order they were first opened. A closed port stays listed with its settings so that
// reopening reuses it; an object leaves the list when an open fails or at CloseAll. The list
// owns its objects. Used from the window thread only.
class PortList
{
public:
    // store: where each port's settings are saved ("Settings", "COM%d"); map: the device
    // path of each number; messages: where open and settings errors are shown (may be null).
    PortList(SettingsStore& store, const PortMap& map, PortMessageSink* messages);
    ~PortList();
    PortList(const PortList&) = delete;
    PortList& operator=(const PortList&) = delete;

    // Index of the object of that port number, or -1.
    int IndexOf(unsigned uiPortNo) const;
    // False when the port is not listed, else whether its object is open.
    bool IsOpen(unsigned uiPortNo) const;
    // The object at index, or null when index is outside 0 to count - 1.
    SerialPort* GetAt(int index) const;
    // The object of a port number, or null.
    SerialPort* Find(unsigned uiPortNo) const;
    int GetCount() const { return static_cast<int>(m_ports.size()); }

    // Opens a port with the given settings (all six are copied into its object; pass the
    // loaded flow-control code to keep it) and starts its worker. Takes the listed object of
    // that number, or a new one. On success a new object is listed and the settings are
    // saved. On failure (the error has been shown) the number's object leaves the list and
    // is destroyed. False also when the port is open already (nothing shown).
    bool OpenPort(unsigned uiPortNo, const PortSettings& settings, PortReceiver* pWndReceMsg);

    // Opens a listed, closed port again with its own settings and starts its worker, showing
    // nothing when it fails (a device that came back after it was lost: the caller tries
    // again later). The object stays listed either way.
    bool ReopenPort(unsigned uiPortNo, PortReceiver* pWndReceMsg);

    // The forwarding tap every port reads through (null: none), for the listed ports and
    // those opened later; set while no port is open.
    void SetTap(PortTap* tap);

    // Closes a listed port; false when the number is not listed.
    bool ClosePort(unsigned uiPortNo);

    // At shutdown: closes every open object, saves the settings of each object that was
    // ever opened, and empties the list.
    void CloseAll();

private:
    SettingsStore& m_store;
    const PortMap& m_map;
    PortMessageSink* m_pMessages;
    std::vector<std::unique_ptr<SerialPort>> m_ports;
    PortTap* m_pTap = nullptr;
};
