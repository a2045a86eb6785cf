#include "core/files/AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class AtomicFileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vrl-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override
    {
        fs::permissions(m_dir, fs::perms::owner_all);
        fs::remove_all(m_dir);
    }

    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Put(const fs::path& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    static AtomicWriteResult Write(const fs::path& path, const std::string& content)
    {
        return WriteFileAtomically(path.string(), [&](std::ostream& out) {
            out << content;
            return true;
        });
    }
    std::size_t Entries() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

} // namespace

TEST_F(AtomicFileWriterTest, ReplacesWholeKeepsModeAndLeavesOldFileOnFailure)
{
    const fs::path path = m_dir / "VRL.tnf";
    // More than one buffer's worth, so that the content goes out in several blocks.
    const std::string big(300000, 'x');
    AtomicWriteResult result = Write(path, big);
    ASSERT_TRUE(result.m_ok) << result.m_error;
    EXPECT_FALSE(result.m_inPlace);
    EXPECT_EQ(Read(path), big);

    fs::permissions(path, fs::perms(0640));
    ASSERT_TRUE(Write(path, "new").m_ok);
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

    // The content producer fails halfway: the old file stays, the temporary file goes.
    result = WriteFileAtomically(path.string(), [](std::ostream& out) {
        out << std::string(100000, 'y');
        return false;
    });
    EXPECT_FALSE(result.m_ok);
    EXPECT_NE(result.m_error.find(path.string()), std::string::npos) << result.m_error;
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Entries(), 1u);

    // The disk refuses the bytes (a file size limit stands in for a full disk).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    result = Write(path, big);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(result.m_ok);
    EXPECT_NE(result.m_error.find("文件太大"), std::string::npos) << result.m_error;
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileWriterTest, RefusesFoldersDevicesPipesAndSockets)
{
    const fs::path folder = m_dir / "folder";
    fs::create_directory(folder);
    const fs::path fifo = m_dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path socketPath = m_dir / "socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // As root a rename would replace /dev/null itself: a copy of it in the test folder stands
    // in for it there, so that a fault here cannot break the machine.
    fs::path device = "/dev/null";
    if (::geteuid() == 0) {
        device = m_dir / "null";
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    const fs::path linkToFifo = m_dir / "link";
    fs::create_symlink(fifo, linkToFifo);

    for (const fs::path& path : {folder, fifo, socketPath, device, linkToFifo}) {
        const fs::file_type before = fs::status(path).type();
        const AtomicWriteResult result = Write(path, "text");
        EXPECT_FALSE(result.m_ok) << path;
        EXPECT_NE(result.m_error.find(path.string()), std::string::npos) << result.m_error;
        EXPECT_EQ(fs::status(path).type(), before) << path;
    }
    EXPECT_TRUE(fs::is_symlink(linkToFifo));
    EXPECT_EQ(Entries(), 5u) << "a temporary file was left behind";
    ::close(sock);
}

TEST_F(AtomicFileWriterTest, SymbolicLinkStaysALink)
{
    fs::create_directory(m_dir / "dotfiles");
    const fs::path target = m_dir / "dotfiles" / "VRL.conf";
    Put(target, "old");
    const fs::path link = m_dir / "VRL.conf";
    fs::create_symlink("dotfiles/VRL.conf", link);
    ASSERT_TRUE(Write(link, "new").m_ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "new");

    // A link whose file is not there yet creates that file.
    fs::remove(target);
    ASSERT_TRUE(Write(link, "created").m_ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "created");
}

TEST_F(AtomicFileWriterTest, ReadOnlyFolderWritesTheFileInPlace)
{
    // Root creates files in any folder, so the case is played by an unprivileged child.
    const fs::path path = m_dir / "VRL.tnf";
    Put(path, "old content");
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    ASSERT_EQ(::chown(m_dir.c_str(), user, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chown(path.c_str(), user, static_cast<gid_t>(-1)), 0);
    fs::permissions(path, fs::perms(0644));
    const fs::path readOnly = m_dir / "readonly.tnf";
    Put(readOnly, "kept");
    ASSERT_EQ(::chown(readOnly.c_str(), user, static_cast<gid_t>(-1)), 0);
    fs::permissions(readOnly, fs::perms(0444));
    fs::permissions(m_dir, fs::perms(0555));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(user) != 0))
            ::_exit(10);
        const AtomicWriteResult result = Write(path, "new");
        if (!result.m_ok || !result.m_inPlace || Read(path) != "new")
            ::_exit(11);
        const AtomicWriteResult refused = Write(readOnly, "lost");
        if (refused.m_ok || refused.m_error.find("没有写入权限") == std::string::npos
            || Read(readOnly) != "kept")
            ::_exit(12);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10: no unprivileged user, 11: in-place write, 12: read-only file";
}

TEST_F(AtomicFileWriterTest, StaleTemporariesGoFreshOnesAndOthersStay)
{
    const fs::path path = m_dir / "VRL.conf";
    Put(path, "settings");
    const auto age = [](const fs::path& p, int seconds) {
        const timespec times[2] = {{std::time(nullptr) - seconds, 0},
                                   {std::time(nullptr) - seconds, 0}};
        ::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    const fs::path stale = m_dir / "VRL.conf.aB3xYz";
    const std::vector<fs::path> kept = {
        m_dir / "VRL.conf.Q9zR2k", // fresh: another copy may be writing it
        m_dir / "VRL.conf.backup", // a person's copy
        m_dir / "VRL.conf.aB3xY",  // not six characters
        m_dir / "VRL.conf.aB3-Yz", // not mkstemp's alphabet
        m_dir / "other.conf.aB3xYz",
        m_dir / "VRL.conf.Dir999", // a folder
    };
    Put(stale, "half");
    age(stale, 3600);
    for (const fs::path& p : kept) {
        if (p.filename() == "VRL.conf.Dir999")
            fs::create_directory(p);
        else
            Put(p, "x");
        if (p.filename() != "VRL.conf.Q9zR2k")
            age(p, 3600);
    }
    RemoveStaleTemporaries(path.string());
    EXPECT_FALSE(fs::exists(stale));
    for (const fs::path& p : kept)
        EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_EQ(Read(path), "settings");
}
