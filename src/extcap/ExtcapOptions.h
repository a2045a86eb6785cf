#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What Wireshark asks vrl-extcap, as its extcap interface passes it: one of the queries
// (interfaces, link types, configuration) or a capture into a fifo, with the line settings
// the configuration offered.
struct ExtcapOptions
{
    enum class Query
    {
        None,
        Interfaces,
        Dlts,
        Config,
        Capture
    };

    Query m_query = Query::None;
    std::string m_version;   // Wireshark's, from --extcap-version
    std::string m_interface; // --extcap-interface: "vrl-ttyUSB0"
    std::string m_fifo;
    std::string m_port; // --port: the device; empty: the interface's
    std::uint32_t m_baudRate = 9600;
    int m_dataBits = 8;
    int m_parity = 0;   // as PortSettings: 0 none, 1 odd, 2 even, 3 mark, 4 space
    int m_stopBits = 0; // as PortSettings: 0 one, 2 two
    std::uint32_t m_packInterval = 20;
    bool m_help = false;
    std::string m_error; // UTF-8; empty when the command line is sound

    static ExtcapOptions Parse(const std::vector<std::string>& args);

    // The interface of a device ("/dev/ttyUSB0" -> "vrl-ttyUSB0") and back.
    static std::string InterfaceOf(const std::string& device);
    static std::string DeviceOf(const std::string& interface);
    // The device to capture: --port, else the interface's.
    std::string Device() const { return m_port.empty() ? DeviceOf(m_interface) : m_port; }
};
