// The send editor's loader as a user meets it: a send-message file is read, shown in the
// editor's document, saved again from the document and loaded a second time. Any input must
// come through without a crash or a sanitizer report, the editor must show the file's text
// with a line for each line end, and what it showed the first time must be what it shows
// after the save: same lines, same characters in the same colours. A size or face the file
// did not give is written as the default (9 points, 宋体), so formats are compared from the
// second load on: a further save and load changes nothing.
#include "FuzzDocument.h"
#include "app/send/SendEditRichText.h"
#include "core/files/RichText.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <sstream>
#include <vector>

namespace {

QTextDocument* g_document = nullptr;

// The colour of every character of the document, line separators left out.
std::vector<QRgb> ColoursOf(const QTextDocument& document)
{
    std::vector<QRgb> colours;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            colours.insert(colours.end(), static_cast<std::size_t>(fragment.length()),
                           fragment.charFormat().foreground().color().rgb());
        }
    }
    return colours;
}

RichText SaveAndLoad(const RichText& text)
{
    std::ostringstream out;
    FUZZ_CHECK(RtfWriter::Write(text, out));
    const RtfReadResult again = RtfReader::Read(out.str());
    FUZZ_CHECK(again.IsOk());
    SendEditRichText::ToDocument(again.m_document, *g_document);
    FUZZ_CHECK(!g_document->isModified() && !g_document->isUndoAvailable());
    return SendEditRichText::FromDocument(*g_document);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_document = vrlfuzz::StartDocument(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RtfReadResult read =
        RtfReader::Read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.IsUsable())
        return 0;
    SendEditRichText::ToDocument(read.m_document, *g_document);
    FUZZ_CHECK(!g_document->isModified() && !g_document->isUndoAvailable());
    const QString shown = g_document->toPlainText();
    // Every line end of the file ends one line, and nothing else does.
    QString lines = QString::fromStdString(vrlfuzz::AsLines(read.m_document).Text());
    lines.replace(QChar::Nbsp, QLatin1Char(' '));
    FUZZ_CHECK(shown == lines);
    const std::vector<QRgb> colours = ColoursOf(*g_document);

    const RichText saved = SaveAndLoad(SendEditRichText::FromDocument(*g_document));
    FUZZ_CHECK(g_document->toPlainText() == shown);
    FUZZ_CHECK(ColoursOf(*g_document) == colours);
    FUZZ_CHECK(SaveAndLoad(saved) == saved);
    return 0;
}
