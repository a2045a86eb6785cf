#include "core/serial/PortMap.h"

#include "core/base/PortName.h"
#include "core/base/SettingsStore.h"
#include "core/serial/SerialDeviceScanner.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <unistd.h>

namespace {
std::string Canonical(const std::string& path)
{
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? std::string() : resolved.string();
}
} // namespace

PortMap::PortMap(SettingsStore& store) : m_store(store)
{
    for (unsigned n = 0; n < kPortCount; ++n)
        m_paths[n] = m_store.ReadString(kSection, PortName(n));
}

std::string PortMap::PathOf(unsigned uiPortNo) const
{
    return uiPortNo < kPortCount ? m_paths[uiPortNo] : std::string();
}

int PortMap::PortOf(std::string_view path) const
{
    if (path.empty())
        return -1;
    for (unsigned n = 0; n < kPortCount; ++n)
        if (m_paths[n] == path)
            return static_cast<int>(n);
    return -1;
}

void PortMap::SetPath(unsigned uiPortNo, const std::string& path)
{
    if (uiPortNo >= kPortCount)
        return;
    if (!path.empty())
        for (unsigned n = 0; n < kPortCount; ++n)
            if (n != uiPortNo && m_paths[n] == path) {
                m_paths[n].clear();
                m_store.WriteString(kSection, PortName(n), "");
            }
    m_paths[uiPortNo] = path;
    m_store.WriteString(kSection, PortName(uiPortNo), path);
}

bool PortMap::ParsePortName(std::string_view text, unsigned& uiPortNo)
{
    if (text.size() < 4 || text.size() > 6 || text[3] == '0')
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i])
            return false;
    }
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data() + 3, text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1
        || number > kPortCount)
        return false;
    uiPortNo = number - 1;
    return true;
}

bool PortMap::ParsePortOption(std::string_view text, unsigned& uiPortNo, std::string& path)
{
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || eq + 1 >= text.size()
        || !ParsePortName(text.substr(0, eq), uiPortNo))
        return false;
    path = std::string(text.substr(eq + 1));
    return true;
}

bool PortMap::Names(const std::string& mapped, const SerialDevice& device) const
{
    if (mapped.empty())
        return false;
    if (mapped == device.path || mapped == device.node)
        return true;
    const std::string resolved = Canonical(mapped);
    return !resolved.empty() && (resolved == device.node || resolved == Canonical(device.path));
}

std::vector<unsigned> PortMap::Assign(const std::vector<SerialDevice>& found)
{
    std::vector<unsigned> given;
    for (const SerialDevice& device : found) {
        bool named = false;
        for (unsigned n = 0; n < kPortCount && !named; ++n)
            named = Names(m_paths[n], device);
        if (named)
            continue;
        for (unsigned n = 0; n < kPortCount; ++n)
            if (m_paths[n].empty()) {
                SetPath(n, device.path.empty() ? device.node : device.path);
                given.push_back(n);
                break;
            }
    }
    return given;
}

std::vector<PortMap::Entry> PortMap::Entries(const std::vector<SerialDevice>& found) const
{
    std::vector<Entry> entries;
    for (unsigned n = 0; n < kPortCount; ++n) {
        if (m_paths[n].empty())
            continue;
        Entry entry;
        entry.uiPortNo = n;
        entry.path = m_paths[n];
        entry.device.path = m_paths[n];
        for (const SerialDevice& device : found)
            if (Names(m_paths[n], device)) {
                entry.device = device;
                entry.present = true;
                break;
            }
        if (!entry.present)
            entry.present = access(m_paths[n].c_str(), F_OK) == 0;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<unsigned> PortMap::Discover()
{
    return Assign(SerialDeviceScanner::Scan());
}
