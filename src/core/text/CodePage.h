#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversion between the system code page (bytes) and UTF-8 (what the editors hold).
//
// Message texts, line lengths and error positions are counted in bytes of the system code
// page, GBK, where a Chinese character takes two bytes. Every conversion between characters
// and bytes goes through this unit, so that the rule lives in one place.
//
// An instance keeps its iconv descriptors open and is not thread-safe; use one per thread
// (System() and Gbk() give each thread its own instances).
//
// The system code page is GBK unless the user picks UTF-8 (or Latin-1) for the text of the
// line; the choice is one atomic value, so any thread may read it, and
// files whose format fixes GBK use Gbk() instead.
class CodePage
{
public:
    // name: an iconv code set name such as "GBK" or "CP1252".
    explicit CodePage(std::string_view name);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    enum class Choice
    {
        Gbk,
        Utf8,
        Latin1 // one byte, one character: devices of western Europe
    };

    // The system code page of the calling thread: GBK, or the one chosen.
    static CodePage& System();
    // GBK, whatever was chosen: the code page of stored files.
    static CodePage& Gbk();
    // Takes effect at the next System() call on every thread.
    static void SetSystemChoice(Choice choice);
    static Choice SystemChoice();

    // Code set name for a Windows code page number (936 -> "GBK", 1252 -> "CP1252", ...).
    // Empty when there is none that iconv is known to have.
    static std::string NameForWindowsCodePage(int codePage);

    bool IsValid() const { return m_toUtf8 != nullptr && m_fromUtf8 != nullptr; }
    const std::string& Name() const { return m_name; }

    // Bytes of this code page to UTF-8. A byte sequence that does not convert becomes
    // U+FFFD and is counted in *failures; conversion goes on after it.
    std::string ToUtf8(std::string_view bytes, std::size_t* failures = nullptr);

    // UTF-8 to bytes of this code page. A character the code page lacks (or invalid UTF-8)
    // becomes '?' and is counted in *failures; conversion goes on after it.
    std::string FromUtf8(std::string_view utf8, std::size_t* failures = nullptr);

    // Bytes one character takes in this code page (a character it lacks counts as the one
    // '?' that FromUtf8 writes for it).
    std::size_t ByteLength(char32_t ch);

private:
    std::string m_name;
    void* m_toUtf8 = nullptr;   // iconv_t
    void* m_fromUtf8 = nullptr; // iconv_t
};

// Length in bytes of the UTF-8 sequence that starts with lead byte c (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char c);

// Appends ch to out as UTF-8 (surrogates and values above U+10FFFF become U+FFFD).
void AppendUtf8(std::string& out, char32_t ch);
