#pragma once

// What the fuzz targets of the loaders that fill a QTextDocument share.

#include "core/files/RichText.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Says which property failed before stopping, so that a finding reads at once.
#define FUZZ_CHECK(ok)                                                                             \
    do {                                                                                           \
        if (!(ok)) {                                                                               \
            std::fprintf(stderr, "failed: %s (line %d)\n", #ok, __LINE__);                         \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace vrlfuzz {

// Qt's GUI part (character formats carry fonts) on the offscreen platform, and one document
// for every input, as the window keeps one: a load must replace all that the last one left.
inline QTextDocument* StartDocument(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTextDocument document;
    return &document;
}

inline void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// A file's text as a document holds it: CR LF (also when a change of format falls between
// the two), CR, the Unicode line and paragraph separators and the two frame marks end a line,
// as everywhere in a text document.
inline RichText AsLines(const RichText& text)
{
    RichText lines;
    bool afterCr = false;
    for (std::size_t run = 0; run < text.RunCount(); ++run) {
        std::string piece(text.RunText(run));
        if (afterCr && !piece.empty() && piece.front() == '\n')
            piece.erase(0, 1);
        afterCr = !piece.empty() && piece.back() == '\r';
        ReplaceAll(piece, "\r\n", "\n");
        for (std::string_view end : {"\r", "\u2028", "\u2029", "\uFDD0", "\uFDD1"})
            ReplaceAll(piece, end, "\n");
        lines.Append(piece, text.RunFormat(run));
    }
    return lines;
}

} // namespace vrlfuzz
