#include "core/serial/PortMap.h"
#include "core/base/SettingsStore.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
SerialDevice Device(std::string path, std::string node)
{
    SerialDevice d;
    d.path = std::move(path);
    d.node = std::move(node);
    return d;
}

} // namespace

TEST(PortMap, StoresPathsAtOnceAndParsesThePortOption)
{
    MemorySettingsStore store;
    store.WriteString("Settings\\Ports", "COM2", "/dev/ttyS1");
    PortMap map(store);
    EXPECT_EQ(map.PathOf(1), "/dev/ttyS1");
    EXPECT_EQ(map.PathOf(0), "");
    EXPECT_EQ(map.PathOf(999), "");
    EXPECT_EQ(map.PortOf("/dev/ttyS1"), 1);
    EXPECT_EQ(map.PortOf("/dev/ttyS9"), -1);

    map.SetPath(2, "/dev/pts/3");
    EXPECT_EQ(store.ReadString("Settings\\Ports", "COM3"), "/dev/pts/3");
    // One path, one number: moving it frees the old number.
    map.SetPath(255, "/dev/pts/3");
    EXPECT_EQ(map.PathOf(2), "");
    EXPECT_EQ(store.ReadString("Settings\\Ports", "COM3"), "");
    EXPECT_EQ(store.ReadString("Settings\\Ports", "COM256"), "/dev/pts/3");
    EXPECT_EQ(PortMap(store).PathOf(255), "/dev/pts/3");

    unsigned n = 0;
    std::string path;
    EXPECT_TRUE(PortMap::ParsePortOption("COM3=/dev/pts/3", n, path));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(path, "/dev/pts/3");
    EXPECT_TRUE(PortMap::ParsePortOption("com256=/dev/x=y", n, path));
    EXPECT_EQ(n, 255u);
    EXPECT_EQ(path, "/dev/x=y");
    for (const char* bad : {"COM0=/dev/x", "COM03=/dev/x", "COM257=/dev/x", "COM3=", "COM=/dev/x",
                            "COM3/dev/x", "CON3=/dev/x", "COM3x=/dev/x", "COM-1=/dev/x", ""})
        EXPECT_FALSE(PortMap::ParsePortOption(bad, n, path)) << bad;
}

TEST(PortMap, NewDevicesTakeTheLowestFreeNumberAndKeepIt)
{
    MemorySettingsStore store;
    store.WriteString("Settings\\Ports", "COM1", "/dev/pts/4");   // a pty mapped by hand
    store.WriteString("Settings\\Ports", "COM3", "/dev/ttyUSB0"); // by node
    PortMap map(store);
    const SerialDevice uart = Device("/dev/ttyS0", "/dev/ttyS0");
    const SerialDevice ftdi =
        Device("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", "/dev/ttyUSB0");
    const SerialDevice acm = Device("/dev/serial/by-id/usb-Arduino_Uno_123-if00", "/dev/ttyACM0");

    EXPECT_EQ(map.Assign({uart, ftdi, acm}), (std::vector<unsigned>{1, 3}));
    EXPECT_EQ(map.PathOf(1), "/dev/ttyS0");
    EXPECT_EQ(map.PathOf(2), "/dev/ttyUSB0"); // named by its node already: no second number
    EXPECT_EQ(map.PathOf(3), acm.path);
    EXPECT_EQ(store.ReadString("Settings\\Ports", "COM4"), acm.path);
    EXPECT_TRUE(map.Assign({uart, ftdi, acm}).empty());

    // The adapter goes away: it keeps COM4, and the next new one takes COM5. A number freed
    // by hand is the lowest free one again.
    const SerialDevice other =
        Device("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0", "/dev/ttyUSB1");
    EXPECT_EQ(map.Assign({uart, other}), std::vector<unsigned>{4});
    map.SetPath(1, "");
    const SerialDevice third = Device("/dev/ttyAMA0", "/dev/ttyAMA0");
    EXPECT_EQ(map.Assign({third}), std::vector<unsigned>{1});

    // Entries: ascending, with presence and details of the devices found now.
    SerialDevice detailed = ftdi;
    detailed.vendor = "FTDI";
    detailed.model = "FT232R USB UART";
    const auto entries = map.Entries({detailed, third});
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].uiPortNo, 0u);
    EXPECT_EQ(entries[0].path, "/dev/pts/4");
    EXPECT_EQ(entries[1].uiPortNo, 1u);
    EXPECT_TRUE(entries[1].present);
    EXPECT_EQ(entries[2].uiPortNo, 2u);
    EXPECT_TRUE(entries[2].present);
    EXPECT_EQ(entries[2].device.model, "FT232R USB UART");
    EXPECT_EQ(entries[3].uiPortNo, 3u);
    EXPECT_FALSE(entries[3].present);
    EXPECT_EQ(entries[3].device.path, acm.path);
    EXPECT_EQ(entries[4].uiPortNo, 4u);
}

TEST(PortMap, AMappedLinkNamesTheDeviceItLeadsTo)
{
    char pattern[] = "/tmp/vrl-map-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "dev");
    std::ofstream(root / "dev/ttyUSB7") << "";
    fs::create_symlink(root / "dev/ttyUSB7", root / "adapter");
    MemorySettingsStore store;
    PortMap map(store);
    map.SetPath(0, (root / "adapter").string());
    const SerialDevice device = Device("/dev/serial/by-id/x", (root / "dev/ttyUSB7").string());
    EXPECT_TRUE(map.Assign({device}).empty());
    const auto entries = map.Entries({});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].present); // the link leads to something that is there
    fs::remove_all(root);
}
