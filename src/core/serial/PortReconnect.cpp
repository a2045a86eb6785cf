#include "core/serial/PortReconnect.h"

#include <sys/stat.h>

PortReconnect::PortReconnect(Probe probe)
    : m_probe(probe ? std::move(probe) : Probe(&PortReconnect::NodeOf))
{
}

std::optional<std::uint64_t> PortReconnect::NodeOf(const std::string& path)
{
    struct stat st
    {
    };
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_rdev);
}

void PortReconnect::Lost(unsigned uiPortNo, std::string path, std::uint64_t node)
{
    m_waiting[uiPortNo] = Waiting{std::move(path), node, 0};
}

void PortReconnect::Forget(unsigned uiPortNo)
{
    m_waiting.erase(uiPortNo);
}

std::string PortReconnect::PathOf(unsigned uiPortNo) const
{
    auto it = m_waiting.find(uiPortNo);
    return it == m_waiting.end() ? std::string() : it->second.m_path;
}

std::vector<unsigned> PortReconnect::WaitingPorts() const
{
    std::vector<unsigned> ports;
    for (const auto& [port, waiting] : m_waiting)
        ports.push_back(port);
    return ports;
}

std::vector<unsigned> PortReconnect::Check()
{
    std::vector<unsigned> back;
    for (auto& [port, waiting] : m_waiting) {
        const std::optional<std::uint64_t> node = m_probe(waiting.m_path);
        ++waiting.m_looks;
        if (node && (*node != waiting.m_node || waiting.m_looks > 1))
            back.push_back(port);
    }
    return back;
}
