#pragma once

#include "core/serial/SerialDevice.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class SettingsStore;

// Which device path each COM number names. Stored in section "Settings\Ports", one value
// "COM%d" (port number + 1) per mapped number holding the path; an empty or missing value
// means the number names no device. Serial devices found on the machine that no number
// names yet get the lowest free number, stored at once, and keep it from then on, present
// or not. Used from the window thread only.
class PortMap
{
public:
    static constexpr std::string_view kSection = "Settings\\Ports";
    static constexpr unsigned kPortCount = 256;

    // One mapped number and what is known of its device.
    struct Entry
    {
        unsigned uiPortNo = 0;
        std::string path;
        bool present = false; // the device is there now
        SerialDevice device;  // details when found by discovery (path and node otherwise)
    };

    explicit PortMap(SettingsStore& store); // reads the stored map

    // The device path of a number, or empty.
    std::string PathOf(unsigned uiPortNo) const;
    // The number whose path is `path`, or -1.
    int PortOf(std::string_view path) const;

    // Points a number at a path (stored at once). Another number that held the same path
    // gives it up, so that one device has one number. An empty path frees the number.
    void SetPath(unsigned uiPortNo, const std::string& path);

    // "COM3" alone ("com" in any case, numbers 1 to 256 without a leading zero): the 0-based
    // port in uiPortNo.
    static bool ParsePortName(std::string_view text, unsigned& uiPortNo);
    // "COM3=/dev/pts/3" (the command-line form; "com" in any case, numbers 1 to 256).
    static bool ParsePortOption(std::string_view text, unsigned& uiPortNo, std::string& path);

    // Gives every found device that no number names the lowest free number. Returns the
    // numbers given, in order. A device is named when a stored path equals its stable
    // path or its node, or leads to its node through symbolic links.
    std::vector<unsigned> Assign(const std::vector<SerialDevice>& found);

    // Every mapped number in ascending order, matched against the devices found now.
    std::vector<Entry> Entries(const std::vector<SerialDevice>& found) const;

    // Scans the machine (SerialDeviceScanner::Scan) and assigns numbers to new devices.
    std::vector<unsigned> Discover();

private:
    bool Names(const std::string& mapped, const SerialDevice& device) const;

    SettingsStore& m_store;
    std::array<std::string, kPortCount> m_paths;
};
