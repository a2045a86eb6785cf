#include "app/frame/MainFrm.h"

#include "app/commands/CommandRouter.h"
#include "app/files/MonitorFiles.h"
#include "app/forward/Forwarder.h"
#include "app/frame/AboutDlg.h"
#include "app/frame/FramePlacement.h"
#include "app/frame/LanguageChoice.h"
#include "app/frame/LockIndicators.h"
#include "app/modbus/ModbusDecoding.h"
#include "app/monitor/DlgFilter.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/monitor/TextTerminal.h"
#include "app/monitor/ViewChoices.h"
#include "app/monitor/ViewCommands.h"
#include "app/pcap/PcapngCommands.h"
#include "app/plot/Plotting.h"
#include "app/ports/LineControl.h"
#include "app/ports/PortControl.h"
#include "app/ports/PortRestore.h"
#include "app/ports/SettingsBar.h"
#include "app/script/ScriptDock.h"
#include "app/send/AutoSend.h"
#include "app/send/PortSender.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "app/transfer/TransferCommands.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortList.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"
#include "core/settings/IniSettingsStore.h"
#include "core/settings/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <vector>

// The images live in the library's resources, which a static library must register itself.
static void InitResources()
{
    Q_INIT_RESOURCE(vrl);
}

namespace {

constexpr int kIdleUpdateMs = 200;

} // namespace

// The frame's own commands, for the router: the port and option commands, the view's, the
// window commands.
class CMainFrame::FrameCommands : public CCommandTarget
{
public:
    explicit FrameCommands(CMainFrame& frame) : m_frame(frame) {}
    void OnCommand(int id) override { m_frame.OnFrameCommand(id); }
    void OnUpdateCommand(int id, CommandState& state) override
    {
        m_frame.OnUpdateFrameCommand(id, state);
    }

private:
    CMainFrame& m_frame;
};

CMainFrame::CMainFrame(SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_notices(*this), m_fileNames(*this),
      m_receiver(m_options, m_notices, [this] { return CurrentPort(); }),
      m_pFrameCommands(std::make_unique<FrameCommands>(*this)),
      m_pPlacement(std::make_unique<CFramePlacement>(*this, store))
{
    InitResources();
    setWindowTitle(QCoreApplication::translate("CMainFrame", "VRL－串口监视工具"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vrl.png")));
    m_pPortMap = std::make_unique<PortMap>(m_store);
    m_pPortMap->Discover();
    m_pPorts = std::make_unique<PortList>(m_store, *m_pPortMap, &m_receiver);
    m_pPorts->SetTap(&m_tap);

    m_pView = new CFrameMonitorView(this);
    setCentralWidget(m_pView);
    CreateBars();
    m_pRouter = new CCommandRouter(*this, *m_pToolBar, *m_pFrameCommands);
    m_pRouter->AddCommands(MonitorCommands(), nullptr);
    m_pRouter->AddCommands(CViewCommands::Commands(), new CViewCommands(*m_pView, this));
    m_pRouter->AddCommands(CViewChoices::Commands(), new CViewChoices(*this));
    m_pMonitorFiles = new CMonitorFiles(*this, *m_pView, m_store, m_notices, m_fileNames,
                                        [this] { RebuildMenus(); });
    m_pRouter->AddCommands(CMonitorFiles::Commands(), m_pMonitorFiles);
    m_pRouter->SetRecentFilesFiller(
        [this](QMenu* menu) { m_pMonitorFiles->FillRecentFiles(menu); });
    m_pSender = new CPortSender(*this, m_tap);
    m_receiver.Publisher().SetPartnerSource(
        [this](unsigned port) { return m_tap.OpenPartnerOf(port); });
    m_pSend = new CSendCommands(*this);
    m_pRouter->AddCommands(CSendCommands::Commands(), m_pSend);
    m_pRouter->AddCommands(CSendCommands::OptionCommands(), nullptr);
    m_pSend->SendEdit()->SetContextActions({m_pRouter->Action(ID_CHECK_LINE)});
    m_pAutoSend = new CAutoSend(*this);
    m_pRouter->AddCommands(CAutoSend::Commands(), m_pAutoSend);
    m_pForwarder = new CForwarder(*this, m_tap, *m_pSender);
    m_pRouter->AddCommands(CForwarder::Commands(), m_pForwarder);
    m_pLineControl = new CLineControl(*this, *m_pPorts, m_receiver.PortEnd());
    m_pRouter->AddCommands(CLineControl::Commands(), m_pLineControl);
    m_pPortRestore = new CPortRestore(*this, *m_pPorts, [this](unsigned port) {
        m_pPortControl->OnPortSelected(static_cast<int>(port));
        if (!IsPortOpen(static_cast<int>(port)))
            m_pPortControl->OnOpenPort();
    });
    m_pRouter->AddCommands(CPortRestore::Commands(), m_pPortRestore);
    m_pRouter->AddCommands(CLanguageChoice::Commands(), new CLanguageChoice(*this));
    CreateStatusBar();
    m_pPortControl = new CPortControl(*this, *m_pPorts, *m_pPortMap, m_receiver.PortEnd(),
                                      m_receiver.Turns().Inbox(), *m_pSettingsBar, *m_pLineControl,
                                      *m_pRouter, *m_pReadyLabel);
    m_pRouter->AddCommands(CPortControl::Commands(), m_pPortControl);
    m_receiver.Connect(*m_pView, *m_pLineControl, *m_pPortControl);
    m_pFilterDlg = new CDlgFilter(*this); // after the status bar: it may leave a note there
    m_pRouter->AddCommands(CDlgFilter::Commands(), m_pFilterDlg);
    auto* modbus = new CModbusDecoding(*this);
    m_pRouter->AddCommands(CModbusDecoding::Commands(), modbus);
    auto* pcapng =
        new CPcapngCommands(*this, [modbus](unsigned port) { return modbus->IsDecoding(port); });
    m_pRouter->AddCommands(CPcapngCommands::Commands(), pcapng);
    connect(m_pView, &CMonitorView::cleared, pcapng, &CPcapngCommands::OnMonitorCleared);
    auto* plotting = new CPlotting(*this, modbus->Decoders());
    m_pRouter->AddCommands(CPlotting::Commands(), plotting);
    m_pScripts = new CScriptDock(
        *this, [modbus](unsigned port) { return modbus->IsDecoding(port); },
        [this](const std::string& text) { m_receiver.AppendOwnLine(text, kColourScript); },
        [plotting](const std::string& name, double value, std::int64_t timeUs) {
            plotting->AddScriptValue(name, value, timeUs);
        });
    m_pRouter->AddCommands(CScriptDock::Commands(), m_pScripts);
    m_pRouter->AddCommands(CTextTerminal::Commands(), new CTextTerminal(*this, *m_pRouter));
    // File transfer (XMODEM, YMODEM) over the current port.
    m_pTransfer = new CTransferCommands(*this);
    m_pRouter->AddCommands(CTransferCommands::Commands(), m_pTransfer);

    const FrameStoredValues stored = FrameStoredValues::Load(m_store);
    m_pPortControl->ShowStoredPort(stored.m_comHis);
    m_options.SetFromCommon(stored.m_common);

    // Units with bars or docks of their own create them above this line, so that the
    // stored layout finds them; their command rows go in with AddCommands before
    // RebuildMenus below.
    m_pPlacement->Restore();
    // A settings file that could not be read was moved aside, not overwritten: say where.
    if (auto* ini = dynamic_cast<IniSettingsStore*>(&m_store);
        ini && !ini->SetAsideNote().empty()) {
        const QString note = QString::fromStdString(ini->SetAsideNote());
        QTimer::singleShot(0, this, [this, note] { ShowMessage(note); });
    }
    if (stored.m_common & FrameOptions::kTopMostBit)
        m_pPlacement->SetTopMost(true);

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

void CMainFrame::EndWithoutQuestions()
{
    m_bNoQuestions = true;
    const QString kept = m_pMonitorFiles->KeepUnsavedText();
    if (!kept.isEmpty())
        std::fprintf(stderr, "vrl: %s\n",
                     tr("未保存的监视报文已保存到 %1").arg(kept).toLocal8Bit().constData());
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_bShutDown && !m_bNoQuestions && !m_pMonitorFiles->MayClose()) {
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
    m_pTransfer->EndAtExit(); // while the ports and the pipeline it uses are there
    m_pIdleTimer->stop();
    m_pRouter->Stop();
    m_pScripts->StopAll(); // before the ports and their traffic

    auto* ini = dynamic_cast<IniSettingsStore*>(&m_store);
    if (ini)
        ini->BeginBatch();
    m_receiver.Turns().Stop();
    m_receiver.Turns().Inbox().SetReleased(true);
    m_pLineControl->SaveAtExit();
    m_pPortRestore->SaveAtExit();
    m_pPorts->CloseAll();
    if (auto* pcapng = findChild<CPcapngCommands*>()) // after the ports' last messages
        pcapng->EndAtExit();
    if (auto* plotting = findChild<CPlotting*>()) // before the decoders and the pipeline go
        plotting->EndAtExit();
    FrameStoredValues::Save(m_store, CurrentPort(), m_options, m_pMonitorFiles->AutoSaveDir(),
                            m_pMonitorFiles->AutoSaveMinutes());
    m_pSend->SaveAtExit();
    m_pFilterDlg->SaveAtExit();
    m_pMonitorFiles->SaveAtExit();
    m_pAutoSend->SaveAtExit();
    m_pPlacement->Save();
    if (ini)
        ini->EndBatch();
}

// --- Commands ---------------------------------------------------------------------------

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

void CMainFrame::OnUpdateFrameCommand(int id, CommandState& state)
{
    if (const int* flag = m_options.FlagForCommand(id)) {
        state.m_checked = *flag != 0;
        if (id == ID_ADD_CR || id == ID_ADD_STX || id == ID_ADD_ETX || id == ID_ADD_LF)
            state.m_enabled = m_options.m_ascSend != 0;
    }
    switch (id) {
    case ID_PAUSE:
        state.m_prompt = state.m_tip = m_options.m_paused ? tr("继续报文监视") : tr("暂停报文监视");
        state.m_text = m_options.m_paused ? tr("继续报文监视(&P)") : tr("暂停报文监视(&P)");
        // Messages that arrive while paused are not shown, nor kept for later.
        SetStatusNote(QStringLiteral("pause"), m_options.m_paused ? tr("暂停显示") : QString());
        break;
    case ID_ALWAYS_ON_TOP: state.m_checked = m_pPlacement->IsTopMost(); break;
    case ID_VIEW_TOOLBAR: state.m_checked = m_pToolBar->isVisibleTo(this); break;
    case ID_VIEW_STATUS_BAR: state.m_checked = statusBar()->isVisibleTo(this); break;
    case ID_SETTINGS_BAR: state.m_checked = m_pSettingsBar->isVisibleTo(this); break;
    default: break;
    }
}

void CMainFrame::OnFrameCommand(int id)
{
    if (id == ID_PAUSE) {
        // A capture must never pass for complete: the end of a pause says what it hid.
        const std::uint64_t hidden = Pipeline().TakePausedCount();
        m_options.Toggle(id);
        if (!m_options.m_paused && hidden > 0)
            AppendNoticeLine(tr("暂停显示期间有 %n 条报文未显示", nullptr,
                                static_cast<int>(std::min<std::uint64_t>(hidden, INT_MAX)))
                                 .toStdString());
        return;
    }
    if (m_options.Toggle(id))
        return;
    switch (id) {
    case ID_WINDOW_CENTER:
    case ID_WINDOW_TOP_HALF:
    case ID_WINDOW_BOTTOM_HALF:
    case ID_WINDOW_LEFT_HALF:
    case ID_WINDOW_RIGHT_HALF: m_pPlacement->PlaceWindow(id); return;
    case ID_ALWAYS_ON_TOP: m_pPlacement->ToggleTopMost(); return;
    case ID_VIEW_TOOLBAR: m_pToolBar->setVisible(!m_pToolBar->isVisibleTo(this)); return;
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(!statusBar()->isVisibleTo(this)); return;
    case ID_SETTINGS_BAR: m_pSettingsBar->setVisible(!m_pSettingsBar->isVisibleTo(this)); return;
    case ID_APP_ABOUT: {
        CAboutDlg dlg(this);
        dlg.exec();
        return;
    }
    case ID_APP_EXIT: close(); return;
    default: break;
    }
}

// --- Bars -------------------------------------------------------------------------------

void CMainFrame::CreateBars()
{
    m_pToolBar = new QToolBar(QCoreApplication::translate("CMainFrame", "工具栏"), this);
    m_pToolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_pToolBar->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, m_pToolBar);

    // A row of its own: beside the main toolbar it does not fit a window 800 pixels wide.
    addToolBarBreak(Qt::TopToolBarArea);
    m_pSettingsBar = new CSettingsBar(this);
    addToolBar(Qt::TopToolBarArea, m_pSettingsBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    m_pReadyLabel = new QLabel(bar); // the port control writes it
    bar->addWidget(m_pReadyLabel, 1);
    // A passing message (a menu prompt) is drawn where the label is: hide the label
    // meanwhile, or both texts show one over the other.
    connect(bar, &QStatusBar::messageChanged, m_pReadyLabel,
            [this](const QString& message) { m_pReadyLabel->setVisible(message.isEmpty()); });
    new CLockIndicators(bar);
}

// --- Ports ------------------------------------------------------------------------------

bool CMainFrame::IsPortOpen(int port) const
{
    return m_pPortControl->IsPortOpen(port);
}

SerialPort* CMainFrame::GetPortRecord(int port) const
{
    return m_pPortControl->GetPortRecord(port);
}

int CMainFrame::CurrentPort() const
{
    return m_pPortControl->CurrentPort();
}

void CMainFrame::OnPortSelected(int port)
{
    m_pPortControl->OnPortSelected(port);
}

void CMainFrame::ShowMessage(const QString& text)
{
    m_notices.ShowMessage(text);
}

void CMainFrame::SetStatusNote(const QString& key, const QString& text, bool warning)
{
    m_notices.SetStatusNote(key, text, warning);
}

QString CMainFrame::StatusNote(const QString& key) const
{
    return m_notices.StatusNote(key);
}

void CMainFrame::ShowStatusMessage(const QString& text, int timeoutMs)
{
    m_notices.ShowStatusMessage(text, timeoutMs);
}

QString CMainFrame::AskFileName(bool open, const QString& title, const QString& defaultName,
                                const QString& folder)
{
    return m_fileNames.Ask(open, title, defaultName, folder);
}

// --- Monitor and send side ------------------------------------------------------------

void CMainFrame::OnReceiveData(unsigned port, const std::vector<std::uint8_t>& bytes)
{
    m_receiver.Pipeline().OnReceiveData(port, bytes.data(), bytes.size());
}

void CMainFrame::AppendMonitorLine(const std::string& text, unsigned port, int direction)
{
    m_receiver.Pipeline().AppendMonitorLine(text, port, direction);
}

void CMainFrame::AppendNoticeLine(const std::string& text)
{
    m_receiver.AppendNoticeLine(text);
}

bool CMainFrame::SendLine(int port, int line)
{
    return m_pSend->SendLine(port, line);
}

QString CMainFrame::GetLineText(int line) const
{
    return m_pSend->SendEdit()->GetLineText(line);
}

QPlainTextEdit* CMainFrame::SendEditor() const
{
    return m_pSend->SendEdit();
}

CSendFrameWnd* CMainFrame::SendBar() const
{
    return m_pSend->SendBar();
}

void CMainFrame::SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time)
{
    m_receiver.Pipeline().SetClocks(std::move(tick), std::move(time));
}

bool CMainFrame::IsTopMost() const
{
    return m_pPlacement->IsTopMost();
}

void CMainFrame::SetScreenSize(QSize size)
{
    m_pPlacement->SetScreenSize(size);
}
