#pragma once

#include "CommandTable.h"
#include "FrameOptions.h"
#include "MonitorLine.h"
#include "PortMessageSink.h"
#include "PortReceiver.h"
#include "ReceiveInbox.h"
#include "RecentFileList.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CSendCommands;
class CSendFrameWnd;
class CSettingsBar;
class CVRLView;
class PortList;
class PortMap;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class SerialDeviceMonitor;
class SerialPort;
class SettingsStore;

// The main window and the hub of the program. It owns the port table, the current port, the
// frame-wide options and the monitor view, and it wires the units that serve commands: each
// brings its rows of the command table and a CCommandTarget, and the frame builds the menus,
// toolbar and keys from the rows and routes every command and update by identifier.
//
// Received messages come from the ports' worker threads through one ReceiveInbox; the
// window thread takes every waiting message in one turn and appends their lines in one edit
// of the monitor.
class CMainFrame : public QMainWindow, private CCommandTarget, private PortReceiver,
                   private PortMessageSink
{
    Q_OBJECT
public:
    // store: the settings store, for the frame's whole life.
    explicit CMainFrame(SettingsStore& store, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // --- Commands -----------------------------------------------------------------------
    // Adds rows to the command table; target serves them (nullptr: the frame, which toggles
    // the option flag bound to the id). Call RebuildMenus afterwards when the window is up.
    void AddCommands(std::span<const CommandInfo> rows, CCommandTarget* target);
    // Builds the menu bar, the main toolbar and the keys from the table again.
    void RebuildMenus();
    // The one command entry point: runs command id as a menu item, key or button would.
    void OnCommand(int id) override;
    // The one update entry point: the state of command id now; applies it to its action.
    CommandState UpdateCommand(int id);
    // Updates every command's action (toolbar tick, after every command).
    void UpdateAllCommands();
    QAction* Action(int id) const;
    const CommandInfo* FindCommand(int id) const;
    QMenu* MenuOf(const QString& title) const;
    QToolBar* MainToolBar() const { return m_pToolBar; }

    // --- Monitor ------------------------------------------------------------------------
    CVRLView* GetView() const { return m_pView; }
    // The one way in which a monitor line is written. text: UTF-8; direction 1 received,
    // 0 sent.
    void AppendMonitorLine(std::string text, unsigned port, int direction);
    // A received message as the window thread handles it.
    void OnReceiveData(unsigned port, const std::vector<std::uint8_t>& bytes);
    // Loads a monitor file into the view, marked not modified; true on success. The path
    // joins the recent-file list.
    bool OpenMonitorFile(const QString& path);
    RecentFileList& RecentFiles() { return m_recentFiles; }

    // Called for every received message after the display, whatever it showed: forwarding
    // and triggered answers hook in here. text is the message text (empty when the filter
    // rejected the message).
    using ReceiveListener =
        std::function<void(unsigned port, const std::vector<std::uint8_t>& bytes, const std::string& text)>;
    void AddReceiveListener(ReceiveListener listener);
    // The filter of received messages in hexadecimal mode (none: every message passes).
    using FilterRule = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;
    void SetFilterRule(FilterRule rule) { m_passesFilter = std::move(rule); }
    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const;
    // 0: lines of all ports are shown; 1: only those of the current port.
    int m_displayScope = 0;

    // --- Ports and options --------------------------------------------------------------
    FrameOptions& Options() { return m_options; }
    int CurrentPort() const { return m_currentPort; }
    // port -1: the current port.
    bool IsPortOpen(int port = -1) const;
    SerialPort* GetPortRecord(int port = -1) const;
    PortList& Ports() { return *m_pPorts; }
    PortMap& Map() { return *m_pPortMap; }
    CSettingsBar* SettingsBar() const { return m_pSettingsBar; }

    // --- Send side ----------------------------------------------------------------------
    // The one way in which a line of the send editor is sent (port and line -1: the current
    // port and the caret line); false for an empty or faulty line.
    bool SendLine(int port, int line);
    CSendCommands* SendSide() const { return m_pSend; }
    CSendFrameWnd* SendBar() const;
    SettingsStore& Store() { return m_store; }
    const std::string& AutoSaveDir() const { return m_strAutoSaveDir; }
    int AutoSaveMinutes() const { return m_nASTime; }

    // The user picked a port in the selector (what the list does when picked).
    void OnPortSelected(int port);

    // Shows a message box titled "VRL" with one OK button (or hands the text to the hook).
    void ShowMessage(const std::string& utf8) override;
    void ShowMessage(const QString& text);
    // Tests and tools take the messages instead of boxes.
    void SetMessageHook(std::function<void(const QString&)> hook) { m_messageHook = std::move(hook); }

    // Clocks of the time stamps (tests inject their own).
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time);
    // The screen size that the window commands use; empty: the primary screen's.
    void SetScreenSize(QSize size) { m_screenSize = size; }
    bool IsTopMost() const;

    // Shows waiting received messages, for at most one turn (the receive timer runs it;
    // tests may too).
    void ProcessReceived();

Q_SIGNALS:
    // A message arrived in the inbox (emitted on a worker thread, delivered queued).
    void receivedWaiting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct CommandEntry
    {
        CommandInfo m_info;
        CCommandTarget* m_target = nullptr;
        QAction* m_action = nullptr;
    };

    // CCommandTarget: the frame's own commands.
    void OnUpdateCommand(int id, CommandState& state) override;
    void OnFrameCommand(int id);
    // PortReceiver, on the workers.
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;

    void CreateBars();
    void CreateStatusBar();
    QAction* ActionFor(CommandEntry& entry);
    void FillRecentFiles(QMenu* menu);
    void OpenRecentFile(int index);
    void ShowDamageNote();

    void WatchDevices();
    void OnDevicesChanged();
    void OnOpenPort();
    void OnDefaultSettings();
    void SetOpenPortImage(bool open);
    void ShowPortSettings(int port);
    void ShowStoppedPort(unsigned port, const std::string& reason);
    void PlaceWindow(int id);
    void ToggleTopMost();
    void SetTopMost(bool topMost);
    QSize ScreenSize() const;
    void RestorePlacement();
    void SavePlacement();
    void Shutdown();

    SettingsStore& m_store;
    std::unique_ptr<PortMap> m_pPortMap;
    std::unique_ptr<PortList> m_pPorts;
    std::unique_ptr<SerialDeviceMonitor> m_pDeviceMonitor;
    ReceiveInbox m_inbox;

    FrameOptions m_options;
    int m_currentPort = 0;
    std::string m_strAutoSaveDir;
    int m_nASTime = 1;
    MonitorLineBuilder m_lineBuilder;
    RecentFileList m_recentFiles;
    std::vector<MonitorPiece> m_pieces; // reused for every line
    std::deque<ReceiveInbox::Message> m_pending; // taken, not yet shown

    std::map<int, CommandEntry> m_commands;
    std::vector<ReceiveListener> m_receiveListeners;
    FilterRule m_passesFilter;

    CVRLView* m_pView = nullptr;
    CSettingsBar* m_pSettingsBar = nullptr;
    CSendCommands* m_pSend = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pReadyLabel = nullptr;
    QTimer* m_pIdleTimer = nullptr;
    QTimer* m_pReceiveTimer = nullptr;
    std::map<unsigned, QString> m_stoppedPorts;

    std::function<void(const QString&)> m_messageHook;
    QSize m_screenSize;
    bool m_bShutDown = false;
};
