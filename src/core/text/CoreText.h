#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The texts the core hands to users are written in Chinese (UTF-8) and marked with VRL_TR, or
// with VRL_TR_NOOP in tables that are translated where they are used. The window program
// installs a translator at start (its Qt catalogue); without one, as in the core's tests and
// in vrl-capture, the Chinese text is used as it is. lupdate reads the two markers as
// QCoreApplication::translate and QT_TRANSLATE_NOOP (-tr-function-alias).
class CoreText
{
public:
    using Translator = std::string (*)(const char* context, const char* source);

    // Set once at start, before any worker thread runs; the function must be thread-safe.
    static void SetTranslator(Translator translator);
    static std::string Tr(const char* context, const char* source);
    // text with %1 ... %9 replaced by args in order (a translation may reorder them).
    static std::string Args(std::string_view text, std::initializer_list<std::string_view> args);
};

#define VRL_TR(context, source) CoreText::Tr(context, source)
#define VRL_TR_NOOP(context, source) source
