#pragma once

#include <string>

// A serial device found on the machine, with what is known of it.
struct SerialDevice
{
    std::string path;   // the name to open: /dev/serial/by-id/... where there is one, else node
    std::string node;   // the kernel's device node, /dev/ttyUSB0
    std::string driver; // ftdi_sio, cdc_acm, serial8250 ... (may be empty)
    std::string vendor; // manufacturer as the device or the USB database names it
    std::string model;  // product name
    std::string serial; // serial number of a USB adapter

    bool operator==(const SerialDevice&) const = default;
};
