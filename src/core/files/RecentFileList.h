#pragma once

#include <cstddef>
#include <string>
#include <vector>

class SettingsStore;

// The recent-file list: the most recent file first, each path once, at most m_maxCount.
// Stored in section "Recent File List" as "File1", "File2", ...
class RecentFileList
{
public:
    explicit RecentFileList(std::size_t maxCount = 6) : m_maxCount(maxCount) {}

    void Add(const std::string& path);
    void Remove(std::size_t index);
    std::size_t Size() const { return m_files.size(); }
    const std::string& At(std::size_t index) const { return m_files[index]; }
    const std::vector<std::string>& Files() const { return m_files; }

    void Load(const SettingsStore& store);
    void Save(SettingsStore& store) const;

private:
    std::size_t m_maxCount;
    std::vector<std::string> m_files;
};
