#pragma once
// What the window benchmarks do with the real main window before they measure.

#include "FramePorts.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vrlbench {

// Maps port (0-based) to path and opens it with the F5 command as the user would; a
// benchmark without its port measures nothing, so it ends here.
inline void OpenPortOrExit(CMainFrame& frame, int port, const std::string& path)
{
    if (!OpenPortOn(frame, port, QString::fromStdString(path))) {
        std::fprintf(stderr, "COM%d could not be opened\n", port + 1);
        std::exit(1);
    }
}

} // namespace vrlbench
