#include "core/serial/PortList.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"

#include "PortRecorders.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

namespace {
struct PortListTest : ::testing::Test
{
    MemorySettingsStore store;
    PortMap map{store};
    RecordingSink sink;
    RecordingReceiver receiver;
    PortList list{store, map, &sink};
    PtyPair pty1, pty2;

    void SetUp() override
    {
        ASSERT_FALSE(pty1.Path().empty());
        ASSERT_FALSE(pty2.Path().empty());
        map.SetPath(0, pty1.Path()); // COM1
        map.SetPath(6, pty2.Path()); // COM7
    }

    std::string Stored(unsigned uiPortNo) const
    {
        return store.ReadString("Settings", PortEntryName(uiPortNo));
    }
};
} // namespace

TEST_F(PortListTest, OpensListsAndSavesAfterEachOpen)
{
    PortSettings settings;
    settings.m_dwBaudRate = 115200;
    settings.m_nParity = 2;
    settings.m_nDataBits = 7;
    settings.m_nStopBits = 2;
    settings.m_dwPackInterval = 100;
    ASSERT_TRUE(list.OpenPort(6, settings, &receiver));
    ASSERT_TRUE(list.OpenPort(0, PortSettings{}, &receiver));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.IndexOf(6), 0);
    EXPECT_EQ(list.IndexOf(0), 1);
    EXPECT_EQ(list.IndexOf(1), -1);
    EXPECT_TRUE(list.IsOpen(6));
    EXPECT_FALSE(list.IsOpen(1));
    EXPECT_EQ(list.GetAt(0)->m_uiPortNo, 6u);
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.Find(0), list.GetAt(1));
    // Baud, parity, data bits, stop bits, flow control, interval.
    EXPECT_EQ(Stored(6), "115200:2:7:2:0:100");
    EXPECT_EQ(Stored(0), "9600:0:8:0:0:20");

    // Data of both ports reach the receiver with their numbers.
    pty2.Send("seven");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    pty1.Send("one");
    ASSERT_TRUE(receiver.WaitForMessages(2));
    EXPECT_EQ(receiver.Ports(), (std::vector<unsigned>{6, 0}));

    // Opening an open port again leaves it open and listed.
    EXPECT_FALSE(list.OpenPort(6, PortSettings{}, &receiver));
    EXPECT_TRUE(list.IsOpen(6));
    EXPECT_EQ(list.GetAt(0)->m_dwBaudRate, 115200u);

    // Closed ports stay listed with their settings and are reused on the next open.
    EXPECT_TRUE(list.ClosePort(6));
    EXPECT_FALSE(list.ClosePort(3));
    EXPECT_FALSE(list.IsOpen(6));
    SerialPort* listed = list.GetAt(0);
    settings.m_dwBaudRate = 19200;
    ASSERT_TRUE(list.OpenPort(6, settings, &receiver));
    EXPECT_EQ(list.GetAt(0), listed);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(Stored(6), "19200:2:7:2:0:100");
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST_F(PortListTest, FailedOpenLeavesTheListAndIsNotSaved)
{
    // A number that names no device.
    EXPECT_FALSE(list.OpenPort(4, PortSettings{}, &receiver));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"COM5 为无效端口！"});
    EXPECT_EQ(list.IndexOf(4), -1);
    EXPECT_EQ(Stored(4), "");

    // Refused settings: the message, no entry, nothing saved, the device released.
    sink.m_messages.clear();
    PortSettings bad;
    bad.m_nDataBits = 4;
    EXPECT_FALSE(list.OpenPort(0, bad, &receiver));
    EXPECT_EQ(sink.m_messages,
              std::vector<std::string>{"COM1设置错误：\n可能不支持所选波特率，或停止位，或数据位"});
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(Stored(0), "");
    EXPECT_TRUE(list.OpenPort(0, PortSettings{}, &receiver)); // the device was released

    // A listed port whose next open fails leaves the list.
    list.ClosePort(0);
    SerialPort other;
    ASSERT_TRUE(other.Open(&receiver, 0, pty1.Path(), true, false)); // someone else has it now
    sink.m_messages.clear();
    EXPECT_FALSE(list.OpenPort(0, PortSettings{}, &receiver));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"COM1 已被其他程序打开！"});
    EXPECT_EQ(list.IndexOf(0), -1);
}

TEST_F(PortListTest, CloseAllSavesEveryPortEverOpenedAndEmptiesTheList)
{
    PortSettings settings;
    settings.m_dwPackInterval = 60;
    ASSERT_TRUE(list.OpenPort(0, settings, &receiver));
    settings.m_dwBaudRate = 57600;
    ASSERT_TRUE(list.OpenPort(6, settings, &receiver));
    list.ClosePort(6);
    // Stored entries changed behind the list's back are written again at shutdown, for the
    // open port and for the one opened once and closed since.
    store.WriteString("Settings", PortEntryName(0), "stale");
    store.WriteString("Settings", PortEntryName(6), "stale");
    list.GetAt(0)->m_dwPackInterval = 80;
    list.CloseAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(Stored(0), "9600:0:8:0:0:80");
    EXPECT_EQ(Stored(6), "57600:0:8:0:0:60");
    EXPECT_EQ(Stored(3), "");
    EXPECT_FALSE(list.IsOpen(0));

    // The devices are free again.
    SerialPort again;
    EXPECT_TRUE(again.Open(&receiver, 0, pty1.Path()));
}
