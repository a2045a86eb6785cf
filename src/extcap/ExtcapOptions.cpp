#include "extcap/ExtcapOptions.h"

#include "core/settings/OptionReader.h"
#include "core/text/CoreText.h"

#include <cctype>

namespace {

constexpr const char* kPrefix = "vrl-";

bool Number(const std::string& text, std::uint64_t max, std::uint64_t& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= max;
}

} // namespace

std::string ExtcapOptions::InterfaceOf(const std::string& device)
{
    const std::string dev = "/dev/";
    return kPrefix + (device.rfind(dev, 0) == 0 ? device.substr(dev.size()) : device);
}

std::string ExtcapOptions::DeviceOf(const std::string& interface)
{
    const std::string prefix = kPrefix;
    if (interface.rfind(prefix, 0) != 0)
        return {};
    const std::string rest = interface.substr(prefix.size());
    return rest.empty() || rest[0] == '/' ? rest : "/dev/" + rest;
}

ExtcapOptions ExtcapOptions::Parse(const std::vector<std::string>& args)
{
    ExtcapOptions o;
    OptionReader reader;
    const auto query = [&](Query q) { return [&o, q] { o.m_query = q; }; };
    reader.Switch("--extcap-interfaces", {}, query(Query::Interfaces));
    reader.Switch("--extcap-dlts", {}, query(Query::Dlts));
    reader.Switch("--extcap-config", {}, query(Query::Config));
    reader.Switch("--capture", {}, query(Query::Capture));
    reader.Switch("--help", "-h", [&] { o.m_help = true; });
    const auto keep = [](std::string& to) {
        return [&to](const std::string& value) {
            to = value;
            return std::string();
        };
    };
    reader.Value("--extcap-version", {}, keep(o.m_version));
    reader.Value("--extcap-interface", {}, keep(o.m_interface));
    reader.Value("--fifo", {}, keep(o.m_fifo));
    reader.Value("--port", {}, keep(o.m_port));
    // What Wireshark may pass that this capture has no use for.
    std::string ignored;
    reader.Value("--extcap-capture-filter", {}, keep(ignored));
    reader.Value("--extcap-control-in", {}, keep(ignored));
    reader.Value("--extcap-control-out", {}, keep(ignored));
    const auto bad = [](const char* what, const std::string& value) {
        return CoreText::Args(VRL_TR("ExtcapOptions", "%1不对：%2"), {what, value});
    };
    reader.Value("--baud", {}, [&](const std::string& value) {
        std::uint64_t n = 0;
        if (!Number(value, 100000000, n) || n == 0)
            return bad(VRL_TR("ExtcapOptions", "波特率").c_str(), value);
        o.m_baudRate = static_cast<std::uint32_t>(n);
        return std::string();
    });
    reader.Value("--data-bits", {}, [&](const std::string& value) {
        std::uint64_t n = 0;
        if (!Number(value, 8, n) || n < 5)
            return bad(VRL_TR("ExtcapOptions", "数据位").c_str(), value);
        o.m_dataBits = static_cast<int>(n);
        return std::string();
    });
    reader.Value("--parity", {}, [&](const std::string& value) {
        static const char* const kNames[] = {"none", "odd", "even", "mark", "space"};
        for (int i = 0; i < 5; ++i) {
            if (value == kNames[i]) {
                o.m_parity = i;
                return std::string();
            }
        }
        return bad(VRL_TR("ExtcapOptions", "校验位").c_str(), value);
    });
    reader.Value("--stop-bits", {}, [&](const std::string& value) {
        if (value != "1" && value != "2")
            return bad(VRL_TR("ExtcapOptions", "停止位").c_str(), value);
        o.m_stopBits = value == "2" ? 2 : 0;
        return std::string();
    });
    reader.Value("--interval", {}, [&](const std::string& value) {
        std::uint64_t n = 0;
        if (!Number(value, 60000, n))
            return bad(VRL_TR("ExtcapOptions", "打包间隔").c_str(), value);
        o.m_packInterval = static_cast<std::uint32_t>(n);
        return std::string();
    });
    o.m_error = reader.Read(args);
    if (!o.m_error.empty() || o.m_help)
        return o;
    const bool needsInterface =
        o.m_query == Query::Dlts || o.m_query == Query::Config || o.m_query == Query::Capture;
    if (o.m_query == Query::None)
        o.m_error = VRL_TR("ExtcapOptions", "没有给出要做的事（--extcap-interfaces 等）");
    else if (needsInterface && o.Device().empty())
        o.m_error = VRL_TR("ExtcapOptions", "没有给出接口（--extcap-interface vrl-设备名）");
    else if (o.m_query == Query::Capture && o.m_fifo.empty())
        o.m_error = VRL_TR("ExtcapOptions", "没有给出 --fifo");
    return o;
}
