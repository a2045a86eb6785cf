#pragma once

#include "app/commands/CommandTable.h"
#include "app/files/FileNameDialog.h"
#include "app/frame/FrameReceiver.h"
#include "app/host/FrameHost.h"
#include "app/host/UserNotices.h"
#include "core/forward/ForwardTap.h"
#include "core/receive/MonitorLine.h"
#include "core/settings/FrameOptions.h"

#include <QMainWindow>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAutoSend;
class CCommandRouter;
class CFramePlacement;
class CForwarder;
class CPortSender;
class CScriptDock;

class CMonitorFiles;
class CSendCommands;
class CDlgFilter;
class CLineControl;
class CPortControl;
class CPortRestore;
class CSendFrameWnd;
class CSettingsBar;
class CTransferCommands;
class CFrameMonitorView;
class PortList;
class PortMap;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class SerialPort;
class SettingsStore;

// The main window: it owns the ports, the current port, the frame-wide options and the
// monitor view, places itself on the screen, and wires the units that serve commands. Each
// unit brings its rows of the command table and a CCommandTarget and sees the frame only as
// a CFrameHost; the command router builds the menus, toolbar and keys from the rows and
// routes every command and update by identifier.
//
// Received messages come from the ports' worker threads through the receiver (CFrameReceiver);
// its receive turns hand every waiting message to the receive pipeline, which appends their
// lines in one edit of the monitor per turn.
class CMainFrame : public QMainWindow, public CFrameHost
{
    Q_OBJECT
public:
    // store: the settings store, for the frame's whole life.
    explicit CMainFrame(SettingsStore& store, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // --- Commands (the router's, here for the units and tests) --------------------------
    CCommandRouter& Router() const { return *m_pRouter; }
    void RebuildMenus();
    // The one command entry point: runs command id as a menu item, key or button would.
    void OnCommand(int id);
    // The one update entry point: the state of command id now; applies it to its action.
    CommandState UpdateCommand(int id);
    void UpdateAllCommands();
    QAction* Action(int id) const;
    const CommandInfo* FindCommand(int id) const;
    QMenu* MenuOf(const QString& title) const;
    QToolBar* MainToolBar() const { return m_pToolBar; }

    // --- CFrameHost ---------------------------------------------------------------------
    int CurrentPort() const override;
    bool IsPortOpen(int port = -1) const override;
    SerialPort* GetPortRecord(int port = -1) const override;
    CPortSender& Sender() override { return *m_pSender; }
    bool SendLine(int port, int line) override;
    QString GetLineText(int line) const override;
    QPlainTextEdit* SendEditor() const override;
    void AppendMonitorLine(const std::string& text, unsigned port, int direction) override;
    void AppendNoticeLine(const std::string& text) override;
    ReceivePipeline& Pipeline() override { return m_receiver.Pipeline(); }
    CFrameMonitorView* GetView() const override { return m_pView; }
    FrameOptions& Options() override { return m_options; }
    SettingsStore& Store() override { return m_store; }
    void ShowMessage(const QString& text) override;
    void SetStatusNote(const QString& key, const QString& text, bool warning = false) override;
    void ShowStatusMessage(const QString& text, int timeoutMs = 10000) override;
    QString AskFileName(bool open, const QString& title, const QString& defaultName,
                        const QString& folder = QString()) override;
    QMainWindow* Window() override { return this; }

    // --- Monitor ------------------------------------------------------------------------
    // A received message as the window thread handles it.
    void OnReceiveData(unsigned port, const std::vector<std::uint8_t>& bytes);
    // Open, save, recent files and the timed save and clear.
    CMonitorFiles* MonitorFiles() const { return m_pMonitorFiles; }
    // The lasting status-bar note under key, or empty.
    QString StatusNote(const QString& key) const;

    // --- Ports --------------------------------------------------------------------------
    PortList& Ports() { return *m_pPorts; }
    ForwardTap& Tap() override { return m_tap; }
    PortMap& Map() { return *m_pPortMap; }
    CSettingsBar* SettingsBar() const { return m_pSettingsBar; }
    // The user picked a port in the selector (what the list does when picked).
    void OnPortSelected(int port);

    // --- Send side ----------------------------------------------------------------------
    CSendCommands* SendSide() const { return m_pSend; }
    CSendFrameWnd* SendBar() const;
    CAutoSend* AutoSend() const { return m_pAutoSend; }
    CLineControl* LineControl() const { return m_pLineControl; }
    // File transfer over the current port.
    CTransferCommands* TransferCommands() const { return m_pTransfer; }
    // Opens the ports of the last exit and those of the command line at start.
    CPortRestore* PortRestore() const { return m_pPortRestore; }
    CScriptDock* Scripts() const { return m_pScripts; }

    // --- Test and tool hooks ------------------------------------------------------------
    // Message boxes go to hook instead of the screen.
    void SetMessageHook(std::function<void(const QString&)> hook)
    {
        m_notices.SetMessageHook(std::move(hook));
    }
    // The file-name dialog is answered by asker instead of the user.
    using FileNameAsker = CFileNameDialog::Asker;
    void SetFileNameAsker(FileNameAsker asker) { m_fileNames.SetAsker(std::move(asker)); }
    // Clocks of the time stamps.
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time);
    // The screen size that the window commands use; empty: the primary screen's.
    void SetScreenSize(QSize size);
    bool IsTopMost() const;

    // Ends the program without asking anything (a terminate signal): unsaved monitor text is
    // kept in a file, then the window closes the normal way.
    void EndWithoutQuestions();

    // The receive turns: the inbox the ports' workers hand their messages to.
    CReceiveTurns& ReceiveTurns() { return m_receiver.Turns(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class FrameCommands;

    // The frame's own commands and their update rules.
    void OnFrameCommand(int id);
    void OnUpdateFrameCommand(int id, CommandState& state);
    void CreateBars();
    void CreateStatusBar();

    void Shutdown();

    SettingsStore& m_store;
    FrameOptions m_options;

    CUserNotices m_notices;
    CFileNameDialog m_fileNames;
    // Declared before the ports: the workers hand their messages to the receiver's inbox, so
    // the ports (declared last, destroyed first) join their workers before the inbox and the
    // pipeline go, whether or not Shutdown ran.
    CFrameReceiver m_receiver;
    // The forwarding pair's wire: the ports' workers use it until the ports are closed.
    ForwardTap m_tap;
    std::unique_ptr<FrameCommands> m_pFrameCommands;
    std::unique_ptr<CFramePlacement> m_pPlacement;
    std::unique_ptr<PortMap> m_pPortMap;

    CFrameMonitorView* m_pView = nullptr;
    CSettingsBar* m_pSettingsBar = nullptr;
    CSendCommands* m_pSend = nullptr;
    CDlgFilter* m_pFilterDlg = nullptr;
    CMonitorFiles* m_pMonitorFiles = nullptr;
    CAutoSend* m_pAutoSend = nullptr;
    CForwarder* m_pForwarder = nullptr;
    CPortSender* m_pSender = nullptr;
    CScriptDock* m_pScripts = nullptr;
    CLineControl* m_pLineControl = nullptr;
    CPortControl* m_pPortControl = nullptr;
    CPortRestore* m_pPortRestore = nullptr;
    CCommandRouter* m_pRouter = nullptr;
    CTransferCommands* m_pTransfer = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pReadyLabel = nullptr;
    QTimer* m_pIdleTimer = nullptr;

    bool m_bShutDown = false;
    bool m_bNoQuestions = false;

    std::unique_ptr<PortList> m_pPorts; // last: see m_receiver
};
