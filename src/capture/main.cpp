// vrl-capture: captures serial ports without a window (see CaptureOptions::HelpText).
#include "capture/CaptureOptions.h"
#include "capture/CaptureReplay.h"
#include "capture/CaptureScript.h"
#include "capture/CaptureSession.h"
#include "capture/CaptureTransfer.h"
#include "core/settings/IniSettingsStore.h"
#include "core/text/CoreText.h"
#include "core/text/QmCatalogue.h"
#include "core/text/UiLanguage.h"

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

// The window program's English catalogue, read without Qt; loaded once, before any worker.
QmCatalogue g_catalogue;

std::string Translate(const char* context, const char* source)
{
    std::string text = g_catalogue.Translate(context, source);
    return text.empty() ? std::string(source) : text;
}

void ApplyLanguage(UiLanguage::Choice choice)
{
    if (choice == UiLanguage::Choice::English && g_catalogue.IsEmpty())
        g_catalogue.Load(UiLanguage::CatalogueFolder(VRL_BUILD_TRANSLATIONS) + "/vrl_en.qm");
    CoreText::SetTranslator(choice == UiLanguage::Choice::English ? &Translate : nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    std::setlocale(LC_ALL, "");
    // The settings are read later: the locale chooses the language of --help and of misuse.
    ApplyLanguage(UiLanguage::FromEnvironment());
    const CaptureOptions options =
        CaptureOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.m_help) {
        std::fputs(CaptureOptions::HelpText().c_str(), stdout);
        std::fputs(CaptureOptions::TransferHelpText().c_str(), stdout);
        return 0;
    }
    if (options.m_version) {
        std::fputs(CaptureOptions::VersionText().c_str(), stdout);
        return 0;
    }
    if (!options.m_error.empty()) {
        std::fprintf(stderr, "vrl-capture: %s\n%s\n", options.m_error.c_str(),
                     VRL_TR("vrl-capture", "用 vrl-capture --help 查看用法。").c_str());
        return kExitUsage;
    }
    if (!options.m_folder.empty()) {
        struct stat st
        {
        };
        if (::stat(options.m_folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(
                stderr, "vrl-capture: %s\n",
                CoreText::Args(VRL_TR("vrl-capture", "文件夹“%1”不存在"), {options.m_folder})
                    .c_str());
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
    ApplyLanguage(UiLanguage::Decide(store));
    if (!options.m_replay.empty())
        return CaptureReplay(options, store).Run(signalFd);
    // A file transfer instead of a capture: the signals cancel it.
    if (options.IsTransfer())
        return CaptureTransfer(options, store, ::isatty(STDERR_FILENO) ? stderr : nullptr)
            .Run(signalFd);
    CaptureSession session(options, store, stdout, ::isatty(STDERR_FILENO) ? stderr : nullptr);
    if (!session.Open())
        return CaptureSession::kExitRuntime;
    CaptureScript scripts(session);
    if (!scripts.Start(options.m_scripts))
        return CaptureSession::kExitRuntime;
    const int status = session.Run(signalFd);
    scripts.StopAll();
    return status != 0 ? status : scripts.ExitStatus();
}
