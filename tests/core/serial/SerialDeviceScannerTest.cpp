#include "core/serial/SerialDeviceScanner.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortMap.h"

#include "FakeMachine.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(SerialDeviceScanner, SysfsListsRealSerialDevicesOnly)
{
    FakeMachine m;
    m.Tty("ttyS0", "pnp0/00:01/00:01:0/00:01:0.0", "4");                    // a 16550A
    m.Tty("ttyS1", "platform/serial8250/serial8250:0/serial8250:0.1", "0"); // phantom
    m.Tty("ttyS10", "platform/serial8250/serial8250:0/serial8250:0.10", "4");
    m.Tty("ttyUSB0", "pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0");
    m.Write("sys/devices/pci0000:00/usb1/1-2/idVendor", "0403");
    m.Write("sys/devices/pci0000:00/usb1/1-2/manufacturer", "FTDI");
    m.Write("sys/devices/pci0000:00/usb1/1-2/product", "FT232R USB UART");
    m.Write("sys/devices/pci0000:00/usb1/1-2/serial", "A50285BI");
    m.Link("sys/devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0/driver",
           m.root / "sys/bus/usb-serial/drivers/ftdi_sio");
    m.Tty("ttyACM0", "pci0000:00/usb1/1-3/1-3:1.0");
    fs::create_directories(m.root / "sys/class/tty/tty1"); // a virtual console: no device
    fs::create_directories(m.root / "sys/class/tty/ptmx");
    fs::create_directories(m.root / "dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0",
                       m.root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

    const auto devices = SerialDeviceScanner::ScanSysfs(m.root.string());
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_EQ(devices[0].path, "/dev/ttyS0");
    EXPECT_EQ(devices[1].path, "/dev/ttyS10"); // numeric order, after ttyS0
    EXPECT_EQ(devices[2].path, "/dev/ttyACM0");
    EXPECT_EQ(devices[2].node, "/dev/ttyACM0");
    EXPECT_EQ(devices[3].path, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(devices[3].node, "/dev/ttyUSB0");
    EXPECT_EQ(devices[3].vendor, "FTDI");
    EXPECT_EQ(devices[3].model, "FT232R USB UART");
    EXPECT_EQ(devices[3].serial, "A50285BI");
    EXPECT_EQ(devices[3].driver, "ftdi_sio");

    // Numbers follow that order on a first start.
    MemorySettingsStore store;
    PortMap map(store);
    map.Assign(devices);
    EXPECT_EQ(map.PathOf(0), "/dev/ttyS0");
    EXPECT_EQ(map.PathOf(3), devices[3].path);

    // A machine without the folders lists nothing and does not fail.
    EXPECT_TRUE(SerialDeviceScanner::ScanSysfs((m.root / "none").string()).empty());
}

TEST(SerialDeviceScanner, MachineScanNeverListsTerminalsWithoutHardware)
{
    for (const SerialDevice& device : SerialDeviceScanner::Scan()) {
        EXPECT_EQ(device.path.rfind("/dev/pts/", 0), std::string::npos) << device.path;
        EXPECT_NE(device.node, "/dev/ptmx");
        EXPECT_NE(device.node, "/dev/tty1");
        EXPECT_NE(device.node, "/dev/console");
        EXPECT_FALSE(device.path.empty());
    }
}
