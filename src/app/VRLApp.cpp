#include "VRLApp.h"

#include "CommandLine.h"
#include "IniSettingsStore.h"
#include "MainFrm.h"
#include "PortMap.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
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

void PrintUsageError(const std::string& error)
{
    std::fprintf(stderr, "vrl: %s\n用 vrl --help 查看用法。\n", error.c_str());
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
    // The program's own options, checked again in full once Qt has taken its own.
    std::vector<std::string> own;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--port") == 0 || std::strncmp(argv[i], "--port=", 7) == 0) {
            own.emplace_back(argv[i]);
            if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc)
                own.emplace_back(argv[++i]);
        }
    }
    const CommandLine cl = CommandLine::Parse(own);
    if (!cl.m_error.empty()) {
        PrintUsageError(cl.m_error);
        return 2;
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
        m_pMainFrame->OpenMonitorFile(QFileInfo(QString::fromStdString(cl.m_monitorFile)).absoluteFilePath());
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
    struct sigaction action {};
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
