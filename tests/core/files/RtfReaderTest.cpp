#include "core/files/RtfReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

RtfReadResult ReadOk(std::string_view rtf)
{
    RtfReadResult result = RtfReader::Read(rtf);
    EXPECT_EQ(result.m_status, RtfReadStatus::Ok) << result.m_reason;
    EXPECT_TRUE(result.m_reason.empty());
    return result;
}

std::string TextOf(std::string_view rtf)
{
    return ReadOk(rtf).m_document.Text();
}

// "text|rrggbb|size|face" for each run, for compact comparisons.
std::vector<std::string> Runs(const RichText& doc)
{
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < doc.RunCount(); ++i) {
        const RichTextFormat& f = doc.RunFormat(i);
        char color[16];
        std::snprintf(color, sizeof color, "%06x", f.m_color);
        runs.push_back(std::string(doc.RunText(i)) + "|" + color + "|"
                       + std::to_string(f.m_halfPoints) + "|" + f.m_face);
    }
    return runs;
}

} // namespace

// As rich edit 2.0 writes a monitor text on a Chinese system.
TEST(RtfReader, RichEditSample)
{
    const char* rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green0\\blue200;\\red128\\green128\\blue128;}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18"
        "\\cf3 12:30:01 COM\\cf1 2\\cf3\\'a1\\'fc\\cf2 EB 90 \\'d6\\'d0\\par\r\n"
        "\\cf0\\lang1033\\f1\\fs20 Hello\\tab \\u8364?\\par\r\n"
        "}\r\n";
    const RichText doc = ReadOk(rtf).m_document;
    EXPECT_EQ(Runs(doc), (std::vector<std::string>{
                             "12:30:01 COM|808080|18|宋体",
                             "2|c80000|18|宋体",
                             "↑|808080|18|宋体",
                             "EB 90 中\n|0000c8|18|宋体",
                             "Hello\t€|000000|20|Arial",
                         }));
}

// As LibreOffice Writer writes a document: no \ansicpg, Chinese as \uN with \'3f fallbacks,
// style sheet, information, page styles and footnote separators to skip.
TEST(RtfReader, LibreOfficeSample)
{
    const char* rtf =
        "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
        "{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans;}{\\f5\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;\\red0\\green128\\blue0;}\n"
        "{\\stylesheet{\\s0\\snext0\\ql\\widctlpar\\hyphpar0\\ltrpar\\kerning1\\dbch\\af7\\langfe2052\\loch\\f3"
        "\\hich\\af3\\fs24\\lang2057 Normal;}\n"
        "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
        "{\\info{\\creatim\\yr2024\\mo1\\dy3\\hr9\\min4}{\\revtim\\yr2024\\mo1\\dy3\\hr9\\min4}}{\\*\\userprops}"
        "\\deftab709\n"
        "{\\*\\pgdsctbl\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
        "\\formshade\\paperh16838\\paperw11906\\sectd\\sbknone\\pgndec\\pgwsxn11906\\pghsxn16838\n"
        "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0\\ltrpar\\kerning1\\dbch\\af7"
        "\\langfe2052\\loch\\f4\\hich\\af4\\fs24\\lang2057{\\cf2\\rtlch \\ltrch\\loch\n"
        "COM1 }{\\cf2\\rtlch \\ltrch\\loch\\loch\\f5\\hich\\af5 \\u20013\\'3f\\u25991\\'3f}\n"
        "\\par \\pard\\plain \\s0\\ql\\widctlpar\\ltrpar\\loch\\f4\\fs24{\\cf3\\rtlch \\ltrch\\loch\n"
        "EB 90 \\{x\\}\\\\}\n"
        "\\par }";
    const RichText doc = ReadOk(rtf).m_document;
    EXPECT_EQ(Runs(doc), (std::vector<std::string>{
                             "COM1 |c80000|24|Liberation Sans",
                             "中文|c80000|24|Noto Sans CJK SC",
                             "\n|000000|24|Liberation Sans",
                             "EB 90 {x}\\|008000|24|Liberation Sans",
                         }));
}

TEST(RtfReader, ControlWordsSymbolsAndParameters)
{
    // The delimiting space belongs to the control word; a second space is text.
    EXPECT_EQ(TextOf("{\\rtf1 a\\tab  b\\par\\par}"), "a\t b\n");
    // Signed parameters, a word ended by a digit run or a non-letter.
    EXPECT_EQ(TextOf("{\\rtf1\\li-120\\fi360 x\\cf2;y}"), "x;y");
    // \line breaks a line and is kept at the end; \par at the end is the last line's end.
    EXPECT_EQ(TextOf("{\\rtf1 a\\line b\\line}"), "a\nb\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\par}"), "a");
    EXPECT_EQ(TextOf("{\\rtf1 a\\par\\pard\\plain\\f0 }"), "a");
    EXPECT_EQ(TextOf("{\\rtf1 a\\par\\par\\par}"), "a\n\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\\nb\\\r\nc}"), "a\nb\nc");
    // Named characters and symbols.
    EXPECT_EQ(
        TextOf(
            "{\\rtf1\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\_\\-\\:x}"),
        "—–•‘’“”\u00a0\u2011x");
    // Raw line ends are not text; a raw tab is.
    EXPECT_EQ(TextOf("{\\rtf1 a\r\nb\tc}"), "ab\tc");
    // Colour index 0 and indexes outside the table are black; \plain resets the format.
    const RichText doc =
        ReadOk(
            "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf1\\fs30 a\\cf7 b\\cf1 c\\plain d{\\cf1 e}f}")
            .m_document;
    EXPECT_EQ(Runs(doc), (std::vector<std::string>{"a|010203|30|", "b|000000|30|", "c|010203|30|",
                                                   "d|000000|0|", "e|010203|0|", "f|000000|0|"}));
}

TEST(RtfReader, CodePagesAndUnicode)
{
    // \'hh pairs in GBK under \ansicpg936, single bytes under 1252 (the default of \ansi).
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}"), "中文");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi caf\\'e9 \\'80}"), "café €");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}"), "café");
    // Raw 8-bit text is read in the same code page.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg936 \xd6\xd0}"), "中");
    // A font's \fcharset overrides the document's code page.
    EXPECT_EQ(
        TextOf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset204 B;}}"
               "\\f0\\'d6\\'d0\\f1\\'c0\\'e1}"),
        "中Аб");
    // ... and a font's \cpg its \fcharset.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg936 A;}}\\'d6\\'d0}"), "中");
    // \ucN: N fallback characters (bytes, escapes or control words) follow each \uN.
    EXPECT_EQ(TextOf("{\\rtf1\\uc2\\u20013\\'d6\\'d0x\\uc1\\u25991?y\\uc0\\u25991 z}"),
              "中x文y文z");
    EXPECT_EQ(TextOf("{\\rtf1\\u20013\\emdash x}"), "中x");
    // A group ends the fallback; \uc is scoped by groups.
    EXPECT_EQ(TextOf("{\\rtf1{\\uc3\\u20013 a}bc}"), "中bc");
    // Negative \uN, surrogate pairs, lone halves.
    EXPECT_EQ(TextOf("{\\rtf1\\u-10179?\\u-8704?\\u-3?}"), "😀\uFFFD");
    EXPECT_EQ(TextOf("{\\rtf1\\u-10179?x\\u-8704?}"), "\uFFFDx\uFFFD");
    // GBK bytes that do not decode give U+FFFD and the rest still reads.
    EXPECT_EQ(TextOf("{\\rtf1\\ansicpg936 a\\'ffb\\'d6}"), "a\uFFFDb\uFFFD");
    // An unknown \ansicpg leaves the code page as it was.
    EXPECT_EQ(TextOf("{\\rtf1\\ansicpg936\\ansicpg12345 \\'d6\\'d0}"), "中");
}

TEST(RtfReader, DestinationsAreSkipped)
{
    EXPECT_EQ(TextOf("{\\rtf1 a{\\*\\unknown x{y{z}}\\par}b}"), "ab");
    EXPECT_EQ(
        TextOf(
            "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}a"
            "{\\pict\\wmetafile8\\picw10 0102ffee}{\\object\\objemb{\\*\\objdata 0102}{\\result R}}b}"),
        "ab");
    EXPECT_EQ(TextOf("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}"), "link");
    EXPECT_EQ(TextOf("{\\rtf1{\\pntext\\'b7\\tab}item}"), "item");
    // \binN data is skipped by count, braces and backslashes inside it included.
    EXPECT_EQ(TextOf("{\\rtf1 a{\\pict\\bin5 }{\\}x}b}"), "ab");
    EXPECT_EQ(TextOf("{\\rtf1 a\\bin3 {{{b}"), "ab");
    // \* only marks a destination right after '{'.
    EXPECT_EQ(TextOf("{\\rtf1 a\\*b}"), "ab");
    // A font table without inner groups, a colour table whose last entry lacks its ';'.
    const RichText doc =
        ReadOk("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fmodern{\\*\\panose 0203}Courier;}"
               "{\\colortbl\\red9\\green8\\blue7;\\red1\\green2\\blue3}\\f1\\cf1 a\\f0\\cf0 b}")
            .m_document;
    EXPECT_EQ(Runs(doc), (std::vector<std::string>{"a|010203|0|Courier", "b|090807|0|Helvetica"}));
}

TEST(RtfReader, InputThatIsNotRtf)
{
    for (std::string_view input :
         {std::string_view(""), std::string_view("hello"), std::string_view("{\\rt"),
          std::string_view("\x00\x01\x02\xff", 4), std::string_view("{\\RTF1 x}"),
          std::string_view("\\rtf1 x}")}) {
        const RtfReadResult result = RtfReader::Read(input);
        EXPECT_EQ(result.m_status, RtfReadStatus::NotRtf) << input;
        EXPECT_FALSE(result.m_reason.empty());
        EXPECT_TRUE(result.m_document.IsEmpty());
        EXPECT_FALSE(result.IsUsable());
    }
    // A byte-order mark and blank lines before the group are accepted.
    EXPECT_EQ(TextOf("\xEF\xBB\xBF\r\n {\\rtf1 x}"), "x");
    // WordPad's trailing NUL and line end are fine.
    EXPECT_EQ(TextOf(std::string_view("{\\rtf1 x\\par\r\n}\r\n\0", 18)), "x");
}

TEST(RtfReader, DamagedInputGivesWhatCouldBeRead)
{
    struct Case
    {
        std::string input;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"{\\rtf1\\ansi abc\\par de", "abc\nde"},            // truncated
        {"{\\rtf1 ab\\'c", "abc"},                           // in an escape
        {"{\\rtf1 ab\\", "ab"},                              // after a backslash
        {"{\\rtf1 ab{\\*\\x", "ab"},                         // in a destination
        {"{\\rtf1 a\\bin99999999999 xyz}", "a"},             // \bin beyond the end
        {"{\\rtf1 a}b}", "a"},                               // unbalanced: text after the end
        {"{\\rtf1\\ansicpg936 \\'d6\\'d0\\'d6", "中\uFFFD"}, // half a character at the cut
    };
    for (const Case& c : cases) {
        const RtfReadResult result = RtfReader::Read(c.input);
        EXPECT_EQ(result.m_status, RtfReadStatus::Partial) << c.input;
        EXPECT_TRUE(result.IsUsable());
        EXPECT_FALSE(result.m_reason.empty());
        EXPECT_EQ(result.m_document.Text(), c.text) << c.input;
    }
    // Invalid escapes and absurd parameters are read without complaint.
    EXPECT_EQ(
        TextOf("{\\rtf1 a\\'zzb\\'4g\\cf99999999999999999999 c\\fs-99999999999 d\\u99999999999?"
               "\\u-99999?{\\uc99999999 \\u65 xyz}e\\abcdefghijklmnopqrstuvwxyzabcdefghijk f}"),
        "azzb4gcd\uFFFD\uFFFDAef");
}

TEST(RtfReader, HostileNestingAndTablesStayBounded)
{
    const std::size_t depth = 200000;
    std::string deep = "{\\rtf1 a" + std::string(depth, '{') + "x" + std::string(depth, '}') + "b}";
    RtfReadResult result = RtfReader::Read(deep);
    EXPECT_EQ(result.m_status, RtfReadStatus::Partial);
    EXPECT_EQ(result.m_document.Text(), "ab"); // the part nested too deep is left out
    // Groups nested less deeply than the limit are read in full.
    std::string nested = "{\\rtf1 a" + std::string(200, '{') + "x" + std::string(200, '}') + "b}";
    EXPECT_EQ(TextOf(nested), "axb");

    // Many colours and many distinct formats: tables and formats stop growing at their limits,
    // the text is read in full.
    std::string colors = "{\\rtf1{\\colortbl";
    for (int i = 0; i < 100000; ++i)
        colors += "\\red" + std::to_string(i % 256) + "\\green" + std::to_string(i / 256) + ";";
    colors += "}\\cf20000 y\\cf16383 z";
    for (int i = 0; i < 100000; ++i)
        colors += "\\cf" + std::to_string(i % 16000) + "\\fs" + std::to_string(i % 7) + " x";
    colors += "}";
    result = RtfReader::Read(colors);
    EXPECT_EQ(result.m_status, RtfReadStatus::Ok);
    const RichText& doc = result.m_document;
    EXPECT_EQ(doc.Text(), "yz" + std::string(100000, 'x'));
    EXPECT_EQ(doc.Formats().size(), 65536u);
    EXPECT_EQ(doc.RunFormat(0).m_color, 0u); // beyond the kept colours: black
    EXPECT_EQ(doc.RunFormat(1).m_color, 0xFF3F00u);
    EXPECT_EQ(doc.RunFormat(3).m_color, 0x010000u);
}

TEST(RtfReader, Files)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vrl-rtfr-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    const std::filesystem::path path = dir / "a.tnf";
    {
        std::ofstream(path, std::ios::binary) << "{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\par}";
    }
    RtfReadResult result = RtfReader::ReadFile(path.string());
    EXPECT_EQ(result.m_status, RtfReadStatus::Ok);
    EXPECT_EQ(result.m_document.Text(), "中");

    for (const std::filesystem::path& bad : {dir / "missing.tnf", dir}) {
        result = RtfReader::ReadFile(bad.string());
        EXPECT_EQ(result.m_status, RtfReadStatus::CannotOpen) << bad;
        EXPECT_FALSE(result.m_reason.empty());
    }
    std::filesystem::remove_all(dir);
}

// A FIFO named as a file (on the command line, say) must not hang the window: open() of a
// FIFO for reading waits for a writer unless it is asked not to.
TEST(RtfReader, FifoIsRefusedWithoutWaiting)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vrl-rtfr-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    const std::filesystem::path fifo = dir / "pipe.tnf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    std::promise<RtfReadResult> promise;
    std::future<RtfReadResult> future = promise.get_future();
    std::thread reader([&] { promise.set_value(RtfReader::ReadFile(fifo.string())); });
    const bool returned = future.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    if (!returned) {
        // Release the reader so that the test can end: a writer that comes and goes.
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
    reader.join();
    EXPECT_TRUE(returned) << "ReadFile waited for a writer on a FIFO";
    const RtfReadResult result = future.get();
    EXPECT_EQ(result.m_status, RtfReadStatus::CannotOpen);
    EXPECT_FALSE(result.m_reason.empty());
    std::filesystem::remove_all(dir);
}

// A file far larger than memory (a sparse one here) is refused with a reason; the failed
// allocation must not escape as an exception into the window's event loop.
TEST(RtfReader, FileLargerThanMemoryIsRefused)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP()
        << "a sanitizer's allocator stops the program on an impossible allocation instead of throwing";
#else
    // Only where the kernel refuses an allocation beyond memory and swap (heuristic or strict
    // overcommit); with "always" the attempt would touch terabytes.
    std::ifstream overcommit("/proc/sys/vm/overcommit_memory");
    int mode = -1;
    overcommit >> mode;
    if (mode != 0 && mode != 2)
        GTEST_SKIP() << "overcommit mode " << mode;
    std::string pattern = (std::filesystem::temp_directory_path() / "vrl-rtfr-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    const std::filesystem::path path = dir / "huge.tnf";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const bool sparse = ::ftruncate(fd, off_t{1} << 43) == 0; // 8 TiB, no block written
    ::close(fd);
    if (!sparse) {
        std::filesystem::remove_all(dir);
        GTEST_SKIP() << "the temporary folder holds no 8 TiB sparse file";
    }
    RtfReadResult result;
    EXPECT_NO_THROW(result = RtfReader::ReadFile(path.string()));
    EXPECT_EQ(result.m_status, RtfReadStatus::CannotOpen);
    EXPECT_FALSE(result.m_reason.empty());
    std::filesystem::remove_all(dir);
#endif
}
