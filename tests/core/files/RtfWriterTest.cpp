#include "core/files/RtfWriter.h"

#include "core/files/RichText.h"
#include "core/files/RtfReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The six colours of the monitor view, by colour index.
constexpr std::uint32_t kMonitorColors[6] = {0x000000, 0xC80000, 0x008000,
                                             0x0000C8, 0xC80000, 0x808080};

RichTextFormat MonitorFormat(int index)
{
    return RichTextFormat{kMonitorColors[index], 18, "宋体"};
}

std::string WriteToString(const RichText& doc)
{
    std::ostringstream out;
    EXPECT_TRUE(RtfWriter::Write(doc, out));
    return out.str();
}

RichText RoundTrip(const RichText& doc)
{
    const RtfReadResult result = RtfReader::Read(WriteToString(doc));
    EXPECT_EQ(result.m_status, RtfReadStatus::Ok) << result.m_reason;
    return result.m_document;
}

std::string Describe(const RichText& doc)
{
    std::string out;
    for (std::size_t i = 0; i < doc.RunCount(); ++i) {
        const RichTextFormat& f = doc.RunFormat(i);
        char head[64];
        std::snprintf(head, sizeof head, "[%06x %d ", f.m_color, f.m_halfPoints);
        out += head + f.m_face + "]" + std::string(doc.RunText(i)) + "\n";
    }
    return out;
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vrl-rtf-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::filesystem::path Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace

TEST(RtfWriter, HeaderTablesAndColouredLines)
{
    RichText doc;
    doc.Append("12:00:01 ", MonitorFormat(5));
    doc.Append("COM1", MonitorFormat(1));
    doc.Append("EB 90\n", MonitorFormat(3));
    const std::string rtf = WriteToString(doc);
    EXPECT_EQ(
        rtf.rfind(
            "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}",
            0),
        0u)
        << rtf;
    EXPECT_NE(
        rtf.find(
            "{\\colortbl ;\\red128\\green128\\blue128;\\red200\\green0\\blue0;\\red0\\green0\\blue200;}"),
        std::string::npos)
        << rtf;
    // Every line ends with \par, the last (empty) one included.
    EXPECT_NE(rtf.find("\\cf1 12:00:01 \\cf2 COM1\\cf3 EB 90\\par\r\n\\par\r\n}"),
              std::string::npos)
        << rtf;
}

TEST(RtfWriter, EscapesGbkAndCharactersGbkLacks)
{
    RichText doc;
    doc.Append("a\\b{c}d\t中\x02", RichTextFormat{});
    doc.Append("한😀", RichTextFormat{});
    const std::string rtf = WriteToString(doc);
    EXPECT_NE(rtf.find("a\\\\b\\{c\\}d\\tab \\'d6\\'d0\\'02\\u-10916?\\u-10179?\\u-8704?\\par"),
              std::string::npos)
        << rtf;
    // Nothing outside ASCII reaches the file.
    for (char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << rtf;
}

TEST(RtfWriter, RoundTripKeepsTextAndTheSixColours)
{
    RichText doc;
    for (int index = 0; index < 6; ++index)
        doc.Append("颜色" + std::to_string(index) + "\n", MonitorFormat(index));
    doc.Append("12:30:01 ", MonitorFormat(5));
    doc.Append("COM", MonitorFormat(5));
    doc.Append("3", MonitorFormat(1));
    doc.Append("↑", MonitorFormat(5));
    doc.Append("EB 90 {\\} ~ \\par 一二三 한국어 😀 €\n\n\n", MonitorFormat(3));
    doc.Append(std::string(12287, 'A') + "\n", MonitorFormat(4));
    doc.Append("\tend without line end", MonitorFormat(0));
    EXPECT_EQ(RoundTrip(doc), doc) << Describe(RoundTrip(doc));

    // Empty documents, a lone line end, and a document ending in empty lines.
    for (const char* text : {"", "\n", "x\n\n", "\n\nx"}) {
        RichText d;
        d.Append(text, MonitorFormat(0));
        EXPECT_EQ(RoundTrip(d).Text(), text);
    }
}

TEST(RtfWriter, FormatsWithoutFaceOrSizeAndOtherFaces)
{
    RichText doc;
    doc.Append("default ", RichTextFormat{0x123456, 0, ""});
    doc.Append("big ", RichTextFormat{0x123456, 40, ""});
    doc.Append("mono", RichTextFormat{0x010203, 20, "DejaVu Sans Mono"});
    // A face GBK cannot hold goes into the font table as \uN and must come back.
    doc.Append("x", RichTextFormat{0x010203, 20, "Ærial 字体 😀"});
    const RichText back = RoundTrip(doc);
    ASSERT_EQ(back.RunCount(), 4u) << Describe(back);
    // An unset face and size are written as 宋体 and 9 points.
    EXPECT_EQ(back.RunFormat(0), (RichTextFormat{0x123456, 18, "宋体"}));
    EXPECT_EQ(back.RunFormat(1), (RichTextFormat{0x123456, 40, "宋体"}));
    EXPECT_EQ(back.RunFormat(2), (RichTextFormat{0x010203, 20, "DejaVu Sans Mono"}));
    EXPECT_EQ(back.RunFormat(3), (RichTextFormat{0x010203, 20, "Ærial 字体 😀"}));
    EXPECT_EQ(back.Text(), "default big monox");
}

// Counts what the writer hands to its stream, block by block.
class BlockCounter : public std::streambuf
{
public:
    std::size_t m_blocks = 0;
    std::size_t m_largest = 0;
    std::size_t m_total = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize count) override
    {
        ++m_blocks;
        m_largest = std::max(m_largest, static_cast<std::size_t>(count));
        m_total += static_cast<std::size_t>(count);
        return count;
    }
    int_type overflow(int_type ch) override
    {
        return xsputn(nullptr, 1) == 1 ? ch : traits_type::eof();
    }
};

TEST(RtfWriter, StreamsInBlocks)
{
    RichText doc;
    for (int line = 0; line < 20000; ++line) {
        doc.Append("12:30:01 COM", MonitorFormat(5));
        doc.Append("EB 90 02 34 0D 中\n", MonitorFormat(3));
    }
    BlockCounter counter;
    std::ostream out(&counter);
    ASSERT_TRUE(RtfWriter::Write(doc, out));
    EXPECT_GT(counter.m_total, 1000000u);
    EXPECT_GT(counter.m_blocks, 10u);
    EXPECT_LE(counter.m_largest, 128u * 1024u); // never the whole file at once
}

TEST(RtfWriter, FilesAndFailures)
{
    TempDir dir;
    RichText doc;
    doc.Append("第一行\n第二行", MonitorFormat(3));
    const std::string path = (dir.Path() / "20240103 0904.tnf").string();
    ASSERT_TRUE(RtfWriter::WriteFile(doc, path));
    EXPECT_EQ(RtfReader::ReadFile(path).m_document, doc);

    // An existing file is replaced whole, not appended to.
    RichText shorter;
    shorter.Append("x", MonitorFormat(0));
    ASSERT_TRUE(RtfWriter::WriteFile(shorter, path));
    EXPECT_EQ(RtfReader::ReadFile(path).m_document.Text(), "x");

    EXPECT_FALSE(RtfWriter::WriteFile(doc, (dir.Path() / "missing" / "a.tnf").string()));
    EXPECT_FALSE(RtfWriter::WriteFile(doc, dir.Path().string()));
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(RtfWriter::Write(doc, broken));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(RtfWriter::WriteFile(doc, "/dev/full"));
    }

    // A FIFO at the path is no file: refused at once, not a wait for a reader that never
    // comes.
    const std::filesystem::path fifo = dir.Path() / "pipe.tnf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::promise<bool> promise;
    std::future<bool> future = promise.get_future();
    std::thread writer([&] { promise.set_value(RtfWriter::WriteFile(doc, fifo.string())); });
    const bool returned = future.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    int drain = -1;
    if (!returned)
        drain = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK); // releases the waiting writer
    writer.join();
    if (drain >= 0)
        ::close(drain);
    EXPECT_TRUE(returned) << "WriteFile waited for a reader on a FIFO";
    EXPECT_FALSE(future.get());
}

namespace {

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// The colour of each character other than a line end, as "rrggbb " per UTF-8 byte.
std::string ColoursOfText(const RichText& doc)
{
    std::string colours;
    char hex[16];
    for (std::size_t i = 0; i < doc.RunCount(); ++i) {
        std::snprintf(hex, sizeof hex, "%06x ", doc.RunFormat(i).m_color);
        for (char c : doc.RunText(i)) {
            if (c != '\n')
                colours += hex;
        }
    }
    return colours;
}

std::string ReadWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// A written file opens in a word processor with the same text and colours.
TEST(RtfWriter, LibreOfficeReadsTheSameTextAndColours)
{
    if (!OnPath("libreoffice"))
        GTEST_SKIP() << "LibreOffice is not installed";
    TempDir dir;
    RichText doc;
    doc.Append("12:30:01 ", MonitorFormat(5));
    doc.Append("COM", MonitorFormat(5));
    doc.Append("1", MonitorFormat(1));
    doc.Append("↑", MonitorFormat(5));
    doc.Append("EB 90 {\\} 中文 們 한 😀\n", MonitorFormat(3));
    doc.Append("\tsent\n\n", MonitorFormat(4));
    doc.Append("green ", MonitorFormat(2));
    doc.Append("black", MonitorFormat(0));
    ASSERT_TRUE(RtfWriter::WriteFile(doc, (dir.Path() / "monitor.tnf").string()));

    // A profile of its own keeps LibreOffice off the user's and off other running instances.
    const std::string convert = "cd '" + dir.Path().string() + "' && HOME='" + dir.Path().string()
                                + "' timeout 35 libreoffice -env:UserInstallation=file://"
                                + dir.Path().string() + "/profile --headless --convert-to ";
    ASSERT_EQ(
        std::system((convert + "'txt:Text (encoded):UTF8' monitor.tnf >/dev/null 2>&1").c_str()),
        0);
    std::string text = ReadWhole(dir.Path() / "monitor.txt");
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    // The text export ends every paragraph with a line end, the last one too.
    EXPECT_EQ(text, doc.Text() + "\n");

    ASSERT_EQ(std::system((convert + "html monitor.tnf >/dev/null 2>&1").c_str()), 0);
    const std::string html = ReadWhole(dir.Path() / "monitor.html");
    for (const char* color : {"#808080", "#c80000", "#0000c8", "#008000"})
        EXPECT_NE(html.find(color), std::string::npos) << color;

    // And the RTF that LibreOffice writes of it reads back with the same text and colours
    // (the colour of paragraph marks aside).
    ASSERT_EQ(std::system((convert + "rtf --outdir lo monitor.tnf >/dev/null 2>&1").c_str()), 0);
    const RtfReadResult back = RtfReader::ReadFile((dir.Path() / "lo" / "monitor.rtf").string());
    ASSERT_EQ(back.m_status, RtfReadStatus::Ok) << back.m_reason;
    EXPECT_EQ(back.m_document.Text(), doc.Text());
    EXPECT_EQ(ColoursOfText(back.m_document), ColoursOfText(doc));
}
