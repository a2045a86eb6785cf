#include "core/settings/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, FilePortsAndSwitches)
{
    CommandLine cl = CommandLine::Parse(
        {"--port", "COM3=/dev/pts/3", "capture.tnf", "--port=com12=/dev/ttyUSB0", "--version"});
    EXPECT_TRUE(cl.m_error.empty()) << cl.m_error;
    EXPECT_EQ(cl.m_monitorFile, "capture.tnf");
    ASSERT_EQ(cl.m_portPaths.size(), 2u);
    EXPECT_EQ(cl.m_portPaths[0], std::make_pair(2u, std::string("/dev/pts/3")));
    EXPECT_EQ(cl.m_portPaths[1], std::make_pair(11u, std::string("/dev/ttyUSB0")));
    EXPECT_TRUE(cl.m_version);
    EXPECT_FALSE(cl.m_help);

    EXPECT_TRUE(CommandLine::Parse({"--help"}).m_help);
    EXPECT_TRUE(CommandLine::Parse({}).m_monitorFile.empty());
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(CommandLine::Parse({"--", "--odd.tnf"}).m_monitorFile, "--odd.tnf");
}

TEST(CommandLine, BadArgumentsAreReported)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--port"},
                                               {"--port", "COM0=/dev/x"},
                                               {"--port", "COM257=/dev/x"},
                                               {"--port", "COM3"},
                                               {"--port", "COM3="},
                                               {"--port", "TTY3=/dev/x"},
                                               {"--port", "COM3x=/dev/x"},
                                               {"--port", "COM5=rfc2217://rig-pi"},
                                               {"--bogus"},
                                               {"a.tnf", "b.tnf"}}) {
        EXPECT_FALSE(CommandLine::Parse(args).m_error.empty()) << args.back();
    }
    EXPECT_TRUE(CommandLine::Parse({"--port", "COM256=/dev/x"}).m_error.empty());
    EXPECT_TRUE(CommandLine::Parse({"--port", "COM5=rfc2217://rig-pi:3001"}).m_error.empty());
}

TEST(CommandLine, PortsToOpenAtStart)
{
    const CommandLine cl =
        CommandLine::Parse({"--open", "COM3", "--open=com12", "--open", "COM256"});
    EXPECT_EQ(cl.m_openPorts, (std::vector<unsigned>{2, 11, 255})) << cl.m_error;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--open"},
                                               {"--open", "COM0"},
                                               {"--open", "COM257"},
                                               {"--open", "COM03"},
                                               {"--open=COM3=/dev/x"}})
        EXPECT_FALSE(CommandLine::Parse(args).m_error.empty()) << args.back();
}
