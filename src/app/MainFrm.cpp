#include "MainFrm.h"

#include "AboutDlg.h"
#include "AutoSend.h"
#include "CommandRouter.h"
#include "CommandIds.h"
#include "IniSettingsStore.h"
#include "LockIndicators.h"
#include "MonitorFiles.h"
#include "PortList.h"
#include "PortMap.h"
#include "PortMapDialog.h"
#include "PortSettings.h"
#include "SendCommands.h"
#include "DlgFilter.h"
#include "SerialDeviceMonitor.h"
#include "SerialPort.h"
#include "SettingsBar.h"
#include "SettingsStore.h"
#include "VRLSendEdit.h"
#include "VRLView.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <vector>

// The images live in the library's resources, which a static library must register itself.
static void InitResources()
{
    Q_INIT_RESOURCE(vrl);
}

namespace {

constexpr const char* kPlacementSection = "MFW-Main";
constexpr const char* kLayoutSection = "MFW-Layout";
constexpr int kIdleUpdateMs = 200;
constexpr int kReceiveTurnMs = 15;
constexpr int kDeviceRescanMs = 3000;

QString ReadyText()
{
    return QStringLiteral("就绪");
}

// The clipboard and undo commands act on the text editor that has the focus (the send
// editor as well as the monitor), as they do everywhere else.
bool IsFocusEditCommand(int id)
{
    return id == ID_EDIT_UNDO || id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_PASTE
        || id == ID_EDIT_SELECT_ALL;
}

// QPlainTextEdit and QTextEdit share these slots but no base class that has them.
template <class Edit>
void RunFocusEditCommand(Edit& edit, int id)
{
    switch (id) {
    case ID_EDIT_UNDO: edit.undo(); break;
    case ID_EDIT_CUT: edit.cut(); break;
    case ID_EDIT_COPY: edit.copy(); break;
    case ID_EDIT_PASTE: edit.paste(); break;
    default: edit.selectAll(); break;
    }
}

// The screen a stored window belongs to: the one under a point near the middle of its title
// bar. None when that screen has gone since (a monitor unplugged). 64-bit, as the stored
// values may be anything.
QScreen* ScreenOfStoredRect(int left, int top, int right)
{
    const qint64 x = qint64(left) + std::min<qint64>(qint64(right) - left, 200) / 2;
    const qint64 y = qint64(top) + 10;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        if (x >= g.left() && x <= g.right() && y >= g.top() && y <= g.bottom())
            return screen;
    }
    return nullptr;
}

} // namespace

// The frame's own commands, for the router: the port and option commands, the view's, the
// window commands.
class CMainFrame::FrameCommands : public CCommandTarget
{
public:
    explicit FrameCommands(CMainFrame& frame) : m_frame(frame) {}
    void OnCommand(int id) override { m_frame.OnFrameCommand(id); }
    void OnUpdateCommand(int id, CommandState& state) override { m_frame.OnUpdateFrameCommand(id, state); }

private:
    CMainFrame& m_frame;
};

CMainFrame::CMainFrame(SettingsStore& store, QWidget* parent)
    : QMainWindow(parent),
      m_store(store),
      m_inbox([this] { Q_EMIT receivedWaiting(); }),
      m_pipeline(m_options, *this, [this] { return m_currentPort; }),
      m_pFrameCommands(std::make_unique<FrameCommands>(*this))
{
    InitResources();
    setWindowTitle(QStringLiteral("VRL－串口监视工具"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vrl.png")));
    // Received messages are shown from a timer, so that at most one turn waits at a time and
    // a flood takes its turns between the window's other timers and repaints instead of
    // piling up queued calls that would run back to back.
    m_pReceiveTimer = new QTimer(this);
    m_pReceiveTimer->setSingleShot(true);
    m_pReceiveTimer->setInterval(0);
    connect(m_pReceiveTimer, &QTimer::timeout, this, &CMainFrame::ProcessReceived);
    connect(this, &CMainFrame::receivedWaiting, this, [this] {
        if (!m_pReceiveTimer->isActive())
            m_pReceiveTimer->start();
    }, Qt::QueuedConnection);

    m_pPortMap = std::make_unique<PortMap>(m_store);
    m_pPortMap->Discover();
    WatchDevices();
    m_pPorts = std::make_unique<PortList>(m_store, *m_pPortMap, static_cast<PortMessageSink*>(this));

    m_pView = new CVRLView(this);
    setCentralWidget(m_pView);
    CreateBars();
    m_pRouter = new CCommandRouter(*this, *m_pToolBar, *m_pFrameCommands);
    AddCommands(MonitorCommands(), nullptr);
    m_pMonitorFiles = new CMonitorFiles(*this, [this] { RebuildMenus(); });
    AddCommands(CMonitorFiles::Commands(), m_pMonitorFiles);
    m_pRouter->SetRecentFilesFiller([this](QMenu* menu) { m_pMonitorFiles->FillRecentFiles(menu); });
    m_pSend = new CSendCommands(*this);
    AddCommands(CSendCommands::Commands(), m_pSend);
    AddCommands(CSendCommands::OptionCommands(), nullptr);
    m_pAutoSend = new CAutoSend(*this);
    AddCommands(CAutoSend::Commands(), m_pAutoSend);
    CreateStatusBar();
    m_pFilterDlg = new CDlgFilter(*this); // after the status bar: it may leave a note there
    AddCommands(CDlgFilter::Commands(), m_pFilterDlg);

    // The port of the last run is selected in the bar, but it becomes the current port only
    // when the user picks or opens it.
    const FrameStoredValues stored = FrameStoredValues::Load(m_store);
    m_pSettingsBar->SelectPort(stored.m_comHis);
    if (stored.m_comHis >= 0 && stored.m_comHis < 256) {
        PortSettings settings;
        if (LoadPortSettings(m_store, static_cast<unsigned>(stored.m_comHis), settings))
            m_pSettingsBar->ShowSettingsInBar(settings);
        m_pSettingsBar->SetPortDevice(QString::fromStdString(m_pPortMap->PathOf(static_cast<unsigned>(stored.m_comHis))));
    }

    m_options.SetFromCommon(stored.m_common);

    // Units with bars or docks of their own create them above this line, so that the
    // stored layout finds them; their command rows go in with AddCommands before
    // RebuildMenus below.
    RestorePlacement();
    // A settings file that could not be read was moved aside, not overwritten: say where.
    if (auto* ini = dynamic_cast<IniSettingsStore*>(&m_store); ini && !ini->SetAsideNote().empty()) {
        const QString note = QString::fromStdString(ini->SetAsideNote());
        QTimer::singleShot(0, this, [this, note] { ShowMessage(note); });
    }
    if (stored.m_common & FrameOptions::kTopMostBit)
        SetTopMost(true);

    // Ctrl+Alt+C: into the port selector.
    auto* focusPorts = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+C")), this);
    connect(focusPorts, &QShortcut::activated, this, [this] {
        m_pSettingsBar->Combo(ID_PORT_SELECT)->setFocus(Qt::ShortcutFocusReason);
    });

    m_pIdleTimer = new QTimer(this);
    m_pIdleTimer->setInterval(kIdleUpdateMs);
    connect(m_pIdleTimer, &QTimer::timeout, this, &CMainFrame::UpdateAllCommands);
    m_pIdleTimer->start();

    RebuildMenus();
}

CMainFrame::~CMainFrame()
{
    Shutdown();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_bShutDown && !m_pMonitorFiles->MayClose()) {
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
}

// The exit steps, once: ports closed and their settings stored, the options stored, then
// the placement of the window and its bars.
void CMainFrame::Shutdown()
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    m_pIdleTimer->stop();
    m_pRouter->Stop();

    auto* ini = dynamic_cast<IniSettingsStore*>(&m_store);
    if (ini)
        ini->BeginBatch();
    m_inbox.SetReleased(true);
    m_pPorts->CloseAll();
    FrameStoredValues::Save(m_store, m_currentPort, m_options, m_pMonitorFiles->AutoSaveDir(),
                            m_pMonitorFiles->AutoSaveMinutes());
    m_pSend->SaveAtExit();
    m_pFilterDlg->SaveAtExit();
    m_pMonitorFiles->SaveAtExit();
    m_pAutoSend->SaveAtExit();
    SavePlacement();
    if (ini)
        ini->EndBatch();
}

// --- Commands ---------------------------------------------------------------------------

void CMainFrame::AddCommands(std::span<const CommandInfo> rows, CCommandTarget* target)
{
    m_pRouter->AddCommands(rows, target);
}

void CMainFrame::RebuildMenus()
{
    m_pRouter->RebuildMenus();
}

void CMainFrame::OnCommand(int id)
{
    m_pRouter->OnCommand(id);
}

CommandState CMainFrame::UpdateCommand(int id)
{
    return m_pRouter->UpdateCommand(id);
}

void CMainFrame::UpdateAllCommands()
{
    m_pRouter->UpdateAllCommands();
}

QAction* CMainFrame::Action(int id) const
{
    return m_pRouter->Action(id);
}

const CommandInfo* CMainFrame::FindCommand(int id) const
{
    return m_pRouter->FindCommand(id);
}

QMenu* CMainFrame::MenuOf(const QString& title) const
{
    return m_pRouter->MenuOf(title);
}

bool CMainFrame::OpenMonitorFile(const QString& path)
{
    return m_pMonitorFiles->OpenMonitorFile(path);
}

RecentFileList& CMainFrame::RecentFiles()
{
    return m_pMonitorFiles->RecentFiles();
}

void CMainFrame::OnUpdateFrameCommand(int id, CommandState& state)
{
    if (const int* flag = m_options.FlagForCommand(id)) {
        state.m_checked = *flag != 0;
        if (id == ID_ADD_CR || id == ID_ADD_STX || id == ID_ADD_ETX || id == ID_ADD_LF)
            state.m_enabled = m_options.m_ascSend != 0;
    }
    switch (id) {
    case ID_DEFAULT_SETTINGS:
        state.m_enabled = !IsPortOpen(-1);
        break;
    case ID_OPEN_PORT: {
        const QString verb = IsPortOpen(-1) ? QStringLiteral("关闭") : QStringLiteral("打开");
        state.m_prompt = state.m_tip = verb + PortName(m_currentPort);
        state.m_text = state.m_prompt + QStringLiteral("(&O)");
        break;
    }
    case ID_PAUSE:
        state.m_prompt = state.m_tip = m_options.m_paused ? QStringLiteral("继续报文监视")
                                                          : QStringLiteral("暂停报文监视");
        state.m_text = state.m_prompt + QStringLiteral("(&P)");
        break;
    case ID_SEND_LINE:
        state.m_enabled = IsPortOpen(-1);
        break;
    case ID_WORD_WRAP:
        state.m_checked = m_pView->GetWordWrap() != 0;
        break;
    case ID_READ_ONLY:
        state.m_checked = m_pView->GetReadOnly();
        break;
    case ID_ALWAYS_ON_TOP:
        state.m_checked = IsTopMost();
        break;
    case ID_VIEW_TOOLBAR:
        state.m_checked = m_pToolBar->isVisibleTo(this);
        break;
    case ID_VIEW_STATUS_BAR:
        state.m_checked = statusBar()->isVisibleTo(this);
        break;
    case ID_SETTINGS_BAR:
        state.m_checked = m_pSettingsBar->isVisibleTo(this);
        break;
    default:
        if (CXRichEditView::HandlesCommand(id) && !IsFocusEditCommand(id))
            state.m_enabled = m_pView->IsCommandEnabled(id);
        break;
    }
}

void CMainFrame::OnFrameCommand(int id)
{
    if (m_options.Toggle(id))
        return;
    switch (id) {
    case ID_DEFAULT_SETTINGS: OnDefaultSettings(); return;
    case ID_OPEN_PORT: OnOpenPort(); return;
    case ID_CLEAR_MONITOR:
        m_pView->ClearAll(true);
        m_pView->SetModified(false);
        return;
    case ID_WORD_WRAP: m_pView->SetWordWrap(m_pView->GetWordWrap() == 0 ? 1 : 0); return;
    case ID_READ_ONLY: m_pView->SetReadOnly(!m_pView->GetReadOnly()); return;
    case ID_WINDOW_CENTER:
    case ID_WINDOW_TOP_HALF:
    case ID_WINDOW_BOTTOM_HALF:
    case ID_WINDOW_LEFT_HALF:
    case ID_WINDOW_RIGHT_HALF: PlaceWindow(id); return;
    case ID_ALWAYS_ON_TOP: ToggleTopMost(); return;
    case ID_VIEW_TOOLBAR: m_pToolBar->setVisible(!m_pToolBar->isVisibleTo(this)); return;
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(!statusBar()->isVisibleTo(this)); return;
    case ID_SETTINGS_BAR: m_pSettingsBar->setVisible(!m_pSettingsBar->isVisibleTo(this)); return;
    case ID_PORT_MAP: {
        CPortMapDialog dlg(*m_pPortMap, this);
        dlg.exec();
        m_pSettingsBar->SetPortDevice(
            QString::fromStdString(m_pPortMap->PathOf(static_cast<unsigned>(std::max(0, m_pSettingsBar->SelectedPort())))));
        return;
    }
    case ID_APP_ABOUT: {
        CAboutDlg dlg(this);
        dlg.exec();
        return;
    }
    case ID_APP_EXIT: close(); return;
    default: break;
    }
    if (IsFocusEditCommand(id)) {
        QWidget* focus = QApplication::focusWidget();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(focus); edit && edit != m_pView) {
            RunFocusEditCommand(*edit, id);
            return;
        }
        if (auto* edit = qobject_cast<QTextEdit*>(focus)) {
            RunFocusEditCommand(*edit, id);
            return;
        }
    }
    if (CXRichEditView::HandlesCommand(id))
        m_pView->OnCommand(id);
}

// --- Bars -------------------------------------------------------------------------------

void CMainFrame::CreateBars()
{
    m_pToolBar = new QToolBar(QStringLiteral("工具栏"), this);
    m_pToolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_pToolBar->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, m_pToolBar);

    m_pSettingsBar = new CSettingsBar(this);
    addToolBar(Qt::TopToolBarArea, m_pSettingsBar);
    connect(m_pSettingsBar, &CSettingsBar::portSelected, this, &CMainFrame::OnPortSelected);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    m_pReadyLabel = new QLabel(ReadyText(), bar);
    bar->addWidget(m_pReadyLabel, 1);
    new CLockIndicators(bar);
}

void CMainFrame::SetOpenPortImage(bool open)
{
    if (QAction* a = Action(ID_OPEN_PORT)) {
        a->setIcon(QIcon(open ? QStringLiteral(":/icons/port_open.png")
                              : QStringLiteral(":/icons/port_closed.png")));
    }
}

// --- Ports ------------------------------------------------------------------------------

// Adapters plugged in while the program runs get their COM numbers at once (udev events,
// or a rescan every few seconds where there is no udev).
void CMainFrame::WatchDevices()
{
    m_pDeviceMonitor = std::make_unique<SerialDeviceMonitor>();
    if (m_pDeviceMonitor->Fd() >= 0) {
        auto* notifier = new QSocketNotifier(m_pDeviceMonitor->Fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (m_pDeviceMonitor->Drain())
                OnDevicesChanged();
        });
    } else {
        auto* rescan = new QTimer(this);
        rescan->setInterval(kDeviceRescanMs);
        connect(rescan, &QTimer::timeout, this, [this] {
            if (m_pDeviceMonitor->Rescan())
                OnDevicesChanged();
        });
        rescan->start();
    }
}

void CMainFrame::OnDevicesChanged()
{
    const std::vector<unsigned> added = m_pPortMap->Discover();
    QStringList names;
    for (unsigned port : added) {
        names << QStringLiteral("%1（%2）").arg(PortName(static_cast<int>(port)),
                                              QString::fromStdString(m_pPortMap->PathOf(port)));
    }
    if (!names.isEmpty())
        statusBar()->showMessage(QStringLiteral("发现新的串口设备：") + names.join(QStringLiteral("，")), 10000);
    const int selected = m_pSettingsBar->SelectedPort();
    if (selected >= 0)
        m_pSettingsBar->SetPortDevice(QString::fromStdString(m_pPortMap->PathOf(static_cast<unsigned>(selected))));
}

bool CMainFrame::IsPortOpen(int port) const
{
    const int p = port < 0 ? m_currentPort : port;
    return p >= 0 && m_pPorts->IsOpen(static_cast<unsigned>(p));
}

SerialPort* CMainFrame::GetPortRecord(int port) const
{
    const int p = port < 0 ? m_currentPort : port;
    return p >= 0 ? m_pPorts->Find(static_cast<unsigned>(p)) : nullptr;
}

void CMainFrame::OnOpenPort()
{
    const int p = m_pSettingsBar->SelectedPort();
    if (p < 0)
        return;
    const auto port = static_cast<unsigned>(p);
    if (!m_pPorts->IsOpen(port)) {
        // The bar gives five settings; the flow-control code stays the record's (or the
        // stored one for a port not opened in this run).
        PortSettings settings;
        if (SerialPort* record = m_pPorts->Find(port))
            settings = *record;
        else
            LoadPortSettings(m_store, port, settings);
        m_pSettingsBar->ReadSettingsFromBar(settings);
        if (m_pPorts->OpenPort(port, settings, this)) {
            m_pSettingsBar->EnableSettingsBar(false);
            m_currentPort = p;
        }
    } else {
        m_inbox.SetReleased(true);
        const bool closed = m_pPorts->ClosePort(port);
        m_inbox.SetReleased(false);
        if (closed)
            m_pSettingsBar->EnableSettingsBar(true);
    }
    if (!m_pPorts->IsOpen(port) && m_stoppedPorts.erase(port))
        ShowStoppedPort(port, {});
    SetOpenPortImage(m_pPorts->IsOpen(port));
}

void CMainFrame::OnDefaultSettings()
{
    if (!IsPortOpen(-1))
        m_pSettingsBar->ShowDefaultsInBar();
}

void CMainFrame::OnPortSelected(int port)
{
    m_pSettingsBar->SelectPort(port);
    if (port < 0)
        return;
    m_currentPort = port;
    ShowPortSettings(port);
    m_pSettingsBar->SetPortDevice(QString::fromStdString(m_pPortMap->PathOf(static_cast<unsigned>(port))));
    SetOpenPortImage(IsPortOpen(port));
    UpdateAllCommands();
}

void CMainFrame::ShowPortSettings(int port)
{
    if (SerialPort* record = m_pPorts->Find(static_cast<unsigned>(port))) {
        m_pSettingsBar->ShowSettingsInBar(*record);
        m_pSettingsBar->EnableSettingsBar(!record->IsOpen());
        return;
    }
    m_pSettingsBar->EnableSettingsBar(true);
    PortSettings settings;
    if (LoadPortSettings(m_store, static_cast<unsigned>(port), settings))
        m_pSettingsBar->ShowSettingsInBar(settings);
    else
        m_pSettingsBar->ShowDefaultsInBar();
}

void CMainFrame::ShowMessage(const std::string& utf8)
{
    ShowMessage(QString::fromStdString(utf8));
}

void CMainFrame::ShowMessage(const QString& text)
{
    if (m_messageHook) {
        m_messageHook(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VRL"), text, QMessageBox::Ok, this);
    box.exec();
}

void CMainFrame::SetStatusNote(const QString& key, const QString& text, bool warning)
{
    auto it = m_statusNotes.find(key);
    if (text.isEmpty()) {
        if (it != m_statusNotes.end()) {
            delete it->second;
            m_statusNotes.erase(it);
        }
        return;
    }
    if (it == m_statusNotes.end()) {
        auto* label = new QLabel(statusBar());
        statusBar()->addPermanentWidget(label);
        it = m_statusNotes.emplace(key, label).first;
    }
    it->second->setText(text);
    it->second->setStyleSheet(warning ? QStringLiteral("color: rgb(200,0,0);") : QString());
}

QString CMainFrame::StatusNote(const QString& key) const
{
    auto it = m_statusNotes.find(key);
    return it == m_statusNotes.end() ? QString() : it->second->text();
}

void CMainFrame::ShowStatusMessage(const QString& text, int timeoutMs)
{
    statusBar()->showMessage(text, timeoutMs);
}

QString CMainFrame::AskFileName(bool open, const QString& title, const QString& defaultName, const QString& folder)
{
    if (m_askFileName)
        return m_askFileName(open, title, defaultName);
    const QString filter = QStringLiteral("Tarnwick Frame Files(*.tnf)");
    const QString dir = folder.isEmpty() ? m_lastFileFolder : folder;
    QFileDialog dialog(this, title, dir, filter);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("tnf"));
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName + QStringLiteral(".tnf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().first();
    m_lastFileFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

// --- Receive pipeline -------------------------------------------------------------------

void CMainFrame::OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes)
{
    m_inbox.Push(uiPortNo, std::move(bytes));
}

void CMainFrame::OnPortStopped(unsigned uiPortNo, std::string reason)
{
    m_inbox.PushStopped(uiPortNo, std::move(reason));
}

// Hands the waiting messages to the pipeline, which appends their lines in one edit of the
// monitor. A turn ends after kReceiveTurnMs, so that a flood leaves the window time to
// repaint and to take the user's input; the rest waits in the pipeline for the next turn,
// and while it waits the inbox fills and holds the workers back.
void CMainFrame::ProcessReceived()
{
    if (m_bShutDown)
        return;
    QElapsedTimer turn;
    turn.start();
    if (m_pipeline.ProcessTurn(m_inbox, [&turn] { return turn.elapsed() >= kReceiveTurnMs; }))
        m_pReceiveTimer->start();
}

void CMainFrame::OnReceiveData(unsigned port, const std::vector<std::uint8_t>& bytes)
{
    m_pipeline.OnReceiveData(port, bytes.data(), bytes.size());
}

void CMainFrame::AppendMonitorLine(const std::string& text, unsigned port, int direction)
{
    m_pipeline.AppendMonitorLine(text, port, direction);
}

void CMainFrame::BeginAppend()
{
    m_pView->BeginAppend();
}

void CMainFrame::EndAppend()
{
    m_pView->EndAppend();
}

void CMainFrame::AppendLine(const std::vector<MonitorPiece>& pieces)
{
    m_pView->BeginAppend();
    for (const MonitorPiece& piece : pieces)
        m_pView->AppendText(QString::fromUtf8(piece.m_text.data(), static_cast<qsizetype>(piece.m_text.size())),
                            piece.m_colour);
    m_pView->EndAppend();
}

bool CMainFrame::SendLine(int port, int line)
{
    return m_pSend->SendLine(port, line);
}

QString CMainFrame::GetLineText(int line) const
{
    return m_pSend->SendEdit()->GetLineText(line);
}

bool CMainFrame::WriteToPort(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    SerialPort* record = m_pPorts->Find(port);
    if (!record || !record->IsOpen())
        return false;
    return record->Write(bytes, count) == count;
}

CSendFrameWnd* CMainFrame::SendBar() const
{
    return m_pSend->SendBar();
}

void CMainFrame::SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time)
{
    m_pipeline.SetClocks(std::move(tick), std::move(time));
}

void CMainFrame::ShowStoppedPort(unsigned port, const std::string& reason)
{
    // News that arrives after the user closed the port concerns nothing any more: kept, it
    // would ask to close a closed port, and stay through its next open.
    if (m_pPorts->IsOpen(port))
        m_stoppedPorts[port] = QString::fromStdString(reason);
    if (m_stoppedPorts.empty()) {
        m_pReadyLabel->setText(ReadyText());
        m_pReadyLabel->setStyleSheet(QString());
        return;
    }
    QStringList parts;
    for (const auto& [p, why] : m_stoppedPorts)
        parts << QStringLiteral("%1 已停止接收（%2），请关闭后重新打开").arg(PortName(static_cast<int>(p)), why);
    m_pReadyLabel->setText(parts.join(QStringLiteral("；")));
    m_pReadyLabel->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
}

// --- Window placement -------------------------------------------------------------------

QSize CMainFrame::ScreenSize() const
{
    if (m_screenSize.isValid())
        return m_screenSize;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

void CMainFrame::PlaceWindow(int id)
{
    const QSize screen = ScreenSize();
    WindowRect r;
    if (!PlacementRect(id, screen.width(), screen.height(), r))
        return;
    if (isMaximized() || isFullScreen())
        showNormal();
    // The rectangle is the whole window's, title and borders included.
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    const int left = inner.left() - outer.left();
    const int top = inner.top() - outer.top();
    const int right = outer.right() - inner.right();
    const int bottom = outer.bottom() - inner.bottom();
    setGeometry(r.m_left + left, r.m_top + top, r.Width() - left - right, r.Height() - top - bottom);
}

bool CMainFrame::IsTopMost() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void CMainFrame::SetTopMost(bool topMost)
{
    if (IsTopMost() == topMost)
        return;
    const QRect where = geometry();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost); // hides the window
    setGeometry(where);
    if (visible)
        show();
}

void CMainFrame::ToggleTopMost()
{
    const bool topMost = !IsTopMost();
    SetTopMost(topMost);
    StoreTopMost(m_store, topMost);
}

void CMainFrame::RestorePlacement()
{
    const int left = m_store.ReadInt(kPlacementSection, "left", 0);
    const int top = m_store.ReadInt(kPlacementSection, "top", 0);
    const int right = m_store.ReadInt(kPlacementSection, "right", -1);
    const int bottom = m_store.ReadInt(kPlacementSection, "bottom", -1);
    // A stored rectangle is cut to the work area of its screen and moved onto it, so that a
    // hand-edited or corrupted value can neither hide the window nor make it huge.
    WindowRect placed;
    QScreen* screen = ScreenOfStoredRect(left, top, right);
    if (screen) {
        const QRect area = screen->availableGeometry();
        const WindowRect work{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
        if (!ClampStoredRect(left, top, right, bottom, work, kMinRestoredWidth, kMinRestoredHeight, placed))
            screen = nullptr;
    }
    if (screen) {
        setGeometry(QRect(placed.m_left, placed.m_top, placed.Width(), placed.Height()));
    } else {
        // First start: most of the work area, centred.
        QScreen* primary = QGuiApplication::primaryScreen();
        const QRect area = primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size(area.width() * 4 / 5, area.height() * 4 / 5);
        setGeometry(QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                  (area.height() - size.height()) / 2),
                          size));
    }
    const std::string state = m_store.ReadString(kLayoutSection, "State");
    if (!state.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    // The status bar is a bar like the others, but Qt's state leaves it out.
    statusBar()->setVisible(m_store.ReadInt(kLayoutSection, "StatusBar", 1) != 0);
}

void CMainFrame::SavePlacement()
{
    const QRect r = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    m_store.WriteInt(kPlacementSection, "left", r.left());
    m_store.WriteInt(kPlacementSection, "top", r.top());
    m_store.WriteInt(kPlacementSection, "right", r.left() + r.width());
    m_store.WriteInt(kPlacementSection, "bottom", r.top() + r.height());
    m_store.WriteString(kLayoutSection, "State", saveState().toBase64().toStdString());
    m_store.WriteInt(kLayoutSection, "StatusBar", statusBar()->isVisibleTo(this) ? 1 : 0);
}
