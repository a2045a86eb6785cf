// A monitor file loaded into the monitor's document: lines longer than the display length
// are cut into continuation lines, which every way out of the view joins again. Any input
// must come through without a crash or a sanitizer report, and the document must give back
// exactly the text and colours that the file held. The last input byte chooses a short
// display length, so that the cutting (hex pairs kept whole, surrogate pairs never split)
// is met at every position.
#include "FuzzDocument.h"
#include "app/monitor/MonitorText.h"
#include "core/files/RichText.h"
#include "core/files/RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <vector>

namespace {

QTextDocument* g_document = nullptr;

// The colour of every byte of the text, line ends left out (their format is the line's).
std::vector<std::uint32_t> ColoursOf(const RichText& text)
{
    std::vector<std::uint32_t> colours;
    for (std::size_t run = 0; run < text.RunCount(); ++run) {
        for (char c : text.RunText(run)) {
            if (c != '\n')
                colours.push_back(text.RunFormat(run).m_color);
        }
    }
    return colours;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_document = vrlfuzz::StartDocument(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int lineLength = 2 + data[size - 1] % 64;
    const RtfReadResult read =
        RtfReader::Read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.IsUsable())
        return 0;
    CMonitorText::ToDocument(read.m_document, *g_document, lineLength);
    FUZZ_CHECK(!g_document->isModified() && !g_document->isUndoAvailable());
    for (QTextBlock block = g_document->begin(); block.isValid(); block = block.next())
        FUZZ_CHECK(block.length() - 1 <= lineLength);

    const RichText expected = vrlfuzz::AsLines(read.m_document);
    const RichText back = CMonitorText::FromDocument(*g_document);
    FUZZ_CHECK(back.Text() == expected.Text());
    FUZZ_CHECK(ColoursOf(back) == ColoursOf(expected));
    // The text copied from the view: the same, with a no-break space as a plain one.
    QString copied = QString::fromStdString(expected.Text());
    copied.replace(QChar::Nbsp, QLatin1Char(' '));
    FUZZ_CHECK(CMonitorText::PlainText(*g_document, 0, g_document->characterCount() - 1) == copied);
    return 0;
}
