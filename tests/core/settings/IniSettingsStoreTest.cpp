#include "core/settings/IniSettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class IniSettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vrl-ini-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
        m_path = (m_dir / "config" / "Tellumar" / "VRL.conf").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string ReadFile() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void WriteFile(std::string_view content) const
    {
        fs::create_directories(fs::path(m_path).parent_path());
        std::ofstream(m_path, std::ios::binary) << content;
    }

    // Contents of the files moved aside as "VRL.conf.bad-<date>-<time>".
    std::vector<std::string> SetAsideFiles() const
    {
        std::vector<std::string> contents;
        for (const auto& entry : fs::directory_iterator(fs::path(m_path).parent_path())) {
            if (entry.path().filename().string().starts_with("VRL.conf.bad-")) {
                std::ifstream in(entry.path(), std::ios::binary);
                contents.emplace_back(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
            }
        }
        return contents;
    }

    fs::path m_dir;
    std::string m_path;
};

} // namespace

TEST_F(IniSettingsStoreTest, DefaultPathFollowsXdgConfigHome)
{
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/x/cfg/", 1);
    EXPECT_EQ(IniSettingsStore::DefaultPath(), "/x/cfg/Tellumar/VRL.conf");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(IniSettingsStore::DefaultPath(), home + "/.config/Tellumar/VRL.conf");
    }
    if (oldXdg)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(IniSettingsStoreTest, RoundTripThroughTheFile)
{
    const std::string awkward[] = {
        "",
        " leading and trailing ",
        "a=b=c",
        "line1\nline2\r\n",
        "C:\\dir\\file.tnf",
        "[not a section]",
        "; not a comment",
        "tab\there",
        std::string("nul\0byte", 8),
        "\\x41 is not A",
        "100%",
        "中文 GBK? no, UTF-8",
    };
    {
        IniSettingsStore store(m_path);
        EXPECT_EQ(store.ReadInt("Settings", "Common", 7), 7);
        store.WriteInt("Settings", "Common", -123456);
        store.WriteInt("Settings\\Filter", "Filter0", 0x7FFFFFFF);
        store.WriteString("Settings", "COM1", "9600:0:8:0:0:20");
        store.WriteString("设置\\过滤", "名称", "值");
        for (std::size_t i = 0; i < std::size(awkward); ++i)
            store.WriteString("Awkward", "v" + std::to_string(i), awkward[i]);
        store.WriteString("Awkward", " =[;odd name= ", "x");
        store.WriteString("Odd]\n%Section", "k", "y");
        EXPECT_FALSE(store.LastWriteFailed());
    }
    const std::string text = ReadFile();
    EXPECT_NE(text.find("[Settings\\Filter]\nFilter0=2147483647\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[设置\\过滤]\n名称=值\n"), std::string::npos) << text;

    IniSettingsStore again(m_path);
    EXPECT_EQ(again.ReadInt("Settings", "Common", 0), -123456);
    EXPECT_EQ(again.ReadInt("Settings\\Filter", "Filter0", 0), 0x7FFFFFFF);
    EXPECT_EQ(again.ReadString("Settings", "COM1"), "9600:0:8:0:0:20");
    EXPECT_EQ(again.ReadString("设置\\过滤", "名称"), "值");
    for (std::size_t i = 0; i < std::size(awkward); ++i)
        EXPECT_EQ(again.ReadString("Awkward", "v" + std::to_string(i), "?"), awkward[i]) << i;
    EXPECT_EQ(again.ReadString("Awkward", " =[;odd name= "), "x");
    EXPECT_EQ(again.ReadString("Odd]\n%Section", "k"), "y");
    EXPECT_EQ(again.Contents().size(), 5u);
    // Nested names are names, not groups: the parent has only its own values.
    EXPECT_EQ(again.Contents().at("Settings").size(), 2u);
}

TEST_F(IniSettingsStoreTest, IntegersAndStringsShareTheText)
{
    WriteFile("[S]\nplus=+12\nneg= -5 \nbig=2147483648\nhex=0x10\nword=12abc\nempty=\n");
    IniSettingsStore store(m_path);
    EXPECT_EQ(store.ReadInt("S", "plus", 0), 12);
    EXPECT_EQ(store.ReadInt("S", "neg", 0), -5);
    EXPECT_EQ(store.ReadInt("S", "big", 1), 1);
    EXPECT_EQ(store.ReadInt("S", "hex", 1), 1);
    EXPECT_EQ(store.ReadInt("S", "word", 1), 1);
    EXPECT_EQ(store.ReadInt("S", "empty", 1), 1);
    EXPECT_EQ(store.ReadString("S", "neg"), "-5");
    EXPECT_EQ(store.ReadString("S", "missing", "dflt"), "dflt");
    EXPECT_EQ(store.ReadString("Missing", "missing"), "");
}

TEST_F(IniSettingsStoreTest, DamagedFileKeepsWhatMakesSense)
{
    WriteFile(std::string("\xEF\xBB\xBF; comment\n"
                          "orphan=1\n"
                          "[Good]\r\n"
                          "  a = 1 \r\n"
                          "garbage line without equals\n"
                          "b=2\n"
                          "[Broken header\n"
                          "lost=3\n")
              + std::string("[Nul\0]\nn=4\n", 11)
              + "[Good]\n"
                "c=\\x4\n"
                "\xFF\xFE=\x80\n");
    IniSettingsStore store(m_path);
    EXPECT_EQ(store.ReadInt("Good", "a", 0), 1);
    EXPECT_EQ(store.ReadInt("Good", "b", 0), 2);
    EXPECT_EQ(store.ReadString("Good", "c"), "\\x4");
    EXPECT_EQ(store.ReadInt("Good", "lost", 0), 0);
    EXPECT_EQ(store.ReadInt("Good", "n", 0), 0);
    EXPECT_EQ(store.ReadInt("", "orphan", 0), 0);
    EXPECT_EQ(store.ReadString("Good", "\xFF\xFE"), "\x80");

    EXPECT_EQ(store.SetAsideNote(), ""); // damaged here and there, but a settings file

    // Random bytes: never a crash, the file is kept aside, and the store still writes a
    // sound file.
    std::mt19937 rng(42);
    std::string junk(100000, '\0');
    for (char& c : junk)
        c = static_cast<char>(rng());
    WriteFile(junk);
    IniSettingsStore binary(m_path);
    EXPECT_TRUE(binary.Contents().empty());
    binary.WriteInt("Settings", "Common", 5);
    EXPECT_FALSE(binary.LastWriteFailed());
    EXPECT_EQ(IniSettingsStore(m_path).ReadInt("Settings", "Common", 0), 5);
    EXPECT_EQ(SetAsideFiles(), std::vector<std::string>{junk});
    for (const auto& entry : fs::directory_iterator(fs::path(m_path).parent_path()))
        fs::remove(entry.path());

    // A folder where the file should be reads as defaults.
    fs::remove(m_path);
    fs::create_directory(m_path);
    EXPECT_TRUE(IniSettingsStore(m_path).Contents().empty());
}

TEST_F(IniSettingsStoreTest, FailedWriteKeepsMemoryAndRetries)
{
    // A plain file in place of a folder: no one, root included, can create the folder.
    const fs::path blocker = m_dir / "config";
    std::ofstream(blocker) << "x";
    IniSettingsStore store(m_path);
    store.WriteInt("Settings", "A", 1);
    EXPECT_TRUE(store.LastWriteFailed());
    EXPECT_EQ(store.ReadInt("Settings", "A", 0), 1);

    fs::remove(blocker);
    store.WriteInt("Settings", "B", 2);
    EXPECT_FALSE(store.LastWriteFailed());
    IniSettingsStore again(m_path);
    EXPECT_EQ(again.ReadInt("Settings", "A", 0), 1);
    EXPECT_EQ(again.ReadInt("Settings", "B", 0), 2);
}

TEST_F(IniSettingsStoreTest, AtomicReplaceAndBatches)
{
    IniSettingsStore store(m_path);
    store.WriteInt("S", "v", 1);
    // A hard link keeps the old file: the new one must arrive by rename, not in place.
    const fs::path oldCopy = m_dir / "old.conf";
    fs::create_hard_link(m_path, oldCopy);
    {
        IniSettingsStore::Batch batch(store);
        store.WriteInt("S", "v", 2);
        store.WriteInt("S", "w", 3);
        EXPECT_EQ(IniSettingsStore(m_path).ReadInt("S", "v", 0), 1); // not yet on disk
    }
    EXPECT_EQ(IniSettingsStore(m_path).ReadInt("S", "w", 0), 3);
    EXPECT_EQ(IniSettingsStore(oldCopy.string()).ReadInt("S", "v", 0), 1);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(m_path).parent_path())) {
        EXPECT_EQ(entry.path().filename(), "VRL.conf");
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(IniSettingsStoreTest, TwoProgramsKeepEachOthersValues)
{
    IniSettingsStore first(m_path);
    IniSettingsStore second(m_path);
    first.WriteInt("Settings", "TopMost", 1);
    second.WriteInt("Settings\\Filter", "Filter0", 9);
    IniSettingsStore third(m_path);
    EXPECT_EQ(third.ReadInt("Settings", "TopMost", 0), 1);
    EXPECT_EQ(third.ReadInt("Settings\\Filter", "Filter0", 0), 9);
    EXPECT_EQ(second.ReadInt("Settings", "TopMost", 0), 0); // read once, at start
}

TEST_F(IniSettingsStoreTest, FileThatCannotBeReadBackKeepsEarlierValues)
{
    {
        IniSettingsStore store(m_path);
        store.WriteString("Settings", "COM1", "9600:0:8:0:0:20");
    }
    IniSettingsStore store(m_path);
    // Someone replaces the file with something far beyond the size the store reads.
    WriteFile(std::string(17 * 1024 * 1024, 'x'));
    store.WriteInt("Settings", "COMHis", 3);
    IniSettingsStore after(m_path);
    EXPECT_EQ(after.ReadString("Settings", "COM1"), "9600:0:8:0:0:20");
    EXPECT_EQ(after.ReadInt("Settings", "COMHis", 0), 3);
    // The stranger's file is kept, not overwritten.
    EXPECT_EQ(SetAsideFiles(), std::vector<std::string>{std::string(17 * 1024 * 1024, 'x')});
    EXPECT_NE(store.SetAsideNote().find("VRL.conf.bad-"), std::string::npos)
        << store.SetAsideNote();
}

TEST_F(IniSettingsStoreTest, OpeningMovesAnUnreadableFileAsideAndClearsOldTemporaries)
{
    const std::string oversized(16 * 1024 * 1024 + 1, ' ');
    WriteFile(oversized);
    const fs::path stale = m_path + ".k3Zq9W";
    std::ofstream(stale) << "[Half";
    const timespec old[2] = {{std::time(nullptr) - 600, 0}, {std::time(nullptr) - 600, 0}};
    ::utimensat(AT_FDCWD, stale.c_str(), old, 0);

    IniSettingsStore store(m_path);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(store.Contents().empty());
    // Moved aside at once, so that the window can say so before anything is written.
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_EQ(SetAsideFiles(), std::vector<std::string>{oversized});
    const std::string note = store.SetAsideNote();
    EXPECT_NE(note.find(m_path + ".bad-"), std::string::npos) << note;
    EXPECT_NE(note.find("16 MB"), std::string::npos) << note;

    store.WriteInt("Settings", "A", 1);
    EXPECT_FALSE(store.LastWriteFailed());
    EXPECT_EQ(IniSettingsStore(m_path).ReadInt("Settings", "A", 0), 1);
    EXPECT_EQ(SetAsideFiles().size(), 1u);
}
