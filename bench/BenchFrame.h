#pragma once
// What the window benchmarks do with the real main window before they measure.

#include "FramePorts.h"
#include "core/base/PortName.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>

namespace vrlbench {

// Maps port (0-based) to path and opens it with the F5 command as the user would; a
// benchmark without its port measures nothing, so it ends here.
inline void OpenPortOrExit(CMainFrame& frame, int port, const std::string& path)
{
    if (!OpenPortOn(frame, port, QString::fromStdString(path))) {
        std::fprintf(stderr, "%s could not be opened\n", PortName(port).c_str());
        std::exit(1);
    }
}

// Seconds on a clock of clock_gettime: CLOCK_THREAD_CPUTIME_ID for the calling thread's CPU
// (the window thread's, called there), CLOCK_PROCESS_CPUTIME_ID for the whole program's.
inline double ClockSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

} // namespace vrlbench
