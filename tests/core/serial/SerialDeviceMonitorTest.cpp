#include "core/serial/SerialDeviceMonitor.h"
#include "core/serial/SerialDeviceScanner.h"

#include "FakeMachine.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(SerialDeviceMonitor, RescanSaysWhenDevicesComeOrGo)
{
    FakeMachine m;
    m.Tty("ttyS0", "pnp0/00:01/00:01:0/00:01:0.0", "4");
    SerialDeviceMonitor monitor([&] { return SerialDeviceScanner::ScanSysfs(m.root.string()); },
                                false);
    EXPECT_EQ(monitor.Fd(), -1);
    EXPECT_FALSE(monitor.Drain());
    ASSERT_EQ(monitor.Devices().size(), 1u);
    EXPECT_FALSE(monitor.Rescan());

    m.Tty("ttyUSB0", "pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0");
    EXPECT_TRUE(monitor.Rescan());
    EXPECT_EQ(monitor.Devices().size(), 2u);
    EXPECT_FALSE(monitor.Rescan());

    fs::remove_all(m.root / "sys/class/tty/ttyUSB0");
    EXPECT_TRUE(monitor.Rescan());
    EXPECT_EQ(monitor.Devices().size(), 1u);

    // With the machine's event source: nothing pending means no change, and no waiting.
    SerialDeviceMonitor machine;
    EXPECT_FALSE(machine.Drain());
}
