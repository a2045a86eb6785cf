#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>

#include <functional>
#include <span>
#include <string>
#include <vector>

class CFrameHost;
class PortList;

// Back to work after a restart: with the choice on (工具 menu, stored, off by default) the
// ports that were open at the last exit are opened again at start; ports named on the command
// line (--open COMn) are opened at start whatever the choice. Each opens as the user's F5
// would, with the settings it was last opened with.
class CPortRestore : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kChoiceValue = "ReopenAtStart"; // 1 on, 0 off (default)
    static constexpr const char* kListValue = "OpenAtExit";      // "COM3,COM5"

    // open: opens a port the way the user does (selects it, then opens it).
    using Opener = std::function<void(unsigned)>;
    CPortRestore(CFrameHost& host, const PortList& ports, Opener open);

    static std::span<const CommandInfo> Commands();
    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // At start: the ports open at the last exit (with the choice on), then those asked for,
    // each once.
    void OpenAtStart(const std::vector<unsigned>& asked);
    // At exit, before the ports close: which of them are open.
    void SaveAtExit();

    bool IsOn() const { return m_bOn; }

    // "COM3,COM5" and back (0-based ports; unreadable entries are skipped).
    static std::string ListText(const std::vector<unsigned>& ports);
    static std::vector<unsigned> ParseList(const std::string& text);

private:
    CFrameHost& m_host;
    const PortList& m_ports;
    Opener m_open;
    bool m_bOn = false;
};
