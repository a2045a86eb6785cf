#include "PrivateXdgFolders.h"
#include "RelayedProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// vrl-capture with args, its standard error into errorFile.
pid_t StartVrl(std::vector<std::string> args, const std::string& errorFile)
{
    args.insert(args.begin(), VRL_CAPTURE_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int WaitVrl(pid_t pid)
{
    int status = 0;
    for (int i = 0; i < 9000 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The file a receiver kept: YMODEM's and lrzsz's exactly, XMODEM's with the padding of its
// last block (SUB bytes up to a whole 128).
::testing::AssertionResult Arrived(const std::string& sent, const std::string& got, bool exact)
{
    const bool same = exact
                          ? got == sent
                          : got.size() % 128 == 0 && got.size() - sent.size() < 1024
                                && got.compare(0, sent.size(), sent) == 0
                                && got.find_first_not_of('\x1A', sent.size()) == std::string::npos;
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "sent " << sent.size() << " bytes, got " << got.size();
}

struct Row
{
    const char* protocol;
    std::size_t size;
    bool vrlSends;
    int damageEvery = 0;
};

class TransferTest : public ::testing::TestWithParam<Row>
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/vrl-transfer-test-XXXXXX";
        m_root = ::mkdtemp(name);
        fs::create_directories(m_root / "far");
        fs::create_directories(m_root / "in");
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Content(std::size_t size) const
    {
        std::string bytes(size, '\0');
        std::uint32_t x = static_cast<std::uint32_t>(size) + 7;
        for (char& c : bytes) {
            x = x * 1103515245 + 12345;
            c = static_cast<char>(x >> 23);
        }
        return bytes;
    }
    // lrzsz's program for the far end, with a one-second time-out as VRL has.
    static std::vector<std::string> FarEnd(const std::string& protocol, bool receives,
                                           const std::string& file)
    {
        if (receives) {
            if (protocol == "ymodem")
                return {"rb", "-t", "10"};
            // Plain XMODEM asks for the checksum, XMODEM-1K for the CRC.
            if (protocol == "xmodem")
                return {"rx", "-t", "10", file};
            return {"rx", "-c", "-t", "10", file};
        }
        if (protocol == "ymodem")
            return {"sb", "-k", "-t", "10", file};
        if (protocol == "xmodem")
            return {"sx", "-t", "10", file};
        return {"sx", "-k", "-t", "10", file};
    }

    PrivateXdgFolders m_xdg;
    fs::path m_root;
};

} // namespace

// Every protocol and size both ways against lrzsz (rx, rb; sx, sb) on a pseudo-terminal,
// and through a line that damages one byte in 200.
TEST_P(TransferTest, FileArrivesWholeAgainstLrzsz)
{
    const Row row = GetParam();
    const std::string content = Content(row.size);
    const fs::path sent = m_root / (row.vrlSends ? "in" : "far") / "f.bin";
    std::ofstream(sent, std::ios::binary) << content;
    RelayedProgram far(row.damageEvery);
    const std::string port = "COM1=" + far.Path();
    const std::string errors = (m_root / "vrl.err").string();
    pid_t vrl = -1;
    if (row.vrlSends) {
        // The sender waits first: rx repeats its start only every 10 s.
        vrl = StartVrl({"--port", port, "-b", "115200", "--send-file", sent.string(), "--protocol",
                        row.protocol},
                       errors);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_TRUE(far.Start(FarEnd(row.protocol, true, "f.bin"), (m_root / "far").string()));
    } else {
        ASSERT_TRUE(far.Start(FarEnd(row.protocol, false, sent.string()), m_root.string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        vrl = StartVrl({"--port", port, "-b", "115200", "--receive-file", (m_root / "in").string(),
                        "--protocol", row.protocol},
                       errors);
    }
    ASSERT_GT(vrl, 0);
    EXPECT_EQ(WaitVrl(vrl), 0) << ReadFile(errors);
    EXPECT_EQ(far.Wait(10000), 0);
    const fs::path folder = m_root / (row.vrlSends ? "far" : "in");
    fs::path got;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path() != sent)
            got = entry.path();
    ASSERT_FALSE(got.empty()) << "nothing arrived";
    const bool ymodem = std::string(row.protocol) == "ymodem";
    EXPECT_TRUE(Arrived(content, ReadFile(got), ymodem));
    if (ymodem) {
        EXPECT_EQ(got.filename(), "f.bin");
    }
    if (row.damageEvery) {
        EXPECT_GT(far.Damaged(), 0u);
    }
}

namespace {

std::vector<Row> Rows()
{
    std::vector<Row> rows;
    for (const char* protocol : {"xmodem", "xmodem1k", "ymodem"})
        for (const std::size_t size : {0, 1, 127, 128, 129, 1023, 1024, 1025, 1 << 20})
            for (const bool vrlSends : {true, false})
                rows.push_back({protocol, size, vrlSends});
    rows.push_back({"xmodem", 2048, true, 200});
    rows.push_back({"xmodem", 2048, false, 200});
    return rows;
}

std::string RowName(const ::testing::TestParamInfo<Row>& info)
{
    return std::string(info.param.protocol) + "_" + std::to_string(info.param.size)
           + (info.param.vrlSends ? "_sent" : "_received")
           + (info.param.damageEvery ? "_damaged" : "");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Lrzsz, TransferTest, ::testing::ValuesIn(Rows()), RowName);

// A cancel from either side ends both with the reason, and VRL as receiver keeps nothing.
TEST_F(TransferTest, CancelFromEitherSide)
{
    const std::string content = Content(1 << 20);
    for (const bool vrlCancels : {false, true}) {
        SCOPED_TRACE(vrlCancels ? "VRL cancels" : "rb cancels");
        const fs::path sent = m_root / "f.bin";
        std::ofstream(sent, std::ios::binary) << content;
        RelayedProgram far;
        const std::string port = "COM1=" + far.Path();
        const std::string errors = (m_root / "vrl.err").string();
        pid_t vrl = -1;
        if (vrlCancels) {
            ASSERT_TRUE(far.Start({"sb", "-k", "-t", "10", sent.string()}, m_root.string()));
            vrl = StartVrl({"--port", port, "--receive-file", (m_root / "in").string(),
                            "--protocol", "ymodem"},
                           errors);
        } else {
            vrl = StartVrl({"--port", port, "--send-file", sent.string(), "--protocol", "ymodem"},
                           errors);
            ASSERT_TRUE(far.Start({"rb", "-t", "10"}, (m_root / "far").string()));
        }
        ASSERT_GT(vrl, 0);
        for (int i = 0; i < 1000 && far.Passed() < 100000; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::kill(vrlCancels ? vrl : far.Pid(), vrlCancels ? SIGTERM : SIGINT);
        EXPECT_EQ(WaitVrl(vrl), 1);
        EXPECT_GT(far.Wait(5000), 0); // at once, not after its own time-outs
        const std::string why = ReadFile(errors);
        EXPECT_NE(why.find(vrlCancels ? "传输已取消（已传送 " : "接收方取消了传输（已发送 "),
                  std::string::npos)
            << why;
        // Nothing half-received under a name, nor beside it (rb keeps its part: not judged).
        EXPECT_TRUE(fs::is_empty(m_root / "in"));
    }
}
