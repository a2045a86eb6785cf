#pragma once

#include "core/transfer/XmodemReceiver.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The files a transfer brings, into one folder. Each is held until it is whole and then
// written beside its final name and renamed, so that nothing half-written ever carries that
// name. The sender's name loses its folders; a name taken already gets " (2)", " (3)" ...
// before its extension, so that no file is overwritten.
class ReceivedFiles : public XmodemReceiver::Sink
{
public:
    // unnamed: the name of a file the sender does not name (XMODEM).
    ReceivedFiles(std::string folder, std::string unnamed);

    // The paths written, in order.
    const std::vector<std::string>& Written() const { return m_written; }

    bool Begin(const std::string& name, std::optional<std::uint64_t> size,
               std::string& error) override;
    bool Write(const std::uint8_t* bytes, std::size_t count, std::string& error) override;
    bool End(std::string& error) override;
    void Abort() override;

    // The name part of a sender's name (after its last '/' or '\'); empty when nothing
    // usable is left ("", ".", "..").
    static std::string BaseName(const std::string& name);
    // The name of a file XMODEM brings, which names none: the local time it began,
    // "xmodem 20240103 090412.bin".
    static std::string NameByTime();

private:
    std::string FreePath(const std::string& name) const;

    std::string m_folder;
    std::string m_unnamed;
    std::string m_name;
    std::vector<std::uint8_t> m_content;
    std::vector<std::string> m_written;
};
