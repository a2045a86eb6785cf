#pragma once

#include "core/files/RichText.h"

#include <string>
#include <string_view>

enum class RtfReadStatus
{
    Ok,         // the whole file was read
    Partial,    // the file is damaged (truncated, unbalanced, nested too deep ...); the
                // document holds what could be read before and around the damage
    NotRtf,     // the input does not start with "{\rtf"; the document is empty
    CannotOpen, // the file could not be opened or read (or is no regular file, or does not
                // fit in memory); the document is empty
};

// What RtfReader returns: the status, a short reason in the program's language (empty when
// Ok) and the document read.
struct RtfReadResult
{
    RtfReadStatus m_status = RtfReadStatus::Ok;
    std::string m_reason;
    RichText m_document;

    bool IsOk() const { return m_status == RtfReadStatus::Ok; }
    // True when the document holds what the file has (completely or in part).
    bool IsUsable() const
    {
        return m_status == RtfReadStatus::Ok || m_status == RtfReadStatus::Partial;
    }
};

// Reads Rich Text Format as rich edit controls, word processors and RtfWriter write it:
// groups, control words and symbols, \'hh bytes in the code page that \ansicpg (or the
// font's \cpg or \fcharset) names, \uN with \ucN fallback skipping, \par \line \tab, \cf with the
// colour table, \fs, \f with the font table, \plain, \pard. Destinations that hold no text
// of the document (\*\..., \pict, \object, \info, \stylesheet, ...) are skipped with their
// nested groups, \binN data by count.
//
// The final \par of the file ends the last line and adds no empty line after it (as
// RtfWriter writes it). \line gives a line break too.
//
// Damaged or hostile input never crashes or hangs the reader: nesting is bounded, parameters
// are clamped, and the memory used stays proportional to the input size.
class RtfReader
{
public:
    static RtfReadResult Read(std::string_view bytes);
    // path: UTF-8 file name.
    static RtfReadResult ReadFile(const std::string& path);
};
