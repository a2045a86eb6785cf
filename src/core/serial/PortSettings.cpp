#include "core/serial/PortSettings.h"

#include "core/text/CoreText.h"

#include "core/base/PortName.h"
#include "core/base/SettingsStore.h"
#include "core/text/HexText.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

namespace {

// Not ascending: the common rates first, as the settings bar has always listed them.
constexpr std::array<std::uint32_t, kBaudRateCount> kBaudRates = {
    600,  1200,  2400,  4800,  9600,  19200, 75,    110,   134,    150,    300,   1800,
    7200, 12000, 14400, 28800, 33600, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr int kDefaultBaudIndex = 4; // 9600

constexpr std::string_view kSection = "Settings";

// A digit's value in any base up to 16; 99 (no base accepts it) for other characters.
int DigitValue(char c)
{
    const int v = HexDigitValue(static_cast<unsigned char>(c));
    return v < 0 ? 99 : v;
}

// One conversion of the C "%i" rule at text[pos]: leading white space, optional sign, then
// 0x/0X hexadecimal, a leading 0 octal, or decimal. The value wraps modulo 2^32 as the
// stored 32-bit fields do. False when no digit was found.
bool ScanInt(std::string_view text, std::size_t& pos, std::uint32_t& value)
{
    std::size_t p = pos;
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p])))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    int base = 10;
    if (p < text.size() && text[p] == '0') {
        if (p + 2 < text.size() && (text[p + 1] == 'x' || text[p + 1] == 'X')
            && DigitValue(text[p + 2]) < 16) {
            base = 16;
            p += 2;
        } else {
            base = 8;
        }
    }
    std::uint32_t v = 0;
    const std::size_t first = p;
    while (p < text.size() && DigitValue(text[p]) < base) {
        v = v * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(DigitValue(text[p]));
        ++p;
    }
    if (p == first)
        return false;
    value = negative ? 0u - v : v;
    pos = p;
    return true;
}

} // namespace

std::uint32_t SettingFromIndex(int index, int kind)
{
    switch (kind) {
    case kBaudRate:
        return index >= 0 && index < kBaudRateCount ? kBaudRates[static_cast<std::size_t>(index)]
                                                    : kBaudRates[kDefaultBaudIndex];
    case kParity: return index >= 1 && index <= 4 ? static_cast<std::uint32_t>(index) : 0;
    case kDataBits: return index >= 1 && index <= 4 ? static_cast<std::uint32_t>(8 - index) : 8;
    case kStopBits: return index >= 1 && index <= 2 ? static_cast<std::uint32_t>(index) : 0;
    case kFlowControl: return index >= 1 && index <= 5 ? static_cast<std::uint32_t>(index) : 0;
    default: return 0;
    }
}

int IndexFromSetting(std::uint32_t value, int kind)
{
    switch (kind) {
    case kBaudRate:
        for (int i = 0; i < kBaudRateCount; ++i)
            if (kBaudRates[static_cast<std::size_t>(i)] == value)
                return i;
        return kDefaultBaudIndex;
    case kParity: return value >= 1 && value <= 4 ? static_cast<int>(value) : 0;
    case kDataBits: return value >= 4 && value <= 7 ? 8 - static_cast<int>(value) : 0;
    case kStopBits: return value >= 1 && value <= 2 ? static_cast<int>(value) : 0;
    case kFlowControl: return value >= 1 && value <= 5 ? static_cast<int>(value) : 0;
    default: return 0;
    }
}

std::string SettingText(std::uint32_t value, int kind, bool bFromIndex)
{
    switch (kind) {
    case kBaudRate:
    case kDataBits: {
        const std::uint32_t v =
            bFromIndex ? SettingFromIndex(static_cast<int>(value), kind) : value;
        return std::to_string(static_cast<std::int32_t>(v)); // "%d"
    }
    case kParity:
        switch (value) {
        case 1: return VRL_TR("PortSettings", "奇校验");
        case 2: return VRL_TR("PortSettings", "偶校验");
        case 3: return VRL_TR("PortSettings", "标志");
        case 4: return VRL_TR("PortSettings", "空");
        default: return VRL_TR("PortSettings", "无校验");
        }
    case kStopBits:
        switch (value) {
        case 1: return "1.5";
        case 2: return "2";
        default: return "1";
        }
    case kFlowControl:
        switch (value) {
        case 1: return "RTS/CTS";
        case 2: return "XON/XOFF";
        case 3: return "DTR/CTS";
        case 4: return "RTS/DSR";
        case 5: return "DTR/DSR";
        default: return VRL_TR("PortSettings", "无");
        }
    default: return {};
    }
}

std::uint32_t PackIntervalFromIndex(int index)
{
    if (index < 0)
        index = 0;
    return 20u * static_cast<std::uint32_t>(index + 1);
}

int IndexFromPackInterval(std::uint32_t ms)
{
    if (ms < 20)
        return 0;
    const std::uint32_t index = ms / 20 - 1;
    return index < kPackIntervalCount ? static_cast<int>(index) : kPackIntervalCount - 1;
}

std::string PortEntryName(unsigned uiPortNo)
{
    return PortName(uiPortNo);
}

bool LoadPortSettings(const SettingsStore& store, unsigned uiPortNo, PortSettings& settings)
{
    const std::string text = store.ReadString(kSection, PortEntryName(uiPortNo));
    if (text.empty())
        return false;

    // Stored order: data bits come before stop bits. Each value is stored as soon as it is
    // read, so a partial entry leaves the earlier fields changed.
    const auto assign = [&settings](std::size_t i, std::uint32_t v) {
        switch (i) {
        case 0: settings.m_dwBaudRate = v; break;
        case 1: settings.m_nParity = static_cast<int>(v); break;
        case 2: settings.m_nDataBits = static_cast<int>(v); break;
        case 3: settings.m_nStopBits = static_cast<int>(v); break;
        case 4: settings.m_nFlowControl = static_cast<int>(v); break;
        default: settings.m_dwPackInterval = v; break;
        }
    };
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ':')
                return false;
            ++pos;
        }
        std::uint32_t value = 0;
        if (!ScanInt(text, pos, value))
            return false;
        assign(i, value);
    }
    return true;
}

void SavePortSettings(SettingsStore& store, unsigned uiPortNo, const PortSettings& settings)
{
    char text[80];
    std::snprintf(text, sizeof text, "%i:%i:%i:%i:%i:%i", static_cast<int>(settings.m_dwBaudRate),
                  settings.m_nParity, settings.m_nDataBits, settings.m_nStopBits,
                  settings.m_nFlowControl, static_cast<int>(settings.m_dwPackInterval));
    store.WriteString(kSection, PortEntryName(uiPortNo), text);
}

unsigned LoadModemOutputs(const SettingsStore& store, unsigned uiPortNo)
{
    const int stored = store.ReadInt(kSection, PortEntryName(uiPortNo) + "Modem", 3);
    return static_cast<unsigned>(stored) & 3u;
}

void SaveModemOutputs(SettingsStore& store, unsigned uiPortNo, unsigned lines)
{
    store.WriteInt(kSection, PortEntryName(uiPortNo) + "Modem",
                   static_cast<std::int32_t>(lines & 3u));
}
