#include "core/settings/CommandLine.h"

#include "core/text/CoreText.h"

#include "core/serial/PortMap.h"
#include "core/serial/SerialTransport.h"
#include "core/settings/OptionReader.h"

CommandLine CommandLine::Parse(const std::vector<std::string>& args)
{
    CommandLine cl;
    OptionReader reader;
    reader.Switch("--help", "-h", [&] { cl.m_help = true; });
    reader.Switch("--version", "-v", [&] { cl.m_version = true; });
    reader.Port(
        [&](unsigned port, const std::string& path) {
            SerialTransport::Endpoint endpoint;
            if (SerialTransport::IsRemote(path) && !SerialTransport::Parse(path, endpoint))
                return CoreText::Args(
                    VRL_TR(
                        "CommandLine",
                        "远程端口的地址格式不对：%1（应为 rfc2217://主机:端口 或 tcp://主机:端口）"),
                    {path});
            cl.m_portPaths.emplace_back(port, path);
            return std::string();
        },
        VRL_TR("CommandLine", "--port 后缺少 COMn=设备路径"));
    reader.Value(
        "--open", {},
        [&](const std::string& value) {
            unsigned port = 0;
            if (!PortMap::ParsePortName(value, port))
                return CoreText::Args(
                    VRL_TR("CommandLine", "串口参数格式不对：%1（应为 COMn，n 为 1 到 256）"),
                    {value});
            cl.m_openPorts.push_back(port);
            return std::string();
        },
        VRL_TR("CommandLine", "--open 后缺少串口（如 COM3）"));
    reader.Value(
        "--script", {},
        [&](const std::string& value) {
            cl.m_scripts.push_back(value);
            return std::string();
        },
        VRL_TR("CommandLine", "--script 后缺少脚本文件"));
    reader.Operands([&](const std::string& arg) {
        if (!cl.m_monitorFile.empty())
            return VRL_TR("CommandLine", "只能指定一个监视报文文件：") + arg;
        cl.m_monitorFile = arg;
        return std::string();
    });
    cl.m_error = reader.Read(args);
    return cl;
}

std::string CommandLine::HelpText()
{
    return ScriptHelpText(VRL_TR(
        "CommandLine",
        "用法: vrl [选项] [监视报文文件.tnf]\n"
        "VRL－串口监视工具：同时监视多个串口的通讯，也可向指定串口发送命令。\n"
        "\n"
        "选项:\n"
        "  --port COMn=路径   让 COMn 指向该设备（如 /dev/ttyUSB0、/dev/pts/3），可重复；设置被保存\n"
        "                     其他机器上的串口（ser2net）：rfc2217://主机:端口 或 tcp://主机:端口\n"
        "  --open COMn        启动时打开该串口（用它保存的参数），可重复\n"
        "  --help             显示本帮助并退出\n"
        "  --version          显示版本并退出\n"
        "\n"
        "给出的监视报文文件在启动时载入监视窗。\n"));
}

std::string CommandLine::ScriptHelpText(const std::string& help)
{
    return help
           + VRL_TR(
               "CommandLine",
               "  --script 文件.lua  打开脚本窗并运行该 Lua 脚本（在 --open 的串口打开之后），可重复\n");
}

std::string CommandLine::VersionText()
{
    return "VRL V6.72\n"
           + VRL_TR("CommandLine", "许可证 GPL-3.0-or-later：GNU 通用公共许可证第 3 版或更新的版本 "
                                   "<https://gnu.org/licenses/gpl.html>。\n"
                                   "本程序是自由软件：你可以自由地修改和重新发布它。\n"
                                   "在法律允许的范围内，不提供任何担保。\n");
}
