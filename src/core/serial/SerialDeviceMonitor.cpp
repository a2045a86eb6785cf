#include "core/serial/SerialDeviceMonitor.h"

#include "core/serial/SerialDeviceScanner.h"

#include <string_view>
#include <unistd.h>

#ifdef VRL_HAVE_LIBUDEV
#include <libudev.h>
#endif

SerialDeviceMonitor::SerialDeviceMonitor(ScanFunction scan, bool useUdev)
    : m_scan(scan ? std::move(scan) : ScanFunction(&SerialDeviceScanner::Scan))
{
#ifdef VRL_HAVE_LIBUDEV
    if (useUdev) {
        // Without a running udev daemon its events never come; the kernel's own do (the
        // device nodes are there through devtmpfs, only the by-id links are missing).
        const bool daemon = access("/run/udev/control", F_OK) == 0;
        m_udev = udev_new();
        if (m_udev)
            m_monitor = udev_monitor_new_from_netlink(m_udev, daemon ? "udev" : "kernel");
        if (m_monitor
            && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) != 0
                || udev_monitor_enable_receiving(m_monitor) != 0)) {
            udev_monitor_unref(m_monitor);
            m_monitor = nullptr;
        }
    }
#else
    (void)useUdev;
#endif
    m_devices = m_scan();
}

SerialDeviceMonitor::~SerialDeviceMonitor()
{
#ifdef VRL_HAVE_LIBUDEV
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
#endif
}

int SerialDeviceMonitor::Fd() const
{
#ifdef VRL_HAVE_LIBUDEV
    if (m_monitor)
        return udev_monitor_get_fd(m_monitor);
#endif
    return -1;
}

bool SerialDeviceMonitor::Drain()
{
    bool changed = false;
#ifdef VRL_HAVE_LIBUDEV
    if (!m_monitor)
        return false;
    // The monitor's socket does not block: this ends when nothing is pending.
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        const char* syspath = udev_device_get_syspath(device);
        const bool serial =
            syspath
            && std::string_view(syspath).find("/devices/virtual/") == std::string_view::npos;
        if (serial && action
            && (std::string_view(action) == "add" || std::string_view(action) == "remove"))
            changed = true;
        udev_device_unref(device);
    }
#endif
    return changed;
}

bool SerialDeviceMonitor::Rescan()
{
    std::vector<SerialDevice> now = m_scan();
    if (now == m_devices)
        return false;
    m_devices = std::move(now);
    return true;
}
