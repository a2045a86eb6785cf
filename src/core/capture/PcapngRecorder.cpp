#include "core/capture/PcapngRecorder.h"

#include "core/base/PortName.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <unistd.h>

namespace {

constexpr auto kWriteEvery = std::chrono::milliseconds(20);
constexpr const char* kApplication = "VRL";

std::int64_t WallOffsetUs()
{
    using namespace std::chrono;
    const auto wall = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    const auto steady = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    return wall - steady;
}

// The port whose received message this thread published last: the tap publishes its copy
// for the partner right after it, on the same thread.
thread_local int t_lastReceived = -1;

} // namespace

PcapngRecorder::PcapngRecorder() : m_wallOffsetUs(WallOffsetUs()) {}

PcapngRecorder::~PcapngRecorder()
{
    Stop();
}

void PcapngRecorder::SetInterface(unsigned port, const std::string& name,
                                  const std::string& description)
{
    std::lock_guard lock(m_mutex);
    m_names[port] = {name, description};
}

void PcapngRecorder::SetModbus(unsigned port, double charUs)
{
    std::lock_guard lock(m_mutex);
    m_modbus[port] = charUs;
}

void PcapngRecorder::Start(int fd, bool own)
{
    m_fd = fd;
    m_own = own;
    m_writer.BeginSection(kApplication);
    m_thread = std::thread([this] { Run(); });
}

void PcapngRecorder::SwitchTo(int fd, bool own)
{
    Item item;
    item.m_kind = Item::Kind::Switch;
    item.m_fd = fd;
    item.m_own = own;
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(item));
}

void PcapngRecorder::OnTraffic(const TrafficMessage& message)
{
    Item item;
    item.m_port = message.m_port;
    item.m_direction = message.m_direction;
    item.m_timeUs = message.m_timeUs;
    item.m_event =
        message.m_direction == 1 ? PcapngWriter::Event::Received : PcapngWriter::Event::Sent;
    if (message.m_forwarded)
        item.m_origin = t_lastReceived;
    else if (message.m_direction == 1)
        t_lastReceived = static_cast<int>(message.m_port);
    item.m_bytes.assign(message.m_bytes, message.m_bytes + message.m_count);
    Push(std::move(item));
}

void PcapngRecorder::NoteEvent(unsigned port, PcapngWriter::Event event, std::int64_t steadyUs,
                               unsigned lines)
{
    Item item;
    item.m_kind = Item::Kind::Event;
    item.m_port = port;
    item.m_timeUs = steadyUs;
    item.m_event = event;
    item.m_lines = lines;
    Push(std::move(item));
}

void PcapngRecorder::Push(Item item)
{
    std::lock_guard lock(m_mutex);
    if (m_queuedBytes + item.m_bytes.size() > kMostQueued) {
        m_dropped.fetch_add(1);
        return;
    }
    m_queuedBytes += item.m_bytes.size();
    m_queue.push_back(std::move(item));
}

bool PcapngRecorder::Stop()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    CloseOutput();
    return !m_failed.load();
}

std::string PcapngRecorder::Error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void PcapngRecorder::Run()
{
    std::vector<Item> batch;
    bool stop = false;
    while (!stop) {
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, kWriteEvery, [this] { return m_stop; });
            stop = m_stop;
            batch.swap(m_queue);
            m_queuedBytes = 0;
            for (const auto& [port, charUs] : m_modbus)
                m_notes.SetModbus(port, charUs);
        }
        const std::uint64_t dropped = m_dropped.load();
        if (dropped != m_droppedNoted && !batch.empty()) {
            // Where messages went missing: before the first that came after.
            EnsureInterface(batch.front().m_port);
            m_writer.AddPacket(batch.front().m_port, WallUs(batch.front().m_timeUs),
                               PcapngWriter::Event::DataLost, 0, nullptr, 0, {});
            m_droppedNoted = dropped;
        }
        for (Item& item : batch) {
            if (item.m_kind == Item::Kind::Switch) {
                WriteOut();
                CloseOutput();
                m_fd = item.m_fd;
                m_own = item.m_own;
                m_writer.BeginSection(kApplication);
                m_notes.Restart();
                continue;
            }
            Encode(item);
            // A long batch goes out in pieces, not all in memory twice.
            if (m_writer.Pending() >= (1u << 20))
                WriteOut();
        }
        batch.clear();
        WriteOut();
    }
}

void PcapngRecorder::EnsureInterface(unsigned port)
{
    if (m_writer.HasInterface(port))
        return;
    std::pair<std::string, std::string> name;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_names.find(port);
        name = it != m_names.end() ? it->second : std::make_pair(PortName(port), std::string());
    }
    m_writer.AddInterface(port, name.first, name.second);
}

void PcapngRecorder::Encode(Item& item)
{
    EnsureInterface(item.m_port);
    unsigned& lines = m_lines[item.m_port];
    if (item.m_kind == Item::Kind::Event && item.m_event == PcapngWriter::Event::LinesChanged)
        lines = item.m_lines;
    std::string note;
    if (item.m_kind == Item::Kind::Message) {
        if (item.m_origin >= 0)
            m_notes.SetPartners(static_cast<unsigned>(item.m_origin), item.m_port);
        else // the tap's copy repeats a message noted on the port that read it
            note = m_notes.Note(m_writer.PacketCount() + 1, item.m_port, item.m_direction,
                                item.m_timeUs, item.m_bytes.data(), item.m_bytes.size());
    }
    m_writer.AddPacket(item.m_port, WallUs(item.m_timeUs), item.m_event,
                       PcapngWriter::HeaderLines(lines), item.m_bytes.data(), item.m_bytes.size(),
                       note);
    m_packets.fetch_add(1);
}

bool PcapngRecorder::WriteOut()
{
    std::vector<std::uint8_t> bytes = m_writer.Take();
    if (m_failed.load() || m_fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::lock_guard lock(m_mutex);
            m_error = std::strerror(n < 0 ? errno : EIO);
            m_failed = true;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void PcapngRecorder::CloseOutput()
{
    if (m_own && m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_own = false;
}
