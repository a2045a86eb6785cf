#pragma once

#include <cstdint>
#include <string>

class SettingsStore;

// The six settings of a serial port, with their defaults. SerialPort carries them as its
// own fields; the settings bar and the stored "COM%d" entries convert to and from them.
// No field is range-checked: the driver's refusal when the port is configured is the check.
struct PortSettings
{
    std::uint32_t m_dwBaudRate = 9600;
    int m_nParity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int m_nStopBits = 0;    // 0 one, 1 one and a half, 2 two
    int m_nDataBits = 8;    // 4 to 8
    int m_nFlowControl = 0; // 0 none, 1 RTS/CTS, 2 XON/XOFF, 3 DTR/CTS, 4 RTS/DSR, 5 DTR/DSR
    std::uint32_t m_dwPackInterval = 20; // milliseconds

    bool operator==(const PortSettings&) const = default;
};

// Choice-list kinds of the settings bar.
enum PortSettingKind
{
    kBaudRate = 0,
    kParity = 1,
    kDataBits = 2,
    kStopBits = 3,
    kFlowControl = 4
};

constexpr int kBaudRateCount = 23;
constexpr int kPackIntervalCount = 15;

// List position -> value. A position outside a list gives the list's default (9600 baud,
// no parity, 8 data bits, one stop bit, no flow control). Any other kind gives 0.
std::uint32_t SettingFromIndex(int index, int kind);
// Value -> list position. A value outside a list gives the default's position.
int IndexFromSetting(std::uint32_t value, int kind);
// Display text (UTF-8) of a value, or of the value at list position `value` when
// bFromIndex is true (baud rate and data bits; for the other kinds value and position agree).
// Mark and space parity read "标志" and "空" here, while the bar lists "Mark" and "Space".
std::string SettingText(std::uint32_t value, int kind, bool bFromIndex);

// Packing interval list: position i holds 20(i+1) ms. A value below 20 ms is position 0,
// any other value/20-1; a value beyond the list (only a hand-edited entry has one) is the
// last position, so that the bar never shows an empty choice.
std::uint32_t PackIntervalFromIndex(int index);
int IndexFromPackInterval(std::uint32_t ms);

// Stored form: section "Settings", entry "COM%d" (uiPortNo+1), value "%i:%i:%i:%i:%i:%i"
// in the order baud rate, parity, data bits, stop bits, flow control, packing interval.
std::string PortEntryName(unsigned uiPortNo);

// Reads the six values with the C "%i" rule (optional sign; decimal, 0x hexadecimal, or
// octal after a leading 0). True when all six were read. A missing or empty entry leaves
// `settings` unchanged; a partial one keeps the values read before the first that failed.
bool LoadPortSettings(const SettingsStore& store, unsigned uiPortNo, PortSettings& settings);

// Writes the entry, replacing what was there. A port that was never opened must not be
// saved: that rule needs the port's m_bOpened, so SerialPort (the caller) applies it.
void SavePortSettings(SettingsStore& store, unsigned uiPortNo, const PortSettings& settings);

// The output modem lines (ModemLines::kDtr, kRts) a port asserts when opened, stored apart
// from the six settings: section "Settings", value "COM%dModem"; both asserted when missing,
// as Linux does at open.
unsigned LoadModemOutputs(const SettingsStore& store, unsigned uiPortNo);
void SaveModemOutputs(SettingsStore& store, unsigned uiPortNo, unsigned lines);
