#pragma once

// What the fuzz targets of the loaders that fill a QTextDocument share.

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

// Says which property failed before stopping, so that a finding reads at once.
#define FUZZ_CHECK(ok)                                                                \
    do {                                                                               \
        if (!(ok)) {                                                                   \
            std::fprintf(stderr, "failed: %s (line %d)\n", #ok, __LINE__);             \
            std::abort();                                                              \
        }                                                                              \
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

} // namespace vrlfuzz
