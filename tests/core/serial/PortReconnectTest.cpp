#include "core/serial/PortReconnect.h"

#include <gtest/gtest.h>

#include <map>

// The device a path leads to is looked up in a table the test changes.
TEST(PortReconnectTest, DeviceIsBackWhenRepointedOrPresentAfterTheFirstLook)
{
    std::map<std::string, std::uint64_t> nodes{{"/dev/serial/by-id/a", 10}, {"/tmp/link", 20}};
    PortReconnect reconnect([&nodes](const std::string& path) -> std::optional<std::uint64_t> {
        auto it = nodes.find(path);
        if (it == nodes.end())
            return std::nullopt;
        return it->second;
    });
    reconnect.Lost(2, "/dev/serial/by-id/a", 10);
    reconnect.Lost(5, "/tmp/link", 20);
    EXPECT_TRUE(reconnect.IsWaiting(2));
    EXPECT_EQ(reconnect.PathOf(5), "/tmp/link");

    // Re-pointed before the first look: back at once. The adapter still on its old node at
    // the first look is on its way out.
    nodes["/tmp/link"] = 21;
    EXPECT_EQ(reconnect.Check(), std::vector<unsigned>{5});

    // The adapter's link goes; port 5's reopen failed, so it is offered again.
    nodes.erase("/dev/serial/by-id/a");
    EXPECT_EQ(reconnect.Check(), std::vector<unsigned>{5});

    // The adapter comes back on the same node: back, at a later look.
    nodes["/dev/serial/by-id/a"] = 10;
    EXPECT_EQ(reconnect.Check(), (std::vector<unsigned>{2, 5}));
    reconnect.Forget(5);
    reconnect.Forget(2);
    EXPECT_TRUE(reconnect.IsEmpty());
    EXPECT_TRUE(reconnect.Check().empty());

    // Re-plugged between two looks onto its old node (a pseudo-terminal number reused): not
    // at the first look, at the next.
    nodes["/dev/pts/7"] = 30;
    reconnect.Lost(7, "/dev/pts/7", 30);
    EXPECT_TRUE(reconnect.Check().empty());
    EXPECT_EQ(reconnect.Check(), std::vector<unsigned>{7});
    EXPECT_EQ(reconnect.WaitingPorts(), std::vector<unsigned>{7});
}

TEST(PortReconnectTest, NodeOfTakesOnlyCharacterDevices)
{
    EXPECT_TRUE(PortReconnect::NodeOf("/dev/null").has_value());
    EXPECT_FALSE(PortReconnect::NodeOf("/tmp").has_value());
    EXPECT_FALSE(PortReconnect::NodeOf("/nonexistent/tty").has_value());
    EXPECT_FALSE(PortReconnect::NodeOf("").has_value());
}
