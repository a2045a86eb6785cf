#pragma once

#include <cstdint>
#include <string>

class SettingsStore;

// The six settings of a serial port, with their defaults. SerialPort carries them as its
// own fields; the settings bar and the stored "COM%d" entries convert to and from them.
struct PortSettings
{
    std::uint32_t m_dwBaudRate = 9600;
    int m_nParity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int m_nStopBits = 0;     // 0 one, 1 one and a half, 2 two
    int m_nDataBits = 8;     // 4 to 8
    int m_nFlowControl = 0;  // 0 none, 1 RTS/CTS, 2 XON/XOFF, 3 DTR/CTS, 4 RTS/DSR, 5 DTR/DSR
    std::uint32_t m_dwPackInterval = 20; // milliseconds

    bool operator==(const PortSettings&) const = default;
};

// Choice-list kinds of the settings bar.
enum PortSettingKind { kBaudRate = 0, kParity = 1, kDataBits = 2, kStopBits = 3, kFlowControl = 4 };

constexpr int kBaudRateCount = 23;
constexpr int kPackIntervalCount = 15;

std::uint32_t SettingFromIndex(int index, int kind);
int IndexFromSetting(std::uint32_t value, int kind);
std::string SettingText(std::uint32_t value, int kind, bool bFromIndex);

// Packing interval list: position i holds 20(i+1) ms.
std::uint32_t PackIntervalFromIndex(int index);
int IndexFromPackInterval(std::uint32_t ms);

// Stored form: section "Settings", entry "COM%d" (uiPortNo+1), value "%i:%i:%i:%i:%i:%i".
std::string PortEntryName(unsigned uiPortNo);
bool LoadPortSettings(const SettingsStore& store, unsigned uiPortNo, PortSettings& settings);
void SavePortSettings(SettingsStore& store, unsigned uiPortNo, const PortSettings& settings);
