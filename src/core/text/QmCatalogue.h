#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a compiled Qt translation catalogue (.qm, as lrelease writes it) without Qt, for the
// programs built on the core alone (vrl-capture): the same lookup QTranslator does, by the
// hash of the source text, then context and source where the file keeps them.
class QmCatalogue
{
public:
    // False when the file cannot be read or is no catalogue; the catalogue is then empty.
    bool Load(const std::string& path);
    bool IsEmpty() const { return m_hashes.empty(); }
    // The translation in UTF-8, or empty when the catalogue has none.
    std::string Translate(const char* context, const char* source) const;

private:
    std::string MessageAt(std::size_t offset, const char* context, const char* source) const;

    std::vector<std::uint8_t> m_hashes; // pairs of big-endian hash and message offset
    std::vector<std::uint8_t> m_messages;
};
