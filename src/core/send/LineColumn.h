#pragma once

#include <cstddef>
#include <string_view>

// Columns of a send-editor line counted the way the user counts them: in bytes of the
// system code page (GBK), where a Chinese character takes two. The editor holds UTF-16
// text, so its positions count UTF-16 units; these two functions are the one place where
// the two counts are converted.

// Bytes that the first `units` UTF-16 units of `line` take in the system code page.
// `units` past the end counts the whole line; a unit count that splits a surrogate pair
// counts the whole character.
std::size_t ByteColumn(std::u16string_view line, std::size_t units);

// The UTF-16 index in `line` just after the character that holds byte number `bytes`
// (1-based; 0 gives 0). A byte column inside a two-byte character gives the index after
// that character; a column past the end gives the line's length.
std::size_t UnitIndexOfByteColumn(std::u16string_view line, std::size_t bytes);
