#pragma once

#include "core/serial/SerialDevice.h"

#include <functional>
#include <vector>

struct udev;
struct udev_monitor;

// Tells the window when serial devices come or go (an adapter plugged in or pulled out).
// Where libudev is available, Fd() is a descriptor to watch for reading (a QSocketNotifier)
// and Drain() says, once it is readable, whether a serial device changed. Without it Fd() is
// -1 and the window calls Rescan() on a timer instead. Window thread only.
class SerialDeviceMonitor
{
public:
    using ScanFunction = std::function<std::vector<SerialDevice>()>;

    // scan: how Rescan finds the devices (SerialDeviceScanner::Scan unless a test gives
    // another). useUdev false: no event source even where libudev is available.
    explicit SerialDeviceMonitor(ScanFunction scan = {}, bool useUdev = true);
    ~SerialDeviceMonitor();
    SerialDeviceMonitor(const SerialDeviceMonitor&) = delete;
    SerialDeviceMonitor& operator=(const SerialDeviceMonitor&) = delete;

    int Fd() const;

    // Reads every pending event without waiting; true when a serial device was added or
    // removed among them.
    bool Drain();

    // Scans again; true when the devices differ from the previous scan (the first scan is
    // taken at construction).
    bool Rescan();

    // The devices of the last scan.
    const std::vector<SerialDevice>& Devices() const { return m_devices; }

private:
    ScanFunction m_scan;
    std::vector<SerialDevice> m_devices;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
};
