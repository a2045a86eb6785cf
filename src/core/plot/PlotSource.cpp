#include "core/plot/PlotSource.h"

#include "core/serial/PortMap.h"
#include "core/text/CoreText.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace {

std::vector<std::string_view> SplitColons(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t colon = text.find(':', at);
        parts.push_back(text.substr(at, colon - at));
        if (colon == std::string_view::npos)
            return parts;
        at = colon + 1;
    }
}

template <typename T> bool ReadUnsigned(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool ReadAddress(std::string_view text, ModbusTable& table, std::uint32_t& address)
{
    struct Prefix
    {
        std::string_view m_text;
        ModbusTable m_table;
    };
    static constexpr Prefix kPrefixes[] = {{"hr", ModbusTable::HoldingRegisters},
                                           {"ir", ModbusTable::InputRegisters},
                                           {"co", ModbusTable::Coils},
                                           {"di", ModbusTable::DiscreteInputs}};
    for (const Prefix& p : kPrefixes) {
        if (text.substr(0, 2) == p.m_text) {
            table = p.m_table;
            return ReadUnsigned(text.substr(2), address) && address <= 0xFFFF;
        }
    }
    // The numbering of the manuals: a digit for the table, then the address counted from 1.
    std::uint32_t number = 0;
    if ((text.size() != 5 && text.size() != 6) || !ReadUnsigned(text.substr(1), number)
        || number == 0 || number > 0x10000)
        return false;
    switch (text[0]) {
    case '0': table = ModbusTable::Coils; break;
    case '1': table = ModbusTable::DiscreteInputs; break;
    case '3': table = ModbusTable::InputRegisters; break;
    case '4': table = ModbusTable::HoldingRegisters; break;
    default: return false;
    }
    address = number - 1;
    return true;
}

bool ReadType(std::string_view text, PlotSource& source)
{
    static constexpr std::pair<std::string_view, RegisterType> kTypes[] = {
        {"int16", RegisterType::Int16},
        {"uint16", RegisterType::Uint16},
        {"int32", RegisterType::Int32},
        {"uint32", RegisterType::Uint32},
        {"float32", RegisterType::Float32}};
    for (const auto& [name, type] : kTypes) {
        if (text == name) {
            source.m_type = type;
            return true;
        }
    }
    source.m_type = RegisterType::Bit;
    return text.substr(0, 3) == "bit" && ReadUnsigned(text.substr(3), source.m_bit)
           && source.m_bit < 16;
}

std::string_view TypeText(const PlotSource& source)
{
    switch (source.m_type) {
    case RegisterType::Int16: return "int16";
    case RegisterType::Uint16: return "uint16";
    case RegisterType::Int32: return "int32";
    case RegisterType::Uint32: return "uint32";
    case RegisterType::Float32: return "float32";
    case RegisterType::Bit: break;
    }
    return "bit";
}

bool IsWide(RegisterType type)
{
    return type == RegisterType::Int32 || type == RegisterType::Uint32
           || type == RegisterType::Float32;
}

std::optional<std::uint16_t> ValueAt(const std::vector<ModbusValue>& values, std::uint32_t address)
{
    for (const ModbusValue& v : values)
        if (v.m_address == address)
            return v.m_value;
    return std::nullopt;
}

} // namespace

std::optional<PlotChannel> ParsePlotChannel(std::string_view text, std::string& error)
{
    PlotChannel channel;
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
        channel.m_name = std::string(text.substr(0, equals));
        text.remove_prefix(equals + 1);
    }
    const std::vector<std::string_view> parts = SplitColons(text);
    PlotSource& s = channel.m_source;
    if (parts.size() == 2 && parts[0] == "script" && !parts[1].empty()) {
        s.m_kind = PlotSource::Kind::Script;
        s.m_name = std::string(parts[1]);
    } else {
        if (parts.size() < 3 || !PortMap::ParsePortName(parts[0], s.m_port)) {
            error = VRL_TR("PlotSource", "曲线通道应以端口（如 COM1:）或 script:名称 开头");
            return std::nullopt;
        }
        if (parts[1] == "text" && parts.size() == 3 && !parts[2].empty()) {
            if (parts[2][0] == '#') {
                s.m_kind = PlotSource::Kind::TextNth;
                if (!ReadUnsigned(parts[2].substr(1), s.m_nth) || s.m_nth < 1) {
                    error = VRL_TR("PlotSource", "# 后的序号从 1 开始");
                    return std::nullopt;
                }
            } else {
                s.m_kind = PlotSource::Kind::TextNamed;
                s.m_name = std::string(parts[2]);
            }
        } else if (parts[1] == "modbus" && (parts.size() == 5 || parts.size() == 6)) {
            unsigned slave = 0;
            if (!ReadUnsigned(parts[2], slave) || slave < 1 || slave > 247) {
                error = VRL_TR("PlotSource", "从站地址应为 1 到 247");
                return std::nullopt;
            }
            s.m_slave = static_cast<std::uint8_t>(slave);
            if (!ReadAddress(parts[3], s.m_table, s.m_address)) {
                error = VRL_TR("PlotSource",
                               "地址应写成 40001、30001、00001、10001 或 hr0、ir0、co0、di0");
                return std::nullopt;
            }
            if (!ReadType(parts[4], s)) {
                error = VRL_TR("PlotSource",
                               "类型应为 int16、uint16、int32、uint32、float32 或 bit0 到 bit15");
                return std::nullopt;
            }
            if (parts.size() == 6) {
                if (parts[5] != "lh" && parts[5] != "hl") {
                    error = VRL_TR("PlotSource", "字序应为 hl（高字在前）或 lh");
                    return std::nullopt;
                }
                s.m_lowWordFirst = parts[5] == "lh";
            }
        } else {
            error =
                VRL_TR("PlotSource", "端口后应为 modbus:从站:地址:类型、text:名称 或 text:#序号");
            return std::nullopt;
        }
    }
    if (channel.m_name.empty())
        channel.m_name = std::string(text);
    return channel;
}

std::string PlotChannelText(const PlotChannel& channel)
{
    const PlotSource& s = channel.m_source;
    std::string text = channel.m_name + "=";
    if (s.m_kind == PlotSource::Kind::Script)
        return text + "script:" + s.m_name;
    text += "COM" + std::to_string(s.m_port + 1) + ":";
    if (s.m_kind == PlotSource::Kind::TextNamed)
        return text + "text:" + s.m_name;
    if (s.m_kind == PlotSource::Kind::TextNth)
        return text + "text:#" + std::to_string(s.m_nth);
    static constexpr std::pair<ModbusTable, std::string_view> kTables[] = {
        {ModbusTable::HoldingRegisters, "hr"},
        {ModbusTable::InputRegisters, "ir"},
        {ModbusTable::Coils, "co"},
        {ModbusTable::DiscreteInputs, "di"}};
    std::string_view table = "hr";
    for (const auto& [t, name] : kTables)
        if (t == s.m_table)
            table = name;
    text += "modbus:" + std::to_string(s.m_slave) + ":" + std::string(table)
            + std::to_string(s.m_address) + ":" + std::string(TypeText(s));
    if (s.m_type == RegisterType::Bit)
        text += std::to_string(s.m_bit);
    if (s.m_lowWordFirst)
        text += ":lh";
    return text;
}

std::optional<double> ReadRegisterValue(const ModbusRecord& record, const PlotSource& source)
{
    if (source.m_kind != PlotSource::Kind::Modbus || record.m_slave != source.m_slave
        || record.m_kind != RecordKind::Frame || record.m_check == CheckVerdict::Wrong
        || record.m_exception != 0 || record.m_table != source.m_table)
        return std::nullopt;
    const std::vector<ModbusValue>* values = nullptr;
    const bool answer = record.m_frame.m_form == ModbusForm::Response;
    switch (record.m_function) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 23:
        // An answer's addresses are known only from the request it answers.
        if (answer && record.m_start)
            values = &record.m_values;
        break;
    case 5:
    case 6:
        if (answer)
            values = &record.m_values;
        break;
    case 15:
    case 16:
        // What was written is in the request; the answer says it was taken.
        if (answer && record.m_paired)
            if (const auto* request = dynamic_cast<const ModbusRecord*>(record.m_request.get()))
                values = &request->m_values;
        break;
    default: break;
    }
    if (!values)
        return std::nullopt;
    const std::optional<std::uint16_t> first = ValueAt(*values, source.m_address);
    if (!first)
        return std::nullopt;
    if (!IsWide(source.m_type)) {
        switch (source.m_type) {
        case RegisterType::Int16: return static_cast<std::int16_t>(*first);
        case RegisterType::Bit:
            if (source.m_table == ModbusTable::Coils
                || source.m_table == ModbusTable::DiscreteInputs)
                return *first & 1;
            return (*first >> source.m_bit) & 1;
        default: return *first;
        }
    }
    const std::optional<std::uint16_t> second = ValueAt(*values, source.m_address + 1);
    if (!second)
        return std::nullopt;
    const std::uint32_t high = source.m_lowWordFirst ? *second : *first;
    const std::uint32_t low = source.m_lowWordFirst ? *first : *second;
    const std::uint32_t word = high << 16 | low;
    switch (source.m_type) {
    case RegisterType::Int32: return static_cast<std::int32_t>(word);
    case RegisterType::Uint32: return word;
    default: {
        float f;
        static_assert(sizeof f == sizeof word);
        std::memcpy(&f, &word, sizeof f);
        return f;
    }
    }
}
