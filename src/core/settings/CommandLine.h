#pragma once

#include <string>
#include <utility>
#include <vector>

// What the command line asks for: an optional monitor file, COM numbers pointed at
// devices (--port COMn=PATH, repeatable), ports to open at start (--open COMn, repeatable),
// --help and --version.
struct CommandLine
{
    std::string m_monitorFile;
    std::vector<std::pair<unsigned, std::string>> m_portPaths; // 0-based port, device path
    std::vector<unsigned> m_openPorts;                         // 0-based, in the order given
    // --script: Lua scripts run once the ports of --open are open.
    std::vector<std::string> m_scripts;
    bool m_help = false;
    bool m_version = false;
    std::string m_error; // UTF-8; empty when the command line is sound

    // args: the arguments after the program name, UTF-8.
    static CommandLine Parse(const std::vector<std::string>& args);

    static std::string HelpText();
    // help with the part on --script after it.
    static std::string ScriptHelpText(const std::string& help);
    // The version and the licence, in the form GNU tools give them.
    static std::string VersionText();
};
