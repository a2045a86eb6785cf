#pragma once

#include "core/serial/SerialDevice.h"

#include <string>
#include <vector>

// Finds the serial devices of the machine: USB and ACM adapters and other tty devices that
// a driver reports, and real UARTs (ttyS ports whose type is known: the 8250 driver lists
// phantom ports of type 0 that have no hardware). Pseudo-terminals and virtual consoles are
// never listed. Each device is named by its stable /dev/serial/by-id link where it has one.
// The list comes ttyS ports first, then the others, by name with numbers in numeric order.
class SerialDeviceScanner
{
public:
    // libudev where the program was built with it (vendor and model names from the hardware
    // database), else sysfs.
    static std::vector<SerialDevice> Scan();

    // The same from the files under root + "/sys/class/tty" and root + "/dev/serial/by-id"
    // (root empty for the machine; tests pass a folder built like it). The paths reported
    // leave root out.
    static std::vector<SerialDevice> ScanSysfs(const std::string& root = {});

    // Orders devices as Scan does.
    static void Sort(std::vector<SerialDevice>& devices);
};
