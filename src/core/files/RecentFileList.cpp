#include "core/files/RecentFileList.h"

#include "core/base/SettingsStore.h"

#include <algorithm>

namespace {

constexpr const char* kSection = "Recent File List";

std::string EntryName(std::size_t index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

void RecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_maxCount)
        m_files.resize(m_maxCount);
}

void RecentFileList::Remove(std::size_t index)
{
    if (index < m_files.size())
        m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
}

void RecentFileList::Load(const SettingsStore& store)
{
    m_files.clear();
    for (std::size_t i = 0; i < m_maxCount; ++i) {
        std::string path = store.ReadString(kSection, EntryName(i));
        if (!path.empty() && std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(std::move(path));
    }
}

void RecentFileList::Save(SettingsStore& store) const
{
    // Entries past the end are written empty so that a shorter list does not pick up
    // stale names at the next start.
    for (std::size_t i = 0; i < m_maxCount; ++i)
        store.WriteString(kSection, EntryName(i), i < m_files.size() ? m_files[i] : std::string());
}
