#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class RichText;
struct RichTextFormat;

// Writes a RichText as Rich Text Format, the form of monitor files and send-message files
// (".tnf"), so that rich edit controls and word processors show the same text and colours:
//
//   {\rtf1\ansi\ansicpg936\deff0{\fonttbl{\f0\fnil\fcharset134 宋体;}}
//   {\colortbl ;\red0\green0\blue0;\red200\green0\blue0;...}
//   \viewkind4\uc1\pard\f0\fs18\cf1 text\par ...}
//
// Every line ends with \par (a rich edit control and a word processor take the last \par as
// the document's final paragraph mark). Characters outside ASCII are written as GBK \'hh
// pairs, characters that GBK lacks as \uN? (UTF-16, signed), and \ { } are escaped. The
// text is written to the stream in blocks of 64 KB as it is produced: the file is never held
// in memory, as long as the stream does not collect it (save through WriteFileAtomically,
// not through a std::ostringstream).
//
// A writer object streams a document whose formats are known before its text (a capture that
// is written as it arrives): the header at construction, then pieces of text, then Finish.
class RtfWriter
{
public:
    // Writes the header with the tables of formats (indexes into it are Append's).
    RtfWriter(std::ostream& out, const std::vector<RichTextFormat>& formats);
    ~RtfWriter();
    RtfWriter(const RtfWriter&) = delete;
    RtfWriter& operator=(const RtfWriter&) = delete;

    // UTF-8 text in formats[formatIndex]; '\n' ends a line.
    void Append(std::string_view utf8, std::size_t formatIndex);
    // The document's end; nothing may be appended after it. False when the stream failed.
    bool Finish();
    bool Good() const;
    // Hands the text held for the next block to the stream and flushes it, so that a reader
    // (or what a killed writer leaves) has every line appended so far. False when it failed.
    bool Flush();
    // Bytes of the document so far, those held for the next block included.
    std::uint64_t Size() const;

    // Writes doc to out. False when the stream reports an error.
    static bool Write(const RichText& doc, std::ostream& out);

    // Writes doc to the file at path (UTF-8 path) through WriteFileAtomically: a failure
    // leaves the old file as it was. False when the file cannot be written completely or the
    // path names no regular file, with the reason in error when given (UTF-8, the program's
    // language; may be empty). Monitor files and send-message files are both saved here.
    static bool WriteFile(const RichText& doc, const std::string& path,
                          std::string* error = nullptr);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
