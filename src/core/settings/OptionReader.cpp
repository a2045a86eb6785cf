#include "core/settings/OptionReader.h"

#include "core/text/CoreText.h"

#include "core/serial/PortMap.h"

void OptionReader::Switch(std::string longName, std::string shortName, std::function<void()> set)
{
    m_options.push_back({std::move(longName), std::move(shortName), false, std::move(set), {}, {}});
}

void OptionReader::Value(std::string longName, std::string shortName, Take take,
                         std::string missing)
{
    m_options.push_back(
        {std::move(longName), std::move(shortName), true, {}, std::move(take), std::move(missing)});
}

void OptionReader::Port(std::function<std::string(unsigned port, const std::string& path)> take,
                        std::string missing)
{
    Value(
        "--port", {},
        [take = std::move(take)](const std::string& value) {
            unsigned port = 0;
            std::string path;
            if (!PortMap::ParsePortOption(value, port, path))
                return CoreText::Args(
                    VRL_TR("OptionReader",
                           "端口参数格式不对：%1（应为 COMn=设备路径，n 为 1 到 256）"),
                    {value});
            return take(port, path);
        },
        std::move(missing));
}

void OptionReader::Operands(Take take)
{
    m_operands = std::move(take);
}

std::string OptionReader::Read(const std::vector<std::string>& args) const
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            error = m_operands(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            const Option* found = nullptr;
            std::string value;
            for (const Option& o : m_options) {
                if (arg == o.m_long || (!o.m_short.empty() && arg == o.m_short)) {
                    found = &o;
                    if (o.m_hasValue && i + 1 >= args.size())
                        return o.m_missing.empty()
                                   ? CoreText::Args(VRL_TR("OptionReader", "%1 后缺少值"), {arg})
                                   : o.m_missing;
                    if (o.m_hasValue)
                        value = args[++i];
                } else if (o.m_hasValue && arg.rfind(o.m_long + "=", 0) == 0) {
                    found = &o;
                    value = arg.substr(o.m_long.size() + 1);
                }
                if (found)
                    break;
            }
            if (!found)
                error = CoreText::Args(VRL_TR("OptionReader", "未知选项：%1"), {arg});
            else if (found->m_hasValue)
                error = found->m_take(value);
            else
                found->m_set();
        }
        if (!error.empty())
            return error;
    }
    return {};
}
