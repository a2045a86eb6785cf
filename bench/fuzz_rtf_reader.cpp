// libFuzzer target for the RTF reader: any input must be read without a crash, a hang or an
// out-of-bounds access, and what it reads must survive a write and a second read.
#include "core/files/RichText.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const RtfReadResult result = RtfReader::Read(input);
    if (!result.IsUsable() && !result.m_document.IsEmpty())
        std::abort(); // a failed read returns no document

    // Memory stays proportional to the input: the text can grow at most threefold (a byte
    // that does not decode becomes a three-byte U+FFFD).
    if (result.m_document.Text().size() > 3 * size + 16)
        std::abort();

    // Whatever was read, the writer writes it and the reader gives back the same text.
    std::ostringstream out;
    if (!RtfWriter::Write(result.m_document, out))
        std::abort();
    const RtfReadResult again = RtfReader::Read(out.str());
    if (!again.IsOk() || again.m_document.Text() != result.m_document.Text())
        std::abort();
    return 0;
}
