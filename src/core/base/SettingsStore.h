#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

// The per-user store of named 32-bit integers and strings, grouped in sections.
// A section name with backslashes ("Settings\Filter") names a nested section.
// Texts are UTF-8. Reads never fail: an absent value (or one of the other kind) gives the
// default. Writes create what they need and replace a value of the same name; a write that
// fails is not reported. Used from the window thread only.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    virtual std::int32_t ReadInt(std::string_view section, std::string_view name,
                                 std::int32_t defaultValue) const = 0;
    virtual std::string ReadString(std::string_view section, std::string_view name,
                                   std::string_view defaultValue = {}) const = 0;
    virtual void WriteInt(std::string_view section, std::string_view name, std::int32_t value) = 0;
    virtual void WriteString(std::string_view section, std::string_view name,
                             std::string_view value) = 0;
};

// A store that lives in memory only: for tests, and as the fallback of the program.
class MemorySettingsStore : public SettingsStore
{
public:
    using Value = std::variant<std::int32_t, std::string>;
    using Section = std::map<std::string, Value, std::less<>>;

    std::int32_t ReadInt(std::string_view section, std::string_view name,
                         std::int32_t defaultValue) const override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue = {}) const override;
    void WriteInt(std::string_view section, std::string_view name, std::int32_t value) override;
    void WriteString(std::string_view section, std::string_view name,
                     std::string_view value) override;

    const std::map<std::string, Section, std::less<>>& Sections() const { return m_sections; }
    void Clear() { m_sections.clear(); }

private:
    const Value* Find(std::string_view section, std::string_view name) const;

    std::map<std::string, Section, std::less<>> m_sections;
};
