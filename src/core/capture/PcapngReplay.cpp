#include "core/capture/PcapngReplay.h"

#include "core/text/CoreText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>

namespace {

constexpr std::int64_t kStopLookUs = 50000; // a long gap is slept in slices, to stop in time

std::int64_t SteadyUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sleeps until steady time dueUs (the clock std::chrono::steady_clock reads).
void SleepUntil(std::int64_t dueUs)
{
    timespec due{static_cast<time_t>(dueUs / 1000000), static_cast<long>(dueUs % 1000000) * 1000};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
}

} // namespace

bool PcapngReplay::Choose(const PcapngReader& reader, const std::string& port)
{
    m_packets.clear();
    m_error.clear();
    const auto& interfaces = reader.Interfaces();
    std::vector<unsigned> withData;
    std::string names;
    for (unsigned i = 0; i < interfaces.size(); ++i) {
        if (reader.Received(i).empty())
            continue;
        withData.push_back(i);
        names += (names.empty() ? "" : ", ") + interfaces[i].m_name;
    }
    for (unsigned i : withData) {
        if (!port.empty() && interfaces[i].m_name == port)
            withData = {i};
    }
    if (withData.empty()) {
        m_error = VRL_TR("PcapngReplay", "文件中没有收到的数据可回放");
        return false;
    }
    if (withData.size() > 1) {
        m_error = CoreText::Args(
            VRL_TR("PcapngReplay", "文件中有多个串口收到了数据（%1），%2 不在其中"), {names, port});
        return false;
    }
    m_packets = reader.Received(withData.front());
    m_source = interfaces[withData.front()].m_name;
    return true;
}

bool PcapngReplay::Play(double speed, const Write& write, const Written& written,
                        const std::atomic<bool>& stop)
{
    speed = std::clamp(speed, kSlowest, kFastest);
    if (m_packets.empty())
        return true;
    const std::int64_t firstUs = m_packets.front()->m_timeUs;
    const std::int64_t startUs = SteadyUs();
    for (std::size_t i = 0; i < m_packets.size(); ++i) {
        const PcapngReader::Packet& packet = *m_packets[i];
        const std::int64_t dueUs =
            startUs
            + static_cast<std::int64_t>(static_cast<double>(packet.m_timeUs - firstUs) / speed);
        while (!stop.load() && dueUs - SteadyUs() > kStopLookUs)
            SleepUntil(SteadyUs() + kStopLookUs);
        if (stop.load())
            return false;
        SleepUntil(dueUs);
        std::string error;
        if (!write(packet.m_bytes.data(), packet.m_bytes.size(), error)) {
            m_error = error;
            return false;
        }
        if (written)
            written(i, SteadyUs());
    }
    return true;
}
