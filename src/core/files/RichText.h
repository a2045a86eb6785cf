#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The character format of a piece of rich text: the three properties that the monitor and
// the send editor set on their text (colour, size, face). Bold, italic and the like are not
// kept.
struct RichTextFormat
{
    // Text colour as 0xRRGGBB (QColor(QRgb) takes it as it is; the alpha byte is unused).
    std::uint32_t m_color = 0x000000;
    // Font size in half-points (9 points = 18). 0: not given; the writer then writes 18, and
    // the reader returns 0 for text whose file gave no size.
    int m_halfPoints = 0;
    // Face name in UTF-8 ("宋体"). Empty: not given; the writer then uses "宋体".
    std::string m_face;

    friend auto operator<=>(const RichTextFormat&, const RichTextFormat&) = default;
    friend bool operator==(const RichTextFormat&, const RichTextFormat&) = default;
};

// A document of rich text: UTF-8 text cut into runs, each run in one format.
//
// Line breaks are '\n' characters inside the text: each '\n' ends a paragraph (a line of
// the editor), exactly as QTextDocument separates its blocks. "a\nb" is two lines; "a\n" is
// the line "a" followed by an empty last line. A tab is '\t'; other control characters are
// kept as they are.
//
// Filling it from a QTextDocument: for each block, Append each fragment's text with its
// format, and Append "\n" between blocks (not after the last one). Reading it back: for each
// run, insert RunText(i) with RunFormat(i), starting a new block at every '\n'.
//
// Formats are kept once each (a monitor file of 100,000 lines holds six or so), runs refer to
// them by index, and adjacent appends with the same format merge into one run, so that a
// large document costs little beyond its text.
class RichText
{
public:
    // Appends text (UTF-8) in the given format. Empty text is ignored.
    void Append(std::string_view utf8, const RichTextFormat& format);
    // Same, with a format index from AddFormat (faster when the caller keeps the index).
    void Append(std::string_view utf8, std::size_t formatIndex);
    // Index of format in Formats(), adding it when it is new.
    std::size_t AddFormat(const RichTextFormat& format);

    void Clear();
    // Reserves room for this many bytes of text.
    void Reserve(std::size_t textBytes);

    bool IsEmpty() const { return m_text.empty(); }
    // The whole text, UTF-8, with '\n' between lines.
    const std::string& Text() const { return m_text; }

    std::size_t RunCount() const { return m_runs.size(); }
    std::string_view RunText(std::size_t run) const;
    const RichTextFormat& RunFormat(std::size_t run) const;
    std::size_t RunFormatIndex(std::size_t run) const { return m_runs[run].m_format; }

    // Every format added, in the order of first use (a format that no run uses any more
    // stays).
    const std::vector<RichTextFormat>& Formats() const { return m_formats; }

    // Removes the last byte of the text when it is '\n' (the reader uses it for the final
    // paragraph mark of a file). True when one was removed.
    bool RemoveTrailingNewline();

    // Same text in the same formats.
    friend bool operator==(const RichText& a, const RichText& b);

private:
    struct Run
    {
        std::size_t m_end;      // offset in m_text just past the run
        std::uint32_t m_format; // index in m_formats
    };

    std::string m_text;
    std::vector<Run> m_runs;
    std::vector<RichTextFormat> m_formats;
    std::map<RichTextFormat, std::uint32_t> m_formatIndex;
};
