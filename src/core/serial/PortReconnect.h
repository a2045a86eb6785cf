#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Ports whose device went away while they were open (an adapter pulled out, the far end of
// a pseudo-terminal gone), waiting for the same path to lead to a device again. The path is
// the one the port was opened with: the stable /dev/serial/by-id link or the mapped path.
//
// A device counts as back when its path leads to a device node other than the lost one (a
// link re-pointed), or to any node at a later look than the first (the adapter came back,
// perhaps on its old node, which a re-plugged adapter or a reused pseudo-terminal number
// gets). At the first look after the loss the lost node is a device on its way out and is
// left alone. Window thread only.
class PortReconnect
{
public:
    // The device node (st_rdev) that a path leads to now, or none.
    using Probe = std::function<std::optional<std::uint64_t>(const std::string& path)>;

    // probe: NodeOf unless a test gives another.
    explicit PortReconnect(Probe probe = {});

    static std::optional<std::uint64_t> NodeOf(const std::string& path);

    // Port uiPortNo lost the device at path, which was node `node`.
    void Lost(unsigned uiPortNo, std::string path, std::uint64_t node);
    // No more waiting for this port (the user opened or closed it, or it was reopened).
    void Forget(unsigned uiPortNo);
    void Clear() { m_waiting.clear(); }

    bool IsWaiting(unsigned uiPortNo) const { return m_waiting.count(uiPortNo) != 0; }
    bool IsEmpty() const { return m_waiting.empty(); }
    // The path a waiting port watches, or empty.
    std::string PathOf(unsigned uiPortNo) const;
    std::vector<unsigned> WaitingPorts() const;

    // Looks at every waiting path once; returns the ports whose device is back, in port
    // order. They stay waiting until Forget: an open that fails (udev has not yet given the
    // node its group) is tried again at the next look.
    std::vector<unsigned> Check();

private:
    struct Waiting
    {
        std::string m_path;
        std::uint64_t m_node = 0;
        int m_looks = 0; // Check calls since the loss
    };

    Probe m_probe;
    std::map<unsigned, Waiting> m_waiting;
};
