#include "app/script/ScriptDock.h"

#include "app/host/FrameHost.h"
#include "app/script/ScriptPage.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

const CommandInfo kCommands[] = {
    {ID_SCRIPT, QT_TRANSLATE_NOOP("Command", "脚本..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "打开脚本窗：编写、打开并运行驱动和应答设备的 Lua 脚本"),
     QT_TRANSLATE_NOOP("Command", "脚本"), nullptr, false},
};

const QString kNoteKey = QStringLiteral("script");
constexpr const char* kSection = "Scripts";
constexpr int kRecentCount = 6;
constexpr int kDecodeLookMs = 250;

std::string RecentName(int i)
{
    return "Recent" + std::to_string(i + 1);
}

} // namespace

CScriptDock::CScriptDock(CFrameHost& host, std::function<bool(unsigned)> decodes,
                         std::function<void(const std::string&)> logLine, Plotter plot)
    : QObject(host.Window()), m_host(host), m_decodes(std::move(decodes)),
      m_logLine(std::move(logLine)), m_plot(std::move(plot)),
      m_pDock(new QDockWidget(QCoreApplication::translate("CScriptDock", "脚本"), host.Window())),
      m_pTabs(new QTabWidget(m_pDock)), m_pDecodeTimer(new QTimer(this))
{
    m_pDock->setObjectName(QStringLiteral("ScriptDock"));
    m_pTabs->setTabsClosable(true);
    m_pTabs->setDocumentMode(true);
    auto* add = new QToolButton(m_pTabs);
    add->setText(QStringLiteral("+"));
    add->setToolTip(QCoreApplication::translate("CScriptDock", "新脚本"));
    connect(add, &QToolButton::clicked, this, [this] { m_pTabs->setCurrentWidget(AddPage()); });
    m_pTabs->setCornerWidget(add, Qt::TopRightCorner);
    connect(m_pTabs, &QTabWidget::tabCloseRequested, this, &CScriptDock::ClosePage);
    m_pDock->setWidget(m_pTabs);
    host.Window()->addDockWidget(Qt::BottomDockWidgetArea, m_pDock);
    m_pDock->hide();
    AddPage();
    for (int i = 0; i < kRecentCount; ++i) {
        const std::string path = host.Store().ReadString(kSection, RecentName(i), "");
        if (!path.empty())
            m_recent << QString::fromStdString(path);
    }
    m_pDecodeTimer->setInterval(kDecodeLookMs);
    connect(m_pDecodeTimer, &QTimer::timeout, this, &CScriptDock::LookAtDecoding);
}

CScriptDock::~CScriptDock() = default;

std::span<const CommandInfo> CScriptDock::Commands()
{
    return kCommands;
}

void CScriptDock::OnCommand(int id)
{
    if (id == ID_SCRIPT)
        ShowDock();
}

void CScriptDock::OnUpdateCommand(int, CommandState&) {}

void CScriptDock::ShowDock()
{
    m_pDock->show();
    m_pDock->raise();
    if (auto* page = qobject_cast<CScriptPage*>(m_pTabs->currentWidget()))
        page->setFocus();
}

void CScriptDock::RunAtStart(const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
        // A new script nobody has typed into takes the first file.
        auto* page = qobject_cast<CScriptPage*>(m_pTabs->currentWidget());
        if (!page || !page->IsPristine())
            page = AddPage();
        m_pTabs->setCurrentWidget(page);
        if (page->Open(QFileInfo(QString::fromStdString(file)).absoluteFilePath()))
            page->Run();
    }
    if (!files.empty())
        ShowDock();
}

void CScriptDock::StopAll()
{
    while (m_pTabs->count() > 0) {
        QWidget* page = m_pTabs->widget(0);
        m_pTabs->removeTab(0);
        delete page; // its script ends and its thread is joined
    }
    UpdateNote();
}

CScriptPage* CScriptDock::AddPage()
{
    auto* page = new CScriptPage(*this, m_pTabs);
    m_pTabs->addTab(page, page->Title());
    connect(page, &CScriptPage::TitleChanged, this, [this, page] {
        const int index = m_pTabs->indexOf(page);
        if (index >= 0)
            m_pTabs->setTabText(index, page->Title());
    });
    return page;
}

void CScriptDock::ClosePage(int index)
{
    auto* page = qobject_cast<CScriptPage*>(m_pTabs->widget(index));
    if (!page || !page->MayClose())
        return;
    m_pTabs->removeTab(index);
    delete page;
    if (m_pTabs->count() == 0)
        AddPage();
    UpdateNote();
}

bool CScriptDock::DecodesModbus(unsigned port) const
{
    return port < m_modbusOn.size() && m_modbusOn[port].load();
}

void CScriptDock::LookAtDecoding()
{
    for (unsigned port = 0; port < m_modbusOn.size(); ++port)
        m_modbusOn[port] = m_decodes(port);
}

void CScriptDock::AddRecent(const QString& path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kRecentCount)
        m_recent.removeLast();
    for (int i = 0; i < kRecentCount; ++i)
        m_host.Store().WriteString(kSection, RecentName(i),
                                   i < m_recent.size() ? m_recent[i].toStdString() : "");
}

void CScriptDock::FillOpenMenu(QMenu* menu, CScriptPage* page)
{
    menu->clear();
    for (const QString& path : m_recent) {
        connect(menu->addAction(QDir::toNativeSeparators(path)), &QAction::triggered, page,
                [page, path] { page->Open(path); });
    }
    if (m_recent.isEmpty())
        menu->addAction(QCoreApplication::translate("CScriptDock", "（没有最近的脚本）"))
            ->setEnabled(false);
    QMenu* examples = menu->addMenu(QCoreApplication::translate("CScriptDock", "示例"));
    for (const QString& folder : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                           QStringLiteral("vrl/scripts"),
                                                           QStandardPaths::LocateDirectory)) {
        for (const QFileInfo& file :
             QDir(folder).entryInfoList({QStringLiteral("*.lua")}, QDir::Files, QDir::Name)) {
            const QString path = file.absoluteFilePath();
            connect(examples->addAction(file.fileName()), &QAction::triggered, page,
                    [page, path] { page->Open(path); });
        }
    }
    examples->setEnabled(!examples->isEmpty());
}

void CScriptDock::UpdateNote()
{
    QStringList running;
    for (int i = 0; i < m_pTabs->count(); ++i) {
        auto* page = qobject_cast<CScriptPage*>(m_pTabs->widget(i));
        if (page && page->IsRunning())
            running << page->Title();
    }
    // MODBUS records for the scripts' messages are looked at only while a script runs.
    if (running.isEmpty()) {
        m_pDecodeTimer->stop();
    } else if (!m_pDecodeTimer->isActive()) {
        LookAtDecoding();
        m_pDecodeTimer->start();
    }
    m_host.SetStatusNote(
        kNoteKey, running.isEmpty() ? QString()
                                    : QCoreApplication::translate("CScriptDock", "脚本运行中：%1")
                                          .arg(running.join(QStringLiteral("、"))));
}
