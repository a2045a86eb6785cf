#include "extcap/ExtcapQueries.h"

#include "core/text/CoreText.h"
#include "extcap/ExtcapOptions.h"

namespace {

// Braces end a field of a sentence: a text must not hold one.
std::string Field(std::string text)
{
    for (char& c : text)
        if (c == '{' || c == '}')
            c = '_';
    return text;
}

void Value(std::string& out, int arg, const std::string& value, const std::string& display,
           bool isDefault)
{
    out += "value {arg=" + std::to_string(arg) + "}{value=" + value + "}{display=" + Field(display)
           + "}" + (isDefault ? "{default=true}" : "") + "\n";
}

} // namespace

std::string ExtcapQueries::Interfaces(const std::vector<SerialDevice>& devices)
{
    std::string out =
        "extcap {version=1.0}{display=" + Field(VRL_TR("ExtcapQueries", "VRL 串口")) + "}\n";
    for (const SerialDevice& device : devices) {
        const std::string& node = device.node.empty() ? device.path : device.node;
        out += "interface {value=" + ExtcapOptions::InterfaceOf(node) + "}{display="
               + Field(CoreText::Args(VRL_TR("ExtcapQueries", "VRL 串口：%1"), {node})) + "}\n";
    }
    return out;
}

std::string ExtcapQueries::Dlts()
{
    return "dlt {number=" + std::to_string(kLinkType) + "}{name=RTAC_SERIAL}{display="
           + Field(VRL_TR("ExtcapQueries", "串口报文（RTAC 串行头）")) + "}\n";
}

std::string ExtcapQueries::Config(const std::string& device)
{
    std::string out;
    out += "arg {number=0}{call=--port}{display=" + Field(VRL_TR("ExtcapQueries", "串口"))
           + "}{type=string}{default=" + Field(device)
           + "}{tooltip=" + Field(VRL_TR("ExtcapQueries", "设备路径，如 /dev/ttyUSB0")) + "}\n";
    out += "arg {number=1}{call=--baud}{display=" + Field(VRL_TR("ExtcapQueries", "波特率"))
           + "}{type=unsigned}{range=50,100000000}{default=9600}\n";
    out += "arg {number=2}{call=--data-bits}{display=" + Field(VRL_TR("ExtcapQueries", "数据位"))
           + "}{type=selector}\n";
    for (int bits = 8; bits >= 5; --bits)
        Value(out, 2, std::to_string(bits), std::to_string(bits), bits == 8);
    out += "arg {number=3}{call=--parity}{display=" + Field(VRL_TR("ExtcapQueries", "校验位"))
           + "}{type=selector}\n";
    Value(out, 3, "none", VRL_TR("ExtcapQueries", "无"), true);
    Value(out, 3, "odd", VRL_TR("ExtcapQueries", "奇"), false);
    Value(out, 3, "even", VRL_TR("ExtcapQueries", "偶"), false);
    Value(out, 3, "mark", VRL_TR("ExtcapQueries", "标志"), false);
    Value(out, 3, "space", VRL_TR("ExtcapQueries", "空格"), false);
    out += "arg {number=4}{call=--stop-bits}{display=" + Field(VRL_TR("ExtcapQueries", "停止位"))
           + "}{type=selector}\n";
    Value(out, 4, "1", "1", true);
    Value(out, 4, "2", "2", false);
    out += "arg {number=5}{call=--interval}{display="
           + Field(VRL_TR("ExtcapQueries", "打包间隔（毫秒）")) + "}{type=unsigned}{range=0,60000}"
           + "{default=20}{tooltip="
           + Field(VRL_TR("ExtcapQueries", "线路静止这么久，一个报文（一个包）结束")) + "}\n";
    return out;
}
