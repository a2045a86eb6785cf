#pragma once

#include "core/base/SettingsStore.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// The per-user settings file: an INI file, by default $XDG_CONFIG_HOME/Tellumar/VRL.conf.
//
// It lives in the core on plain C++ rather than in the windows on QSettings: it is tested
// without Qt, and it keeps exact control of the format. Section names keep their backslashes
// literally ("[Settings\Filter]", as the registry keys were named), where QSettings would
// turn a backslash into a group separator and change the names it writes.
//
// Format:
//   [Settings\Filter]          section name literal, UTF-8; a byte below 0x20, 0x7F or '%'
//                              is written as %XX
//   Name=value                 name and value UTF-8, with \\ \n \r \t and \xHH escapes for
//                              backslashes, control bytes, leading or trailing blanks, '='
//                              in names, and '[', ';', '#' starting a name
// Blanks around names and values, lines starting with ';' or '#' and lines that make no
// sense (no '=', outside any section, NUL bytes) are skipped when the file is read. An
// unknown escape such as "\d" stays as it is, so a hand-written path survives.
//
// Kinds: the file does not record them. WriteInt writes decimal text; ReadInt gives the
// value when the whole text is a decimal 32-bit integer (optional sign) and the default
// otherwise; ReadString gives the text of either kind.
//
// The file is read once, when the store is made; a missing, unreadable, damaged or binary
// file reads as defaults. A file that is there but cannot be read (larger than 16 MB, a
// tenth or more of it no text, no read permission) is moved aside to
// "VRL.conf.bad-YYYYMMDD-HHMMSS" before anything is written, so that the user's settings
// are never overwritten unseen; SetAsideNote() tells the user where it went. Temporary
// files that a killed program left beside the file are removed when the store is made.
// Every write goes to memory and at once to the file (outside a batch). The file is
// rewritten atomically (WriteFileAtomically), so a crash never leaves half a file. Before the rewrite the file is read again and
// this store's own writes are laid over it, so that two running programs do not undo each
// other's values (as two programs writing the registry would not). A failed write is not
// reported to the caller: memory keeps the value, LastWriteFailed() turns true, and the
// next write tries again with every value not yet on disk.
//
// Names compare case-sensitively. Used from the window thread only.
class IniSettingsStore : public SettingsStore
{
public:
    using Section = std::map<std::string, std::string, std::less<>>;
    using Sections = std::map<std::string, Section, std::less<>>;

    explicit IniSettingsStore(std::string path);
    ~IniSettingsStore() override; // writes what a batch or a failed write left behind
    IniSettingsStore(const IniSettingsStore&) = delete;
    IniSettingsStore& operator=(const IniSettingsStore&) = delete;

    // $XDG_CONFIG_HOME/Tellumar/VRL.conf, else $HOME/.config/Tellumar/VRL.conf.
    static std::string DefaultPath();

    std::int32_t ReadInt(std::string_view section, std::string_view name,
                         std::int32_t defaultValue) const override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue = {}) const override;
    void WriteInt(std::string_view section, std::string_view name, std::int32_t value) override;
    void WriteString(std::string_view section, std::string_view name,
                     std::string_view value) override;

    // Writes between BeginBatch and the matching EndBatch reach the file once, at the end
    // (shutdown stores many values). Batches nest.
    void BeginBatch();
    void EndBatch();

    class Batch
    {
    public:
        explicit Batch(IniSettingsStore& store) : m_store(store) { m_store.BeginBatch(); }
        ~Batch() { m_store.EndBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        IniSettingsStore& m_store;
    };

    // Writes the values not yet on disk now; true when there was nothing to write or the
    // write succeeded.
    bool Flush();

    bool LastWriteFailed() const { return m_bLastWriteFailed; }
    // Why the last write failed (UTF-8, Chinese), empty after a good one.
    const std::string& LastWriteError() const { return m_strLastWriteError; }
    // Set when an unreadable file was moved aside (or could not be): where it is now, for the
    // window to tell the user once. Empty when nothing happened.
    std::string SetAsideNote() const { return m_strSetAsideNote; }
    const std::string& Path() const { return m_path; }
    const Sections& Contents() const { return m_sections; }

    // The text form, exposed for tests and tools.
    static Sections Parse(std::string_view text);
    static std::string Format(const Sections& sections);

private:
    void Write(std::string_view section, std::string_view name, std::string value);
    bool SetAside(const std::string& reason);

    std::string m_path;
    Sections m_sections;
    Sections m_pending; // written to memory, not yet to the file
    int m_nBatchDepth = 0;
    bool m_bLastWriteFailed = false;
    std::string m_strLastWriteError;
    std::string m_strSetAsideNote;
};
