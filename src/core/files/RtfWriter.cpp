#include "core/files/RtfWriter.h"

#include "core/files/AtomicFileWriter.h"
#include "core/files/RichText.h"
#include "core/text/CodePage.h"

#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kDefaultFace = "宋体";
constexpr int kDefaultHalfPoints = 18;
constexpr std::size_t kBlockSize = 64 * 1024;

// Decodes the UTF-8 character at text[i] and moves i past it. A byte that does not start a
// valid sequence gives U+FFFD and moves one byte on.
char32_t DecodeUtf8(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = Utf8SequenceLength(lead);
    if (length == 1 || i + length > text.size()) {
        ++i;
        return lead < 0x80 ? lead : 0xFFFD;
    }
    char32_t ch = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        ch = (ch << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not characters.
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ch < kMinimum[length] || (ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF) {
        ++i;
        return 0xFFFD;
    }
    i += length;
    return ch;
}

void AppendHexByte(std::string& out, unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

void AppendUnicodeEscape(std::string& out, char32_t unit)
{
    // \uN takes a signed 16-bit number; '?' is the one fallback character of \uc1.
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u";
    out += std::to_string(value);
    out += '?';
}

} // namespace

class RtfWriter::Impl
{
public:
    Impl(const std::vector<RichTextFormat>& formats, std::ostream& out)
        : m_formats(formats), m_out(out),
          m_gbk(CodePage::Gbk()) // files are GBK (\ansicpg936) whatever the line uses
    {
        m_buffer.reserve(kBlockSize + 256);
    }

    void Append(std::string_view utf8, std::size_t formatIndex)
    {
        WriteFormat(formatIndex);
        WriteText(utf8);
    }

    bool Finish()
    {
        Put("\\par\r\n}\r\n");
        Flush();
        m_out.flush();
        return m_out.good();
    }

    bool Good() const { return m_out.good(); }

    bool FlushAll()
    {
        Flush();
        m_out.flush();
        return m_out.good();
    }

    std::uint64_t Size() const { return m_written + m_buffer.size(); }

    void WriteHeader()
    {
        // Faces and colours of all formats go into the tables up front; each format then maps
        // to its \f and \cf numbers.
        std::vector<std::string> faces{std::string(kDefaultFace)};
        std::vector<std::uint32_t> colors;
        std::map<std::string_view, std::size_t> faceNumbers{{kDefaultFace, 0}};
        std::unordered_map<std::uint32_t, std::size_t> colorNumbers;
        for (const RichTextFormat& format : m_formats) {
            const std::string_view face =
                format.m_face.empty() ? kDefaultFace : std::string_view(format.m_face);
            auto [f, newFace] = faceNumbers.try_emplace(face, faces.size());
            if (newFace)
                faces.emplace_back(face);
            auto [c, newColor] = colorNumbers.try_emplace(format.m_color, colors.size() + 1);
            if (newColor)
                colors.push_back(format.m_color); // \cf0 is the automatic colour
            m_fontOf.push_back(f->second);
            m_colorOf.push_back(c->second);
        }

        Put("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl");
        for (std::size_t f = 0; f < faces.size(); ++f) {
            // Every face is declared GB2312 (134): readers decode a font's \'hh in its charset.
            Put("{\\f" + std::to_string(f) + "\\fnil\\fcharset134 ");
            std::string name;
            for (char ch : faces[f]) {
                if (ch != ';')
                    name += ch;
            }
            WriteText(name);
            Put(";}");
        }
        Put("}\r\n{\\colortbl ;");
        char entry[64];
        for (std::uint32_t rgb : colors) {
            std::snprintf(entry, sizeof entry, "\\red%u\\green%u\\blue%u;", (rgb >> 16) & 0xFF,
                          (rgb >> 8) & 0xFF, rgb & 0xFF);
            Put(entry);
        }
        Put("}\r\n\\viewkind4\\uc1\\pard\\f0\\fs18 ");
    }

private:
    void Put(std::string_view text)
    {
        m_buffer.append(text);
        if (m_buffer.size() >= kBlockSize)
            Flush();
    }

    void Flush()
    {
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_written += m_buffer.size();
        m_buffer.clear();
    }

    void WriteFormat(std::size_t formatIndex)
    {
        const RichTextFormat& format = m_formats[formatIndex];
        std::string words;
        if (m_fontOf[formatIndex] != m_font) {
            m_font = m_fontOf[formatIndex];
            words += "\\f" + std::to_string(m_font);
        }
        const int halfPoints = format.m_halfPoints > 0 ? format.m_halfPoints : kDefaultHalfPoints;
        if (halfPoints != m_halfPoints) {
            m_halfPoints = halfPoints;
            words += "\\fs" + std::to_string(m_halfPoints);
        }
        if (m_colorOf[formatIndex] != m_color) {
            m_color = m_colorOf[formatIndex];
            words += "\\cf" + std::to_string(m_color);
        }
        if (!words.empty()) {
            words += ' ';
            Put(words);
        }
    }

    void WriteText(std::string_view text)
    {
        std::size_t i = 0;
        while (i < text.size()) {
            // Plain ASCII goes out in one piece.
            std::size_t plain = i;
            while (plain < text.size() && IsPlain(static_cast<unsigned char>(text[plain])))
                ++plain;
            if (plain > i) {
                Put(text.substr(i, plain - i));
                i = plain;
                continue;
            }
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                ++i;
                switch (c) {
                case '\n': Put("\\par\r\n"); break;
                case '\t': Put("\\tab "); break;
                case '\\': Put("\\\\"); break;
                case '{': Put("\\{"); break;
                case '}': Put("\\}"); break;
                default: {
                    std::string hex;
                    AppendHexByte(hex, c);
                    Put(hex);
                }
                }
                continue;
            }
            Put(Escape(DecodeUtf8(text, i)));
        }
    }

    static bool IsPlain(unsigned char c)
    {
        return c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}';
    }

    // The RTF form of a character outside ASCII: its GBK bytes, or \uN? when GBK lacks it.
    const std::string& Escape(char32_t ch)
    {
        auto it = m_escapes.find(ch);
        if (it != m_escapes.end())
            return it->second;
        if (m_escapes.size() > 65536) // a text of many distinct characters: keep the cache small
            m_escapes.clear();
        std::string utf8;
        AppendUtf8(utf8, ch);
        std::size_t failures = 0;
        const std::string bytes = m_gbk.FromUtf8(utf8, &failures);
        std::string escape;
        if (failures == 0 && !bytes.empty()) {
            for (char b : bytes)
                AppendHexByte(escape, static_cast<unsigned char>(b));
        } else if (ch > 0xFFFF) {
            AppendUnicodeEscape(escape, 0xD800 + ((ch - 0x10000) >> 10));
            AppendUnicodeEscape(escape, 0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            AppendUnicodeEscape(escape, ch);
        }
        return m_escapes.emplace(ch, std::move(escape)).first->second;
    }

    const std::vector<RichTextFormat> m_formats;
    std::ostream& m_out;
    CodePage& m_gbk;
    std::string m_buffer;
    std::uint64_t m_written = 0;        // handed to m_out
    std::vector<std::size_t> m_fontOf;  // per format index: \f number
    std::vector<std::size_t> m_colorOf; // per format index: \cf number
    std::size_t m_font = 0;
    int m_halfPoints = kDefaultHalfPoints;
    std::size_t m_color = 0;
    std::unordered_map<char32_t, std::string> m_escapes;
};

RtfWriter::RtfWriter(std::ostream& out, const std::vector<RichTextFormat>& formats)
    : m_impl(std::make_unique<Impl>(formats, out))
{
    m_impl->WriteHeader();
}

RtfWriter::~RtfWriter() = default;

void RtfWriter::Append(std::string_view utf8, std::size_t formatIndex)
{
    m_impl->Append(utf8, formatIndex);
}

bool RtfWriter::Finish()
{
    return m_impl->Finish();
}

bool RtfWriter::Good() const
{
    return m_impl->Good();
}

bool RtfWriter::Flush()
{
    return m_impl->FlushAll();
}

std::uint64_t RtfWriter::Size() const
{
    return m_impl->Size();
}

bool RtfWriter::Write(const RichText& doc, std::ostream& out)
{
    RtfWriter writer(out, doc.Formats());
    for (std::size_t i = 0; i < doc.RunCount(); ++i) {
        writer.Append(doc.RunText(i), doc.RunFormatIndex(i));
        if (!writer.Good())
            return false;
    }
    return writer.Finish();
}

bool RtfWriter::WriteFile(const RichText& doc, const std::string& path, std::string* error)
{
    AtomicWriteResult result =
        WriteFileAtomically(path, [&](std::ostream& out) { return Write(doc, out); });
    if (error)
        *error = std::move(result.m_error);
    return result.m_ok;
}
