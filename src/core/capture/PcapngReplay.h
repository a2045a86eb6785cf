#pragma once

#include "core/capture/PcapngReader.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Plays the received data of one interface of a capture into a port: each packet's bytes
// written when its time comes, the gaps between packets as captured divided by the speed.
// Times are kept on an absolute schedule from the start, so that late writes do not add up.
class PcapngReplay
{
public:
    static constexpr double kSlowest = 0.1;
    static constexpr double kFastest = 10.0;

    // Writes bytes into the port (all of them, or false with the reason); called on the
    // thread that runs Play.
    using Write =
        std::function<bool(const std::uint8_t* bytes, std::size_t count, std::string& error)>;
    // After each packet written: its index and the steady microseconds it was written at.
    using Written = std::function<void(std::size_t index, std::int64_t steadyUs)>;

    // reader must hold a sound file. The source interface: the one named port ("COM3"),
    // else the only one that received data; false with Error when there is none or more
    // than one to choose from.
    bool Choose(const PcapngReader& reader, const std::string& port);
    const std::vector<const PcapngReader::Packet*>& Packets() const { return m_packets; }
    std::string SourceName() const { return m_source; }

    // Plays at speed (kSlowest to kFastest) until the end, a failed write or stop; true at
    // the end.
    bool Play(double speed, const Write& write, const Written& written,
              const std::atomic<bool>& stop);
    const std::string& Error() const { return m_error; }

private:
    std::vector<const PcapngReader::Packet*> m_packets;
    std::string m_source;
    std::string m_error;
};
