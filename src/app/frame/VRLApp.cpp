#include "app/frame/VRLApp.h"

#include "app/files/MonitorFiles.h"
#include "app/frame/Language.h"
#include "app/frame/MainFrm.h"
#include "app/ports/PortRestore.h"
#include "app/script/ScriptDock.h"
#include "core/serial/PortMap.h"
#include "core/settings/CommandLine.h"
#include "core/settings/IniSettingsStore.h"
#include "core/text/CoreText.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

CMainFrame* g_pMainFrame = nullptr;
int g_signalFds[2] = {-1, -1};

void OnTerminateSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

// How many arguments an option of Qt's takes up (the option and its value), 0 for any other
// argument. Qt reads these itself while the application object is made; like Qt, a double
// dash is taken as a single one.
int ToolkitOptionLength(const char* argument)
{
    static const char* const kWithValue[] = {"platform",        "platformpluginpath",
                                             "platformtheme",   "plugin",
                                             "qwindowgeometry", "geometry",
                                             "qwindowtitle",    "title",
                                             "qwindowicon",     "icon",
                                             "display",         "name",
                                             "visual",          "session",
                                             "style",           "stylesheet"};
    static const char* const kFlags[] = {"reverse", "testability", "widgetcount", "nograb",
                                         "dograb"};
    static const char* const kJoined[] = {"style=", "stylesheet=", "qmljsdebugger="};
    if (argument[0] != '-')
        return 0;
    const char* name = argument + (argument[1] == '-' ? 2 : 1);
    for (const char* option : kWithValue) {
        if (std::strcmp(name, option) == 0)
            return 2;
    }
    for (const char* option : kFlags) {
        if (std::strcmp(name, option) == 0)
            return 1;
    }
    for (const char* option : kJoined) {
        if (std::strncmp(name, option, std::strlen(option)) == 0)
            return 1;
    }
    return 0;
}

bool IsEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return !value || !*value;
}

void PrintUsageError(const std::string& error)
{
    std::fprintf(stderr, "vrl: %s\n%s\n", error.c_str(),
                 VRL_TR("CVRLApp", "用 vrl --help 查看用法。").c_str());
}

} // namespace

CVRLApp::CVRLApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("VRL"));
    setOrganizationName(QStringLiteral("Tellumar"));
    setApplicationVersion(QStringLiteral("6.72"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vrl.png")));
}

CVRLApp::~CVRLApp()
{
    ExitInstance();
}

int CVRLApp::HandleEarlyArguments(int argc, char** argv)
{
    // The settings are not read yet: the locale chooses the language of --help and of the
    // usage errors.
    CLanguage::Apply(UiLanguage::FromEnvironment());
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CommandLine::HelpText().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::fputs(CommandLine::VersionText().c_str(), stdout);
            return 0;
        }
    }
    // Without Qt's own options what is left must be a sound command line of the program;
    // it is checked in full here, so that a mistake is reported without a display.
    std::vector<std::string> own;
    bool optionsEnded = false;
    bool displayGiven = false; // -platform or -display
    for (int i = 1; i < argc; ++i) {
        if (!optionsEnded) {
            if (std::strcmp(argv[i], "--") == 0) {
                optionsEnded = true;
            } else if (const int taken = ToolkitOptionLength(argv[i]); taken > 0) {
                displayGiven = displayGiven || std::strstr(argv[i], "platform")
                               || std::strstr(argv[i], "display");
                i += taken - 1;
                continue;
            }
        }
        own.emplace_back(argv[i]);
    }
    const CommandLine cl = CommandLine::Parse(own);
    if (!cl.m_error.empty()) {
        PrintUsageError(cl.m_error);
        return 2;
    }
    // Qt would abort without a display (and leave a core dump); say so plainly instead.
    if (!displayGiven && IsEmptyEnv("DISPLAY") && IsEmptyEnv("WAYLAND_DISPLAY")
        && IsEmptyEnv("QT_QPA_PLATFORM")) {
        std::fputs(VRL_TR("CVRLApp",
                          "vrl: 没有可用的显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。\n"
                          "在图形桌面中启动 VRL，或用 xvfb-run 在虚拟屏幕上运行。\n")
                       .c_str(),
                   stderr);
        return 1;
    }
    return -1;
}

bool CVRLApp::InitInstance()
{
    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments(); // Qt's own options removed
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i].toStdString());
    const CommandLine cl = CommandLine::Parse(args);
    if (!cl.m_error.empty()) {
        PrintUsageError(cl.m_error);
        m_nExitCode = 2;
        return false;
    }

    m_pStore = std::make_unique<IniSettingsStore>(IniSettingsStore::DefaultPath());
    if (!CLanguage::Apply(UiLanguage::Decide(*m_pStore)))
        std::fprintf(stderr, "vrl: 找不到英文界面文件 / no English catalogue: %s/vrl_en.qm\n",
                     qPrintable(CLanguage::CatalogueFolder()));
    if (!cl.m_portPaths.empty()) {
        PortMap map(*m_pStore);
        for (const auto& [port, path] : cl.m_portPaths)
            map.SetPath(port, path);
    }

    QuitOnTerminateSignals();
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pStore);
    g_pMainFrame = m_pMainFrame.get();
    m_pMainFrame->show();
    m_pMainFrame->activateWindow();

    if (!cl.m_monitorFile.empty())
        m_pMainFrame->MonitorFiles()->OpenMonitorFile(
            QFileInfo(QString::fromStdString(cl.m_monitorFile)).absoluteFilePath());
    m_pMainFrame->PortRestore()->OpenAtStart(cl.m_openPorts);
    m_pMainFrame->Scripts()->RunAtStart(cl.m_scripts);
    return true;
}

// SIGTERM (logout, kill) and SIGINT (Ctrl+C in the terminal) end the program the normal way,
// so that the ports are closed and the settings stored as when the window is closed.
void CVRLApp::QuitOnTerminateSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalFds[1], &byte, 1);
        if (g_pMainFrame)
            g_pMainFrame->EndWithoutQuestions();
        QCoreApplication::quit();
    });
    struct sigaction action
    {
    };
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void CVRLApp::ExitInstance()
{
    g_pMainFrame = nullptr;
    m_pMainFrame.reset();
    m_pStore.reset();
}

CMainFrame* CVRLApp::GetMainFrame()
{
    return g_pMainFrame;
}
