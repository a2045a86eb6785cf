#include "capture/CaptureOptions.h"

#include <algorithm>

#include "core/text/CoreText.h"

#include "core/base/PortName.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/settings/CommandLine.h"
#include "core/settings/OptionReader.h"
#include "core/text/TextEncoding.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace {

// The number in text (digits only) with at most `max`, or nothing.
std::optional<std::uint64_t> Number(const std::string& text, std::uint64_t max)
{
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// tio's names: none, hw (rts), sw (xon).
std::optional<int> FlowCode(const std::string& text)
{
    const std::string lower = Lower(text);
    if (lower == "none")
        return 0;
    if (lower == "rts" || lower == "hw" || lower == "rtscts")
        return 1;
    if (lower == "xon" || lower == "sw" || lower == "xonxoff")
        return 2;
    return std::nullopt;
}

std::optional<int> ParityCode(const std::string& text)
{
    static const char* const kNames[] = {"none", "odd", "even", "mark", "space"};
    const std::string lower = Lower(text);
    for (int i = 0; i < 5; ++i) {
        if (lower == kNames[i] || (lower.size() == 1 && lower[0] == kNames[i][0]))
            return i;
    }
    return std::nullopt;
}

// text with value in it, or nothing when the value is sound.
std::string Unless(bool sound, const std::string& text, const std::string& value)
{
    return sound ? std::string() : CoreText::Args(text, {value});
}

// The first port given more than once.
std::optional<unsigned> RepeatedPort(const std::vector<CaptureOptions::Port>& ports)
{
    for (std::size_t a = 0; a < ports.size(); ++a) {
        for (std::size_t b = a + 1; b < ports.size(); ++b) {
            if (ports[a].m_port == ports[b].m_port)
                return ports[a].m_port;
        }
    }
    return std::nullopt;
}

} // namespace

std::int64_t CaptureOptions::ParsePeriodMs(const std::string& text)
{
    if (text.size() < 2)
        return 0;
    const char unit = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
    std::int64_t scale = 0;
    switch (unit) {
    case 's': scale = 1000; break;
    case 'm': scale = 60 * 1000; break;
    case 'h': scale = 60 * 60 * 1000; break;
    case 'd': scale = 24 * 60 * 60 * 1000; break;
    default: return 0;
    }
    const auto n = Number(text.substr(0, text.size() - 1), 366 * 24 * 60 * 60);
    if (!n || *n == 0 || static_cast<std::int64_t>(*n) * scale > 366LL * 24 * 60 * 60 * 1000)
        return 0;
    return static_cast<std::int64_t>(*n) * scale;
}

std::uint64_t CaptureOptions::ParseSize(const std::string& text)
{
    if (text.empty())
        return 0;
    std::uint64_t scale = 1;
    std::string digits = text;
    switch (std::toupper(static_cast<unsigned char>(text.back()))) {
    case 'K': scale = 1ULL << 10; break;
    case 'M': scale = 1ULL << 20; break;
    case 'G': scale = 1ULL << 30; break;
    default: break;
    }
    if (scale != 1)
        digits.pop_back();
    const auto n = Number(digits, (1ULL << 50) / scale);
    return n ? *n * scale : 0;
}

namespace {

// The first --value channel whose port is not captured: its samples would never come.
std::optional<std::string> StrayChannel(const CaptureOptions& o)
{
    for (const PlotChannel& channel : o.m_values) {
        const bool captured = std::any_of(o.m_ports.begin(), o.m_ports.end(), [&](const auto& p) {
            return p.m_port == channel.m_source.m_port;
        });
        // A script's channel needs a script to give it values.
        if (channel.m_source.m_kind == PlotSource::Kind::Script ? o.m_scripts.empty() : !captured)
            return channel.m_name;
    }
    return std::nullopt;
}

} // namespace

CaptureOptions CaptureOptions::Parse(const std::vector<std::string>& args)
{
    CaptureOptions o;
    OptionReader reader;
    reader.Operands([&](const std::string& arg) {
        unsigned port = 0;
        std::string device;
        if (!PortMap::ParsePortName(arg, port) && !PortMap::ParsePortOption(arg, port, device))
            return CoreText::Args(
                VRL_TR("CaptureOptions",
                       "端口参数格式不对：%1（应为 COMn 或 COMn=设备路径，n 为 1 到 256）"),
                {arg});
        o.m_ports.push_back({port, device});
        return std::string();
    });
    reader.Switch("--help", "-h", [&] { o.m_help = true; });
    reader.Switch("--version", "-V", [&] { o.m_version = true; });
    reader.Switch("--quiet", "-q", [&] { o.m_quiet = true; });
    reader.Switch("--hex", {}, [&] { o.m_ascReceive = false; });
    reader.Switch("--asc", {}, [&] { o.m_ascReceive = true; });
    reader.Switch("--modbus", {}, [&] { o.m_modbus = true; });
    reader.Switch("--txt", {}, [&] { o.m_txt = true; });
    reader.Switch("--tnf", {}, [&] { o.m_tnf = true; });
    reader.Switch("--stdout", {}, [&] { o.m_stdout = true; });
    reader.Switch("--lines", "-l", [&] { o.m_lines = true; });
    reader.Port([&](unsigned port, const std::string& device) {
        o.m_ports.push_back({port, device});
        return std::string();
    });
    reader.Value("--baudrate", "-b", [&](const std::string& value) {
        const auto n = Number(value, 100000000);
        o.m_baudRate = static_cast<std::uint32_t>(n.value_or(0));
        return Unless(n && *n != 0, VRL_TR("CaptureOptions", "波特率不对：%1"), value);
    });
    reader.Value("--databits", "-d", [&](const std::string& value) {
        const auto n = Number(value, 8);
        o.m_dataBits = static_cast<int>(n.value_or(0));
        return Unless(n && *n >= 5, VRL_TR("CaptureOptions", "数据位不对：%1（5 到 8）"), value);
    });
    reader.Value("--parity", "-p", [&](const std::string& value) {
        o.m_parity = ParityCode(value);
        return Unless(o.m_parity.has_value(),
                      VRL_TR("CaptureOptions", "校验位不对：%1（none、odd、even、mark 或 space）"),
                      value);
    });
    reader.Value("--stopbits", "-s", [&](const std::string& value) {
        o.m_stopBits = value == "2" ? 2 : 0;
        return Unless(value == "1" || value == "2",
                      VRL_TR("CaptureOptions", "停止位不对：%1（1 或 2）"), value);
    });
    reader.Value("--flow", "-f", [&](const std::string& value) {
        o.m_flowControl = FlowCode(value);
        return Unless(o.m_flowControl.has_value(),
                      VRL_TR("CaptureOptions", "流控制不对：%1（none、rts 或 xon）"), value);
    });
    reader.Value("--interval", "-i", [&](const std::string& value) {
        const auto n = Number(value, 60000);
        o.m_packInterval = static_cast<std::uint32_t>(n.value_or(0));
        return Unless(n.has_value(),
                      VRL_TR("CaptureOptions", "打包间隔不对：%1（0 到 60000 毫秒）"), value);
    });
    reader.Value("--encoding", "-e", [&](const std::string& value) {
        o.m_encoding = TextEncoding::FromName(value);
        return Unless(o.m_encoding.has_value(),
                      VRL_TR("CaptureOptions", "文本编码不对：%1（utf-8、gbk 或 latin1）"), value);
    });
    reader.Value("--dir", "-o", [&](const std::string& value) {
        o.m_folder = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--dir 后缺少文件夹") : std::string();
    });
    reader.Value("--rotate", {}, [&](const std::string& value) {
        o.m_rotateMs = ParsePeriodMs(value);
        return Unless(o.m_rotateMs != 0,
                      VRL_TR("CaptureOptions", "换文件的周期不对：%1（如 30s、15m、1h、1d）"),
                      value);
    });
    reader.Value("--rotate-size", {}, [&](const std::string& value) {
        o.m_rotateBytes = ParseSize(value);
        return Unless(o.m_rotateBytes != 0,
                      VRL_TR("CaptureOptions", "换文件的大小不对：%1（如 500K、100M、2G）"), value);
    });
    // Wireshark.
    reader.Value("--pcapng", {}, [&](const std::string& value) {
        o.m_pcapng = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--pcapng 后缺少文件名") : std::string();
    });

    reader.Value("--replay", {}, [&](const std::string& value) {
        o.m_replay = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--replay 后缺少文件名") : std::string();
    });
    reader.Value("--speed", {}, [&](const std::string& value) {
        char* end = nullptr;
        o.m_speed = std::strtod(value.c_str(), &end);
        return Unless(!value.empty() && *end == '\0' && o.m_speed >= 0.1 && o.m_speed <= 10,
                      VRL_TR("CaptureOptions", "回放速度不对：%1（0.1 到 10）"), value);
    });

    reader.Value("--values", {}, [&](const std::string& value) {
        o.m_valuesPath = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--values 后缺少文件名") : std::string();
    });
    reader.Value("--value", {}, [&](const std::string& value) {
        std::string why;
        if (auto channel = ParsePlotChannel(value, why)) {
            o.m_values.push_back(std::move(*channel));
            return std::string();
        }
        return CoreText::Args(VRL_TR("CaptureOptions", "数值通道不对：%1（%2）"), {value, why});
    });
    reader.Value("--script", {}, [&](const std::string& value) {
        o.m_scripts.push_back(value);
        return value.empty() ? VRL_TR("CaptureOptions", "--script 后缺少脚本文件") : std::string();
    });
    // File transfer.
    reader.Value("--send-file", {}, [&](const std::string& value) {
        o.m_sendFile = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--send-file 后缺少文件") : std::string();
    });
    reader.Value("--receive-file", {}, [&](const std::string& value) {
        o.m_receiveFolder = value;
        return value.empty() ? VRL_TR("CaptureOptions", "--receive-file 后缺少文件夹")
                             : std::string();
    });
    reader.Value("--protocol", {}, [&](const std::string& value) {
        o.m_protocol = TransferProtocolFromName(value);
        return Unless(o.m_protocol.has_value(),
                      VRL_TR("CaptureOptions", "传送协议不对：%1（xmodem、xmodem1k 或 ymodem）"),
                      value);
    });
    o.m_error = reader.Read(args);
    if (!o.m_error.empty() || o.m_help || o.m_version)
        return o;
    if (o.IsTransfer() || o.m_protocol) {
        if (!o.m_sendFile.empty() && !o.m_receiveFolder.empty())
            o.m_error = VRL_TR("CaptureOptions", "--send-file 与 --receive-file 只能给出一个");
        else if (!o.IsTransfer())
            o.m_error = VRL_TR("CaptureOptions", "--protocol 需要 --send-file 或 --receive-file");
        else if (!o.m_protocol)
            o.m_error =
                VRL_TR("CaptureOptions", "传送文件需要 --protocol（xmodem、xmodem1k 或 ymodem）");
        else if (o.m_ports.size() != 1)
            o.m_error =
                VRL_TR("CaptureOptions", "传送文件需要一个串口（如 --port COM1=/dev/ttyUSB0）");
        else if (!o.m_folder.empty())
            o.m_error = VRL_TR("CaptureOptions", "传送文件时不能用 --dir");
        return o;
    }
    if (o.m_ports.empty())
        o.m_error =
            VRL_TR("CaptureOptions", "没有给出要监视的串口（如 COM1 或 COM1=/dev/ttyUSB0）");
    else if (o.m_folder.empty() && (o.m_txt || o.m_tnf || o.m_rotateMs || o.m_rotateBytes))
        o.m_error = VRL_TR("CaptureOptions", "--txt、--tnf 与换文件的选项需要 --dir 文件夹");
    else if (o.m_valuesPath.empty() != o.m_values.empty())
        o.m_error = VRL_TR("CaptureOptions", "--values 文件与 --value 通道需要一起给出");
    else if (const auto stray = StrayChannel(o))
        o.m_error = CoreText::Args(VRL_TR("CaptureOptions", "数值通道 %1 的串口不在要监视的串口中"),
                                   {*stray});
    else if (const auto twice = RepeatedPort(o.m_ports))
        o.m_error = CoreText::Args(VRL_TR("CaptureOptions", "%1 给出了两次"), {PortName(*twice)});
    else if (!o.m_replay.empty() && o.m_ports.size() != 1)
        o.m_error = VRL_TR("CaptureOptions", "--replay 需要且只需要一个串口（--port COMn=设备）");
    else if (!o.m_replay.empty() && (!o.m_folder.empty() || !o.m_pcapng.empty()))
        o.m_error = VRL_TR("CaptureOptions", "--replay 不能与 --dir、--pcapng 同时使用");
    else if (o.m_pcapng == "-" && o.m_stdout)
        o.m_error = VRL_TR("CaptureOptions", "--pcapng - 已占用标准输出，不能再用 --stdout");
    if (!o.m_folder.empty() && !o.m_txt && !o.m_tnf)
        o.m_txt = true;
    return o;
}

void CaptureOptions::ApplyLineSettings(PortSettings& settings) const
{
    if (m_baudRate)
        settings.m_dwBaudRate = *m_baudRate;
    if (m_dataBits)
        settings.m_nDataBits = *m_dataBits;
    if (m_parity)
        settings.m_nParity = *m_parity;
    if (m_stopBits)
        settings.m_nStopBits = *m_stopBits;
    if (m_flowControl)
        settings.m_nFlowControl = *m_flowControl;
}

std::string CaptureOptions::HelpText()
{
    return VRL_TR(
               "CaptureOptions",
               "用法: vrl-capture [选项] 串口...\n"
               "VRL 无窗口记录：同时监视多个串口，每条报文按监视窗的样子写成一行（时间精确到毫秒）。\n"
               "\n"
               "串口:\n"
               "  COMn               端口映射中 COMn 的设备（与 vrl 相同的设置文件）\n"
               "  COMn=路径          COMn 指向该设备（如 /dev/ttyUSB0），也可写成 --port COMn=路径\n"
               "\n"
               "线路设置（不给出时用设置文件中各串口的设置）:\n"
               "  -b, --baudrate N   波特率，如 115200\n"
               "  -d, --databits N   数据位 5 到 8\n"
               "  -p, --parity P     校验 none、odd、even、mark、space\n"
               "  -s, --stopbits N   停止位 1 或 2\n"
               "  -f, --flow F       流控制 none、rts（RTS/CTS）或 xon（XON/XOFF）\n"
               "  -i, --interval MS  打包间隔（毫秒）：线路静止这么久报文结束\n"
               "  -l, --lines        每个行尾（LF）结束一条报文；超过报文长度的行照常切开\n"
               "  --hex, --asc       报文以十六进制或字符显示（不给出时用设置文件中的显示选项）\n"
               "  -e, --encoding E   字符的编码 utf-8、gbk 或 latin1（不给出时用 vrl 的文本编码选择）\n"
               "  --modbus           每个串口都解析 MODBUS RTU 帧（不给出时按 vrl 中各串口的 MODBUS 解析开关）\n"
               "\n"
               "输出（不给出文件夹时写到标准输出）:\n"
               "  -o, --dir 文件夹   文件写到该文件夹，以开始的本地时间命名，如 20240103 090412.txt\n"
               "  --txt, --tnf       写纯文本 .txt（默认）和/或带颜色的 .tnf（vrl 与文字处理软件可打开）\n"
               "  --stdout           给出文件夹时也写到标准输出\n"
               "  --rotate 周期      按时钟每个周期换新文件，如 15m、1h、1d\n"
               "  --rotate-size 大小 文件超过该大小时在下一条报文后换新文件，如 300K、100M\n"
               "  -q, --quiet        终端上不显示每秒更新的状态行\n"
               "  -h, --help         显示本帮助并退出\n"
               "  -V, --version      显示版本并退出\n"
               "\n"
               "SIGINT、SIGTERM 结束记录并写完文件；SIGHUP 重新打开文件（供 logrotate 使用）。\n"
               "拔出的设备重新插入后自动重新打开。退出码: 0 正常，1 运行错误，2 参数错误。\n")
           + PcapngHelpText() + ValuesHelpText() + ScriptHelpText();
}

std::string CaptureOptions::ScriptHelpText()
{
    return VRL_TR(
        "CaptureOptions",
        "\n"
        "脚本:\n"
        "  --script 文件.lua  在这些串口上运行 Lua 脚本（可给出多次）；脚本调用 vrl.exit、\n"
        "                     或返回后不再有处理函数和定时器时结束。有检查失败或脚本出错\n"
        "                     时退出码为 1，错误与行号写到标准错误。\n");
}

std::string CaptureOptions::ValuesHelpText()
{
    return VRL_TR(
        "CaptureOptions",
        "\n"
        "数值（曲线）:\n"
        "  --values 文件.csv  把 --value 通道的数值写成 CSV：每个时刻一行，每个通道一列\n"
        "  --value 通道       [名称=]COMn:modbus:从站:地址:类型[:lh]（地址如 40001，类型 int16、\n"
        "                     uint16、int32、uint32、float32、bit0 到 bit15），或 [名称=]COMn:text:名称\n"
        "                     （行中的 名称:数值），或 [名称=]COMn:text:#n（行中第 n 个数）\n");
}

std::string CaptureOptions::PcapngHelpText()
{
    return VRL_TR(
        "CaptureOptions",
        "\n"
        "Wireshark:\n"
        "  --pcapng 文件      同时把每条报文连同时间写成 pcapng 文件（Wireshark 可打开），\n"
        "                     随文本文件换新文件；- 写到标准输出（文本则不写到标准输出）\n"
        "  --replay 文件 --port COMn=设备 [--speed 倍数]\n"
        "                     把 pcapng 文件中 COMn 收到的数据按原来的间隔写入设备，\n"
        "                     速度 0.1 到 10 倍（默认 1）；Ctrl+C 停止\n");
}

std::string CaptureOptions::TransferHelpText()
{
    return VRL_TR(
        "CaptureOptions",
        "\n"
        "传送文件（代替记录，只用一个串口）:\n"
        "  --send-file 文件     用 --protocol 的协议发送文件，如给单片机的引导程序\n"
        "  --receive-file 文件夹 接收文件到该文件夹（XMODEM 不带文件名：以开始时间命名）\n"
        "  --protocol P         xmodem（128 字节块）、xmodem1k（1024 字节块）或 ymodem\n"
        "  退出码 0 表示传送完成；1 表示失败，原因（已传送多少块）写到标准错误。\n"
        "  收到的文件先写在旁边再改名，已有的同名文件不会被覆盖；其路径写到标准输出。\n");
}

std::string CaptureOptions::VersionText()
{
    return "vrl-capture " + CommandLine::VersionText().substr(4);
}
