#include "core/serial/PortSettings.h"
#include "core/base/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

PortSettings LoadFrom(std::string_view text, bool* ok, unsigned port = 0)
{
    MemorySettingsStore store;
    store.WriteString("Settings", PortEntryName(port), text);
    PortSettings s;
    *ok = LoadPortSettings(store, port, s);
    return s;
}

} // namespace

TEST(PortSettings, ListConversions)
{
    EXPECT_EQ(SettingFromIndex(4, kBaudRate), 9600u);
    EXPECT_EQ(SettingFromIndex(20, kBaudRate), 115200u);
    EXPECT_EQ(SettingFromIndex(22, kBaudRate), 256000u);
    EXPECT_EQ(SettingFromIndex(23, kBaudRate), 9600u);
    EXPECT_EQ(SettingFromIndex(-1, kBaudRate), 9600u);
    EXPECT_EQ(IndexFromSetting(9601, kBaudRate), 4);
    EXPECT_EQ(IndexFromSetting(75, kBaudRate), 6);
    for (int i = 0; i < kBaudRateCount; ++i)
        EXPECT_EQ(IndexFromSetting(SettingFromIndex(i, kBaudRate), kBaudRate), i);

    EXPECT_EQ(SettingFromIndex(0, kDataBits), 8u);
    EXPECT_EQ(SettingFromIndex(4, kDataBits), 4u);
    EXPECT_EQ(SettingFromIndex(5, kDataBits), 8u);
    EXPECT_EQ(IndexFromSetting(8, kDataBits), 0);
    EXPECT_EQ(IndexFromSetting(4, kDataBits), 4);
    EXPECT_EQ(IndexFromSetting(3, kDataBits), 0);

    EXPECT_EQ(SettingFromIndex(4, kParity), 4u);
    EXPECT_EQ(SettingFromIndex(5, kParity), 0u);
    EXPECT_EQ(IndexFromSetting(7, kParity), 0);
    EXPECT_EQ(SettingFromIndex(2, kStopBits), 2u);
    EXPECT_EQ(SettingFromIndex(3, kStopBits), 0u);
    EXPECT_EQ(IndexFromSetting(3, kStopBits), 0);
}

TEST(PortSettings, DisplayTexts)
{
    EXPECT_EQ(SettingText(20, kBaudRate, true), "115200");
    EXPECT_EQ(SettingText(9601, kBaudRate, false), "9601");
    EXPECT_EQ(SettingText(1, kDataBits, true), "7");
    EXPECT_EQ(SettingText(5, kDataBits, false), "5");
    EXPECT_EQ(SettingText(0, kParity, false), "无校验");
    EXPECT_EQ(SettingText(1, kParity, false), "奇校验");
    EXPECT_EQ(SettingText(2, kParity, true), "偶校验");
    EXPECT_EQ(SettingText(3, kParity, false), "标志");
    EXPECT_EQ(SettingText(4, kParity, false), "空");
    EXPECT_EQ(SettingText(7, kParity, false), "无校验");
    EXPECT_EQ(SettingText(0, kStopBits, false), "1");
    EXPECT_EQ(SettingText(1, kStopBits, false), "1.5");
    EXPECT_EQ(SettingText(2, kStopBits, false), "2");
    EXPECT_EQ(SettingText(0, kFlowControl, false), "无");
    EXPECT_EQ(SettingText(2, kFlowControl, false), "XON/XOFF");
    EXPECT_EQ(SettingText(5, kFlowControl, false), "DTR/DSR");
    EXPECT_EQ(SettingText(6, kFlowControl, false), "无");
    EXPECT_EQ(SettingText(1, 5, false), "");
}

TEST(PortSettings, PackIntervalPositions)
{
    EXPECT_EQ(PackIntervalFromIndex(0), 20u);
    EXPECT_EQ(PackIntervalFromIndex(14), 300u);
    EXPECT_EQ(IndexFromPackInterval(0), 0);
    EXPECT_EQ(IndexFromPackInterval(19), 0);
    EXPECT_EQ(IndexFromPackInterval(20), 0);
    EXPECT_EQ(IndexFromPackInterval(59), 1);
    EXPECT_EQ(IndexFromPackInterval(100), 4);
    EXPECT_EQ(IndexFromPackInterval(300), 14);
    EXPECT_EQ(IndexFromPackInterval(1000), 14);
}

TEST(PortSettings, LoadsTheStoredForms)
{
    bool ok = false;
    EXPECT_EQ(LoadFrom("9600:0:8:0:0:20", &ok), PortSettings{});
    EXPECT_TRUE(ok);

    PortSettings s = LoadFrom("115200:2:7:2:0:100", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.m_dwBaudRate, 115200u);
    EXPECT_EQ(s.m_nParity, 2);
    EXPECT_EQ(s.m_nDataBits, 7);
    EXPECT_EQ(s.m_nStopBits, 2);
    EXPECT_EQ(s.m_nFlowControl, 0);
    EXPECT_EQ(s.m_dwPackInterval, 100u);

    EXPECT_EQ(LoadFrom("0x2580:0:8:0:0:20", &ok).m_dwBaudRate, 9600u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(LoadFrom("010:0:8:0:0:20", &ok).m_dwBaudRate, 8u);
    EXPECT_TRUE(ok);
    s = LoadFrom("+9600:-1:0X7: 1:0:0x64", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.m_nParity, -1);
    EXPECT_EQ(s.m_nDataBits, 7);
    EXPECT_EQ(s.m_nStopBits, 1);
    EXPECT_EQ(s.m_dwPackInterval, 100u);
}

TEST(PortSettings, PartialEntryKeepsWhatWasRead)
{
    bool ok = true;
    PortSettings s = LoadFrom("9600:1:7", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.m_nParity, 1);
    EXPECT_EQ(s.m_nDataBits, 7);
    EXPECT_EQ(s.m_nStopBits, 0);
    EXPECT_EQ(s.m_nFlowControl, 0);
    EXPECT_EQ(s.m_dwPackInterval, 20u);

    // "08" is octal 0 followed by a stray 8; a blank before ':' does not match ':'.
    s = LoadFrom("19200:08:7:0:0:20", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.m_dwBaudRate, 19200u);
    EXPECT_EQ(s.m_nParity, 0);
    EXPECT_EQ(s.m_nDataBits, 8);
    s = LoadFrom("4800 :1:7:0:0:20", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.m_dwBaudRate, 4800u);
    EXPECT_EQ(s.m_nParity, 0);

    s = LoadFrom("abc", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s, PortSettings{});

    MemorySettingsStore empty;
    EXPECT_FALSE(LoadPortSettings(empty, 3, s));
    EXPECT_EQ(s, PortSettings{});
}

TEST(PortSettings, SaveWritesStoredOrderUnderComEntry)
{
    EXPECT_EQ(PortEntryName(9), "COM10");
    MemorySettingsStore store;
    PortSettings s;
    s.m_dwBaudRate = 57600;
    s.m_nParity = 1;
    s.m_nStopBits = 2;
    s.m_nDataBits = 7;
    s.m_nFlowControl = 3;
    s.m_dwPackInterval = 60;
    SavePortSettings(store, 9, s);
    EXPECT_EQ(store.ReadString("Settings", "COM10"), "57600:1:7:2:3:60");

    PortSettings back;
    EXPECT_TRUE(LoadPortSettings(store, 9, back));
    EXPECT_EQ(back, s);
    SavePortSettings(store, 0, PortSettings{});
    EXPECT_EQ(store.ReadString("Settings", "COM1"), "9600:0:8:0:0:20");
}
