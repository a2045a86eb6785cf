#include "core/files/ShortenPath.h"

#include <gtest/gtest.h>

#include <string>

TEST(ShortenPath, KeepsShorterPathsAndShortensAtTheLimit)
{
    // 44 characters with a limit of 45 stay; 45 are shortened to head, six dots, tail.
    const std::string p44 = "/home/user/" + std::string(28, 'a') + "/Logs";
    ASSERT_EQ(p44.size(), 44u);
    EXPECT_EQ(ShortenPath(p44, 45), p44);
    const std::string p45 = "/home/user/" + std::string(29, 'a') + "/Logs";
    EXPECT_EQ(ShortenPath(p45, 45), "/....../Logs");

    // A drive keeps its head as on Windows; a folder's trailing separator keeps its name.
    const std::string drive = "C:\\" + std::string(52, 'x') + "\\Logs";
    ASSERT_EQ(drive.size(), 60u);
    EXPECT_EQ(ShortenPath(drive, 45), "C:\\......\\Logs");
    EXPECT_EQ(ShortenPath(p45 + "/", 45), "/....../Logs/");

    // A last component longer than the room keeps its end behind a separator, and fewer
    // dots fill what is left.
    const std::string longName = "/data/" + std::string(50, 'n');
    EXPECT_EQ(ShortenPath(longName, 20), "/.../" + std::string(15, 'n'));

    // Characters count, not bytes: 20 Chinese characters are 60 bytes but under the limit,
    // and a shortened tail never splits a character.
    const std::string chinese = "/数据/" + std::string() + "监视报文监视报文监视报文监视报文监视";
    EXPECT_EQ(ShortenPath(chinese, 25), chinese);
    const std::string cut = ShortenPath("/x/" + std::string("监视报文监视报文监视报文"), 10);
    EXPECT_EQ(cut, "/.../文监视报文");
}
