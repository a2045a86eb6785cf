#pragma once

#include "core/serial/SerialDevice.h"

#include <string>
#include <vector>

// vrl-extcap's answers to Wireshark's queries, in the extcap interface's sentences: which
// interfaces there are (one per serial device), which link type they give (250, RTAC serial)
// and what can be set for a capture (the device, rate, data bits, parity, stop bits and the
// packing interval that ends a packet).
class ExtcapQueries
{
public:
    static constexpr int kLinkType = 250;

    static std::string Interfaces(const std::vector<SerialDevice>& devices);
    static std::string Dlts();
    // device: the interface's, the default of the port.
    static std::string Config(const std::string& device);
};
