#include "core/files/RtfReader.h"

#include "core/text/CoreText.h"

#include "core/text/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

// Limits that keep hostile input harmless. Real files stay far below them: rich edit
// controls nest a few groups deep and use a handful of fonts and colours.
constexpr std::size_t kMaxDepth = 256;
constexpr std::size_t kMaxColors = 16384;
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxFaceBytes = 256;
constexpr std::size_t kMaxFormats = 65536;
constexpr std::size_t kMaxWordLength = 32;

const char* const kReasonTruncated = VRL_TR_NOOP("RtfReader", "文件不完整，只读出了前面的部分");
const char* const kReasonTooDeep = VRL_TR_NOOP("RtfReader", "文件的分组嵌套过深，过深的部分被略过");
const char* const kReasonTrailing = VRL_TR_NOOP("RtfReader", "文件结尾之后还有内容，未被读出");
const char* const kReasonNoMemory = VRL_TR_NOOP("RtfReader", "文件太大，内存不足，无法读出");

enum class Destination : std::uint8_t
{
    Text,
    Skip,
    FontTable,
    ColorTable,
};

enum class Word : std::uint8_t
{
    Unknown,
    Par,   // paragraph end; the last one of the file ends the last line
    Break, // line break
    Tab,
    Char,    // a character given by its name (\emdash, \lquote ...)
    Unicode, // \uN
    UnicodeSkip,
    Color,
    FontSize,
    Font,
    Plain,
    Ansi,
    AnsiCodePage,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    Binary,
    FontTable,
    ColorTable,
    Red,
    Green,
    Blue,
    FontCharset,
    FontCodePage,
    SkipDestination,
};

struct WordInfo
{
    Word m_word;
    char32_t m_char = 0;
};

const std::unordered_map<std::string_view, WordInfo>& Words()
{
    static const std::unordered_map<std::string_view, WordInfo> words = [] {
        std::unordered_map<std::string_view, WordInfo> w{
            {"par", {Word::Par}},
            {"sect", {Word::Par}},
            {"line", {Word::Break}},
            {"row", {Word::Break}},
            {"nestrow", {Word::Break}},
            {"tab", {Word::Tab}},
            {"cell", {Word::Tab}},
            {"nestcell", {Word::Tab}},
            {"emdash", {Word::Char, 0x2014}},
            {"endash", {Word::Char, 0x2013}},
            {"bullet", {Word::Char, 0x2022}},
            {"lquote", {Word::Char, 0x2018}},
            {"rquote", {Word::Char, 0x2019}},
            {"ldblquote", {Word::Char, 0x201C}},
            {"rdblquote", {Word::Char, 0x201D}},
            {"emspace", {Word::Char, 0x2003}},
            {"enspace", {Word::Char, 0x2002}},
            {"qmspace", {Word::Char, 0x2005}},
            {"u", {Word::Unicode}},
            {"uc", {Word::UnicodeSkip}},
            {"cf", {Word::Color}},
            {"fs", {Word::FontSize}},
            {"f", {Word::Font}},
            {"plain", {Word::Plain}},
            {"ansi", {Word::Ansi}},
            {"ansicpg", {Word::AnsiCodePage}},
            {"mac", {Word::Mac}},
            {"pc", {Word::Pc}},
            {"pca", {Word::Pca}},
            {"deff", {Word::DefaultFont}},
            {"bin", {Word::Binary}},
            {"fonttbl", {Word::FontTable}},
            {"colortbl", {Word::ColorTable}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
            {"fcharset", {Word::FontCharset}},
            {"cpg", {Word::FontCodePage}},
        };
        // Destinations whose content is not text of the document.
        for (std::string_view name : {"info",
                                      "stylesheet",
                                      "pict",
                                      "object",
                                      "objdata",
                                      "objclass",
                                      "objname",
                                      "result",
                                      "header",
                                      "headerl",
                                      "headerr",
                                      "headerf",
                                      "footer",
                                      "footerl",
                                      "footerr",
                                      "footerf",
                                      "footnote",
                                      "annotation",
                                      "atnid",
                                      "atnauthor",
                                      "atntime",
                                      "atnref",
                                      "atndate",
                                      "atnicn",
                                      "author",
                                      "buptim",
                                      "comment",
                                      "creatim",
                                      "doccomm",
                                      "keywords",
                                      "operator",
                                      "printim",
                                      "revtim",
                                      "subject",
                                      "title",
                                      "company",
                                      "category",
                                      "manager",
                                      "hlinkbase",
                                      "pntext",
                                      "pntxta",
                                      "pntxtb",
                                      "pn",
                                      "listtext",
                                      "listtable",
                                      "listoverridetable",
                                      "revtbl",
                                      "rsidtbl",
                                      "filetbl",
                                      "fldinst",
                                      "xe",
                                      "tc",
                                      "txe",
                                      "template",
                                      "bkmkstart",
                                      "bkmkend",
                                      "nonshppict",
                                      "shp",
                                      "shpinst",
                                      "shprslt",
                                      "shptxt",
                                      "sp",
                                      "sn",
                                      "sv",
                                      "do",
                                      "themedata",
                                      "colorschememapping",
                                      "datastore",
                                      "latentstyles",
                                      "generator",
                                      "ftnsep",
                                      "ftnsepc",
                                      "ftncn",
                                      "aftnsep",
                                      "aftnsepc",
                                      "aftncn",
                                      "private",
                                      "userprops",
                                      "docvar",
                                      "picprop",
                                      "blipuid",
                                      "fchars",
                                      "lchars",
                                      "upr",
                                      "ud",
                                      "pgdsctbl",
                                      "listpicture",
                                      "background",
                                      "nonesttables",
                                      "xmlnstbl",
                                      "wgrffmtfilter",
                                      "mmathPr",
                                      "panose",
                                      "falt",
                                      "fontemb",
                                      "fontfile",
                                      "docinfo",
                                      "pxe"}) {
            w.emplace(name, WordInfo{Word::SkipDestination});
        }
        return w;
    }();
    return words;
}

// Windows code page of a font's \fcharset; 0 for the document's own (\ansicpg).
int CodePageForCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

struct GroupState
{
    Destination m_destination = Destination::Text;
    int m_color = 0;      // \cf: index in the colour table, 0 the automatic colour
    int m_halfPoints = 0; // \fs; 0 when the file gave none
    int m_font = -1;      // \f; -1 the default font (\deff)
    int m_unicodeSkip = 1;
};

struct FontEntry
{
    std::string m_face; // UTF-8
    int m_codePage = 0; // 0: the document's
};

class Parser
{
public:
    explicit Parser(std::string_view input) : m_in(input) {}

    RtfReadResult Run();

private:
    void OpenGroup();
    void CloseGroup();
    void ControlToken();
    void ControlWord();
    void Text();
    void TextByte(unsigned char byte);
    void ControlSymbol(char symbol);
    void Apply(const WordInfo& info, bool hasParam, int param);

    bool Skipping() const
    {
        return m_excessDepth > 0 || m_state.m_destination == Destination::Skip;
    }
    // A character in a \uN fallback that is being skipped.
    bool SkipFallback()
    {
        if (m_fallback == 0)
            return false;
        --m_fallback;
        return true;
    }

    void AppendChar(char32_t ch);
    void AppendUnicode(int unit);
    // The code page of the font entry being read: its \cpg, its \fcharset or the file's.
    int FontEntryCodePage() const;
    void DropHighSurrogate();
    void Flush();
    std::size_t FormatIndex();
    CodePage& CodePageFor(int windowsCodePage);
    int CurrentCodePage();

    void EndFontEntry();
    void EndColorEntry();
    void MarkPartial(const char* reason);

    std::string_view m_in;
    std::size_t m_pos = 0;
    bool m_done = false;
    bool m_groupStart = false; // just after '{': where \* may stand
    std::vector<GroupState> m_stack;
    GroupState m_state;
    std::size_t m_excessDepth = 0;
    int m_fallback = 0;           // \uN fallback characters still to skip
    char32_t m_highSurrogate = 0; // first half of a \uN pair, waiting for its second half

    // Text read but not yet in the document: bytes of the current code page, all in the
    // current format.
    std::string m_pending;
    bool m_pendingAscii = true;
    bool m_endsWithPar = false;

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    bool m_fontEntryOpen = false;
    int m_fontNumber = 0;
    int m_fontCharset = -1;
    int m_fontCodePage = 0; // \cpg of the entry, which outranks its \fcharset
    std::string m_fontName; // bytes
    std::string m_fontFace; // UTF-8 of the name before m_fontName: what came as \uN and before
    std::vector<std::uint32_t> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    std::map<int, std::unique_ptr<CodePage>> m_codePages;

    // The format of the last flush, to avoid looking it up again.
    bool m_haveFormat = false;
    std::uint32_t m_lastColor = 0;
    int m_lastHalfPoints = 0;
    int m_lastFont = 0;
    std::size_t m_lastFormat = 0;

    RichText m_doc;
    const char* m_partialReason = nullptr;
};

RtfReadResult Parser::Run()
{
    RtfReadResult result;
    // A byte-order mark or blank lines before the group are tolerated.
    if (m_in.substr(0, 3) == "\xEF\xBB\xBF")
        m_pos = 3;
    while (m_pos < m_in.size()
           && (m_in[m_pos] == ' ' || m_in[m_pos] == '\r' || m_in[m_pos] == '\n'
               || m_in[m_pos] == '\t'))
        ++m_pos;
    if (m_in.substr(m_pos, 5) != "{\\rtf") {
        result.m_status = RtfReadStatus::NotRtf;
        result.m_reason = m_in.empty() ? VRL_TR("RtfReader", "文件是空的")
                                       : VRL_TR("RtfReader", "不是 RTF 格式的文件");
        return result;
    }
    m_doc.Reserve(m_in.size() - m_pos);

    while (m_pos < m_in.size() && !m_done) {
        const char c = m_in[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            OpenGroup();
            break;
        case '}':
            ++m_pos;
            CloseGroup();
            break;
        case '\\':
            ++m_pos;
            ControlToken();
            break;
        case '\r':
        case '\n': ++m_pos; break;
        default: Text();
        }
    }
    if (!m_done) {
        MarkPartial(kReasonTruncated);
    } else {
        // WordPad ends its files with a NUL; blanks do no harm either.
        for (; m_pos < m_in.size(); ++m_pos) {
            const char c = m_in[m_pos];
            if (c != '\0' && c != ' ' && c != '\r' && c != '\n' && c != '\t') {
                MarkPartial(kReasonTrailing);
                break;
            }
        }
    }
    DropHighSurrogate();
    Flush();
    if (m_endsWithPar)
        m_doc.RemoveTrailingNewline();

    result.m_document = std::move(m_doc);
    if (m_partialReason) {
        result.m_status = RtfReadStatus::Partial;
        result.m_reason = CoreText::Tr("RtfReader", m_partialReason);
    }
    return result;
}

void Parser::MarkPartial(const char* reason)
{
    if (!m_partialReason)
        m_partialReason = reason;
}

void Parser::OpenGroup()
{
    m_fallback = 0;
    if (m_stack.size() >= kMaxDepth || m_excessDepth > 0) {
        ++m_excessDepth;
        MarkPartial(kReasonTooDeep);
        return;
    }
    Flush();
    m_stack.push_back(m_state);
    m_groupStart = true;
}

void Parser::CloseGroup()
{
    m_fallback = 0;
    m_groupStart = false;
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    Flush();
    if (m_state.m_destination == Destination::FontTable)
        EndFontEntry();
    else if (m_state.m_destination == Destination::ColorTable && m_colorGiven)
        EndColorEntry();
    m_state = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty())
        m_done = true;
}

void Parser::ControlToken()
{
    if (m_pos >= m_in.size())
        return; // a lone backslash at the end: the loop reports the truncation
    const char c = m_in[m_pos];
    if (IsLetter(c)) {
        ControlWord();
        return;
    }
    ++m_pos;
    if (c == '\'') {
        m_groupStart = false;
        if (m_pos + 2 <= m_in.size() && IsHexDigit(m_in[m_pos]) && IsHexDigit(m_in[m_pos + 1])) {
            const auto byte =
                static_cast<unsigned char>(HexValue(m_in[m_pos]) * 16 + HexValue(m_in[m_pos + 1]));
            m_pos += 2;
            if (SkipFallback() || Skipping())
                return;
            TextByte(byte);
        }
        // An escape without two hex digits is dropped; what follows it is read as usual.
        return;
    }
    ControlSymbol(c);
}

void Parser::ControlSymbol(char symbol)
{
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    if (SkipFallback() || Skipping())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}': TextByte(static_cast<unsigned char>(symbol)); break;
    case '~': AppendChar(0x00A0); break;
    case '_': AppendChar(0x2011); break;
    case '*':
        // {\*\destination ...}: a destination that a reader may ignore; none of them holds
        // text of the document.
        if (groupStart) {
            Flush();
            m_state.m_destination = Destination::Skip;
        }
        break;
    case '\r':
    case '\n': Apply(WordInfo{Word::Par}, false, 0); break;
    default: break; // \- \: \| and unknown symbols carry no text
    }
}

void Parser::ControlWord()
{
    const std::size_t start = m_pos;
    while (m_pos < m_in.size() && IsLetter(m_in[m_pos]))
        ++m_pos;
    const std::string_view name = m_in.substr(start, m_pos - start);

    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && m_in[m_pos + 1] >= '0'
        && m_in[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
        hasParam = true;
        value = std::min(value * 10 + (m_in[m_pos] - '0'), 10'000'000'000LL);
        ++m_pos;
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    if (negative)
        value = -value;
    const int param =
        static_cast<int>(std::clamp<long long>(value, -2147483647LL - 1, 2147483647LL));

    WordInfo info{Word::Unknown};
    if (name.size() <= kMaxWordLength) {
        const auto& words = Words();
        auto it = words.find(name);
        if (it != words.end())
            info = it->second;
    }
    m_groupStart = false;

    if (info.m_word == Word::Binary) {
        // The data is skipped in any destination and counts as one fallback character.
        const std::size_t count = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
        if (count > m_in.size() - m_pos) {
            m_pos = m_in.size();
            MarkPartial(kReasonTruncated);
        } else {
            m_pos += count;
        }
        SkipFallback();
        return;
    }
    if (SkipFallback() || Skipping())
        return;
    Apply(info, hasParam, param);
}

void Parser::Apply(const WordInfo& info, bool hasParam, int param)
{
    const Destination destination = m_state.m_destination;
    if (info.m_word == Word::UnicodeSkip) {
        m_state.m_unicodeSkip = std::max(hasParam ? param : 1, 0);
        return;
    }
    if (info.m_word == Word::Unicode) {
        if (destination == Destination::Text || destination == Destination::FontTable)
            AppendUnicode(param);
        m_fallback = m_state.m_unicodeSkip;
        return;
    }
    if (destination == Destination::FontTable) {
        switch (info.m_word) {
        case Word::Font:
            EndFontEntry();
            m_fontEntryOpen = true;
            m_fontNumber = param;
            m_fontCharset = -1;
            m_fontCodePage = 0;
            break;
        case Word::FontCharset: m_fontCharset = param; break;
        case Word::FontCodePage:
            if (!CodePage::NameForWindowsCodePage(param).empty())
                m_fontCodePage = param;
            break;
        case Word::SkipDestination: m_state.m_destination = Destination::Skip; break;
        default: break;
        }
        return;
    }
    if (destination == Destination::ColorTable) {
        const int component = std::clamp(param, 0, 255);
        switch (info.m_word) {
        case Word::Red:
            m_red = component;
            m_colorGiven = true;
            break;
        case Word::Green:
            m_green = component;
            m_colorGiven = true;
            break;
        case Word::Blue:
            m_blue = component;
            m_colorGiven = true;
            break;
        default: break;
        }
        return;
    }
    if (destination != Destination::Text)
        return;

    switch (info.m_word) {
    case Word::Par:
        DropHighSurrogate();
        m_pending += '\n';
        m_endsWithPar = true;
        break;
    case Word::Break:
        DropHighSurrogate();
        m_pending += '\n';
        m_endsWithPar = false;
        break;
    case Word::Tab:
        DropHighSurrogate();
        m_pending += '\t';
        m_endsWithPar = false;
        break;
    case Word::Char: AppendChar(info.m_char); break;
    case Word::Color:
        Flush();
        m_state.m_color = hasParam ? param : 0;
        break;
    case Word::FontSize:
        Flush();
        m_state.m_halfPoints = std::clamp(hasParam ? param : 24, 0, 3276);
        break;
    case Word::Font:
        Flush();
        m_state.m_font = hasParam ? param : m_defaultFont;
        break;
    case Word::Plain:
        Flush();
        m_state.m_color = 0;
        m_state.m_halfPoints = 0;
        m_state.m_font = -1;
        break;
    case Word::Ansi: m_ansiCodePage = 1252; break;
    case Word::AnsiCodePage:
        if (!CodePage::NameForWindowsCodePage(param).empty())
            m_ansiCodePage = param;
        break;
    case Word::Mac: m_ansiCodePage = 10000; break;
    case Word::Pc: m_ansiCodePage = 437; break;
    case Word::Pca: m_ansiCodePage = 850; break;
    case Word::DefaultFont:
        Flush();
        m_defaultFont = param;
        break;
    case Word::FontTable:
        Flush();
        m_state.m_destination = Destination::FontTable;
        m_fontEntryOpen = false;
        break;
    case Word::ColorTable:
        Flush();
        m_state.m_destination = Destination::ColorTable;
        m_colors.clear();
        m_colorGiven = false;
        m_red = m_green = m_blue = 0;
        break;
    case Word::SkipDestination:
        Flush();
        m_state.m_destination = Destination::Skip;
        break;
    default: break; // formatting that the document does not keep
    }
}

void Parser::Text()
{
    m_groupStart = false;
    if (Skipping()) {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos];
            if (c == '{' || c == '}' || c == '\\')
                break;
            ++m_pos;
        }
        return;
    }
    if (m_fallback > 0) {
        // One character of a \uN fallback (line ends are not characters).
        const char c = m_in[m_pos++];
        if (c != '\r' && c != '\n')
            --m_fallback;
        return;
    }
    if (m_state.m_destination == Destination::Text) {
        DropHighSurrogate();
        bool any = false;
        while (m_pos < m_in.size()) {
            const auto c = static_cast<unsigned char>(m_in[m_pos]);
            if (c == '{' || c == '}' || c == '\\')
                break;
            ++m_pos;
            if (c >= 0x20) {
                m_pending += static_cast<char>(c);
                if (c >= 0x80)
                    m_pendingAscii = false;
                any = true;
            } else if (c == '\t') {
                m_pending += '\t';
                any = true;
            }
            // Line ends are not text in RTF; other control bytes are noise.
        }
        if (any)
            m_endsWithPar = false;
        return;
    }
    while (m_pos < m_in.size()) {
        const auto c = static_cast<unsigned char>(m_in[m_pos]);
        if (c == '{' || c == '}' || c == '\\')
            break;
        ++m_pos;
        if (c >= 0x20)
            TextByte(c);
    }
}

// One byte of text (from the text itself or from \'hh) in the current destination.
void Parser::TextByte(unsigned char byte)
{
    switch (m_state.m_destination) {
    case Destination::Text:
        DropHighSurrogate();
        m_pending += static_cast<char>(byte);
        if (byte >= 0x80)
            m_pendingAscii = false;
        m_endsWithPar = false;
        break;
    case Destination::FontTable:
        if (byte == ';')
            EndFontEntry();
        else if (m_fontEntryOpen && m_fontFace.size() + m_fontName.size() < kMaxFaceBytes)
            m_fontName += static_cast<char>(byte);
        break;
    case Destination::ColorTable:
        if (byte == ';')
            EndColorEntry();
        break;
    case Destination::Skip: break;
    }
}

void Parser::AppendChar(char32_t ch)
{
    if (m_state.m_destination == Destination::FontTable) {
        // A face name that its code page cannot hold comes as \uN (as the writer writes it).
        m_highSurrogate = 0;
        if (m_fontEntryOpen && m_fontFace.size() + m_fontName.size() < kMaxFaceBytes) {
            m_fontFace += CodePageFor(FontEntryCodePage()).ToUtf8(m_fontName);
            m_fontName.clear();
            AppendUtf8(m_fontFace, ch);
        }
        return;
    }
    DropHighSurrogate();
    Flush();
    std::string utf8;
    AppendUtf8(utf8, ch);
    m_doc.Append(utf8, FormatIndex());
    m_endsWithPar = false;
}

void Parser::AppendUnicode(int unit)
{
    // \uN is a signed 16-bit UTF-16 unit; characters beyond U+FFFF come as two of them.
    if (unit < -32768 || unit > 65535) {
        AppendChar(0xFFFD);
        return;
    }
    const char32_t u = static_cast<char32_t>(unit < 0 ? unit + 0x10000 : unit) & 0xFFFF;
    if (u >= 0xD800 && u <= 0xDBFF) {
        DropHighSurrogate();
        m_highSurrogate = u;
        return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
        if (m_highSurrogate == 0) {
            AppendChar(0xFFFD);
            return;
        }
        const char32_t ch = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (u - 0xDC00);
        m_highSurrogate = 0;
        AppendChar(ch);
        return;
    }
    AppendChar(u);
}

void Parser::DropHighSurrogate()
{
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    AppendChar(0xFFFD);
}

void Parser::Flush()
{
    if (m_pending.empty())
        return;
    if (m_pendingAscii) {
        m_doc.Append(m_pending, FormatIndex());
    } else {
        m_doc.Append(CodePageFor(CurrentCodePage()).ToUtf8(m_pending), FormatIndex());
    }
    m_pending.clear();
    m_pendingAscii = true;
}

int Parser::CurrentCodePage()
{
    const int font = m_state.m_font >= 0 ? m_state.m_font : m_defaultFont;
    auto it = m_fonts.find(font);
    if (it != m_fonts.end() && it->second.m_codePage != 0)
        return it->second.m_codePage;
    return m_ansiCodePage;
}

CodePage& Parser::CodePageFor(int windowsCodePage)
{
    auto it = m_codePages.find(windowsCodePage);
    if (it == m_codePages.end()) {
        std::string name = CodePage::NameForWindowsCodePage(windowsCodePage);
        auto page = std::make_unique<CodePage>(name.empty() ? "CP1252" : name);
        if (!page->IsValid())
            page = std::make_unique<CodePage>("CP1252");
        it = m_codePages.emplace(windowsCodePage, std::move(page)).first;
    }
    return *it->second;
}

std::size_t Parser::FormatIndex()
{
    const std::uint32_t color =
        m_state.m_color >= 0 && static_cast<std::size_t>(m_state.m_color) < m_colors.size()
            ? m_colors[m_state.m_color]
            : 0x000000;
    const int font = m_state.m_font >= 0 ? m_state.m_font : m_defaultFont;
    if (m_haveFormat && color == m_lastColor && m_state.m_halfPoints == m_lastHalfPoints
        && font == m_lastFont)
        return m_lastFormat;
    RichTextFormat format;
    format.m_color = color;
    format.m_halfPoints = m_state.m_halfPoints;
    auto it = m_fonts.find(font);
    if (it != m_fonts.end())
        format.m_face = it->second.m_face;
    // A flood of distinct formats (hostile input) stops adding new ones.
    if (m_haveFormat && m_doc.Formats().size() >= kMaxFormats)
        return m_lastFormat;
    m_lastFormat = m_doc.AddFormat(format);
    m_lastColor = color;
    m_lastHalfPoints = m_state.m_halfPoints;
    m_lastFont = font;
    m_haveFormat = true;
    return m_lastFormat;
}

void Parser::EndFontEntry()
{
    if (!m_fontEntryOpen)
        return;
    m_fontEntryOpen = false;
    if (m_fonts.size() < kMaxFonts || m_fonts.count(m_fontNumber)) {
        FontEntry entry;
        entry.m_codePage = m_fontCodePage != 0 ? m_fontCodePage : CodePageForCharset(m_fontCharset);
        entry.m_face = m_fontFace + CodePageFor(FontEntryCodePage()).ToUtf8(m_fontName);
        while (!entry.m_face.empty() && entry.m_face.back() == ' ')
            entry.m_face.pop_back();
        m_fonts[m_fontNumber] = std::move(entry);
        m_haveFormat = false;
    }
    m_fontName.clear();
    m_fontFace.clear();
}

int Parser::FontEntryCodePage() const
{
    if (m_fontCodePage != 0)
        return m_fontCodePage;
    const int charset = CodePageForCharset(m_fontCharset);
    return charset != 0 ? charset : m_ansiCodePage;
}

void Parser::EndColorEntry()
{
    // An entry without components is the automatic colour: black text.
    if (m_colors.size() < kMaxColors)
        m_colors.push_back(
            m_colorGiven ? (static_cast<std::uint32_t>(m_red) << 16) | (m_green << 8) | m_blue : 0);
    m_red = m_green = m_blue = 0;
    m_colorGiven = false;
    m_haveFormat = false;
}

} // namespace

RtfReadResult RtfReader::Read(std::string_view bytes)
{
    try {
        return Parser(bytes).Run();
    } catch (const std::bad_alloc&) {
        // The document of an input this large does not fit in memory; the caller keeps its
        // text rather than the program ending in its event loop.
        RtfReadResult failed;
        failed.m_status = RtfReadStatus::CannotOpen;
        failed.m_reason = CoreText::Tr("RtfReader", kReasonNoMemory);
        return failed;
    }
}

RtfReadResult RtfReader::ReadFile(const std::string& path)
{
    RtfReadResult failed;
    failed.m_status = RtfReadStatus::CannotOpen;
    failed.m_reason = VRL_TR("RtfReader", "无法打开文件");
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, and the
    // window with it. It changes nothing for the regular files that are read below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failed;
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::exception&) { // bad_alloc, or length_error beyond max_size()
        ::close(fd);
        failed.m_reason = CoreText::Tr("RtfReader", kReasonNoMemory);
        return failed;
    }
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            failed.m_reason = VRL_TR("RtfReader", "读取文件失败");
            return failed;
        }
        if (n == 0)
            break; // the file shrank while we read it
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return Read(bytes);
}
