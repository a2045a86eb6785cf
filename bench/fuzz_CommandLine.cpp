// The command line comes from a shell, a desktop file or a script: arguments are the input
// split at NUL bytes. A parse either fails with a message or gives what the frame can use.
#include "core/base/PortName.h"
#include "core/serial/PortMap.h"
#include "core/settings/CommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const CommandLine cl = CommandLine::Parse(args);
    if (!cl.m_error.empty())
        return 0;
    for (const auto& [port, path] : cl.m_portPaths) {
        if (port >= PortMap::kPortCount || path.empty())
            std::abort();
        // What the parser accepted must be what the option's own parser gives back.
        unsigned again = 0;
        std::string pathAgain;
        if (!PortMap::ParsePortOption(PortName(port) + "=" + path, again, pathAgain)
            || again != port || pathAgain != path)
            std::abort();
    }
    if (!cl.m_monitorFile.empty() && cl.m_monitorFile.size() > size)
        std::abort();
    return 0;
}
