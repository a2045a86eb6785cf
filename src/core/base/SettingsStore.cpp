#include "core/base/SettingsStore.h"

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view section,
                                                            std::string_view name) const
{
    auto s = m_sections.find(section);
    if (s == m_sections.end())
        return nullptr;
    auto v = s->second.find(name);
    return v == s->second.end() ? nullptr : &v->second;
}

std::int32_t MemorySettingsStore::ReadInt(std::string_view section, std::string_view name,
                                          std::int32_t defaultValue) const
{
    const Value* v = Find(section, name);
    if (v && std::holds_alternative<std::int32_t>(*v))
        return std::get<std::int32_t>(*v);
    return defaultValue;
}

std::string MemorySettingsStore::ReadString(std::string_view section, std::string_view name,
                                            std::string_view defaultValue) const
{
    const Value* v = Find(section, name);
    if (v && std::holds_alternative<std::string>(*v))
        return std::get<std::string>(*v);
    return std::string(defaultValue);
}

void MemorySettingsStore::WriteInt(std::string_view section, std::string_view name,
                                   std::int32_t value)
{
    auto s = m_sections.try_emplace(std::string(section)).first;
    s->second.insert_or_assign(std::string(name), Value(value));
}

void MemorySettingsStore::WriteString(std::string_view section, std::string_view name,
                                      std::string_view value)
{
    auto s = m_sections.try_emplace(std::string(section)).first;
    s->second.insert_or_assign(std::string(name), Value(std::string(value)));
}
