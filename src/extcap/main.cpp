// vrl-extcap: live serial capture in Wireshark through its extcap interface (see
// ExtcapQueries); installed into Wireshark's extcap folder.
#include "core/serial/SerialDeviceScanner.h"
#include "core/text/CoreText.h"
#include "core/text/QmCatalogue.h"
#include "core/text/UiLanguage.h"
#include "extcap/ExtcapCapture.h"
#include "extcap/ExtcapOptions.h"
#include "extcap/ExtcapQueries.h"

#include <clocale>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/signalfd.h>
#include <vector>

namespace {

QmCatalogue g_catalogue;

std::string Translate(const char* context, const char* source)
{
    std::string text = g_catalogue.Translate(context, source);
    return text.empty() ? std::string(source) : text;
}

// Wireshark's language is the environment's; the program's English catalogue is found beside
// an installed vrl, else in the build.
void ApplyLanguage()
{
    if (UiLanguage::FromEnvironment() != UiLanguage::Choice::English)
        return;
    std::string folder = UiLanguage::CatalogueFolder(VRL_BUILD_TRANSLATIONS);
    std::error_code error;
    if (!std::filesystem::exists(folder + "/vrl_en.qm", error))
        folder = VRL_INSTALLED_TRANSLATIONS;
    g_catalogue.Load(folder + "/vrl_en.qm");
    CoreText::SetTranslator(&Translate);
}

} // namespace

int main(int argc, char* argv[])
{
    std::setlocale(LC_ALL, "");
    ApplyLanguage();
    const ExtcapOptions options =
        ExtcapOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.m_help) {
        std::fputs(VRL_TR("vrl-extcap",
                          "用法: vrl-extcap --extcap-interfaces | --extcap-dlts | --extcap-config"
                          " | --capture --fifo 文件 --extcap-interface vrl-设备名 [--port 设备]\n"
                          "由 Wireshark 调用，在其接口列表中提供串口实时抓包。\n")
                       .c_str(),
                   stdout);
        return 0;
    }
    if (!options.m_error.empty()) {
        std::fprintf(stderr, "vrl-extcap: %s\n", options.m_error.c_str());
        return 2;
    }
    switch (options.m_query) {
    case ExtcapOptions::Query::Interfaces:
        std::fputs(ExtcapQueries::Interfaces(SerialDeviceScanner::Scan()).c_str(), stdout);
        return 0;
    case ExtcapOptions::Query::Dlts: std::fputs(ExtcapQueries::Dlts().c_str(), stdout); return 0;
    case ExtcapOptions::Query::Config:
        std::fputs(ExtcapQueries::Config(options.Device()).c_str(), stdout);
        return 0;
    default: break;
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN); // a closed fifo is a write error, not the end of the program
    ExtcapCapture capture(options);
    if (!capture.Open() || !capture.Run(signalFd)) {
        std::fprintf(stderr, "vrl-extcap: %s\n", capture.Error().c_str());
        return 1;
    }
    return 0;
}
