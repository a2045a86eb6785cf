// vrl-capture: captures serial ports without a window (see CaptureOptions::HelpText).
#include "CaptureOptions.h"
#include "CaptureSession.h"
#include "IniSettingsStore.h"

#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitUsage = 2;

} // namespace

int main(int argc, char* argv[])
{
    std::setlocale(LC_ALL, "");
    const CaptureOptions options = CaptureOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.m_help) {
        std::fputs(CaptureOptions::HelpText().c_str(), stdout);
        return 0;
    }
    if (options.m_version) {
        std::fputs(CaptureOptions::VersionText().c_str(), stdout);
        return 0;
    }
    if (!options.m_error.empty()) {
        std::fprintf(stderr, "vrl-capture: %s\n用 vrl-capture --help 查看用法。\n", options.m_error.c_str());
        return kExitUsage;
    }
    if (!options.m_folder.empty()) {
        struct stat st{};
        if (::stat(options.m_folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(stderr, "vrl-capture: 文件夹“%s”不存在\n", options.m_folder.c_str());
            return CaptureSession::kExitRuntime;
        }
    }

    // The signals are taken from a descriptor, blocked before the ports' workers start so
    // that every thread leaves them to it.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN);

    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CaptureSession session(options, store, stdout, ::isatty(STDERR_FILENO) ? stderr : nullptr);
    if (!session.Open())
        return CaptureSession::kExitRuntime;
    return session.Run(signalFd);
}
