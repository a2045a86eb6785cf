#pragma once

#include "core/capture/PacketNotes.h"
#include "core/capture/PcapngWriter.h"
#include "core/traffic/TrafficListener.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Records the traffic of the ports into a pcapng file (PcapngWriter) as it flows. Added to the
// ports' traffic as a worker listener: a worker only copies its message into a queue under a
// short lock and goes on; a thread of the recorder turns what waits into blocks and writes
// them with whole blocks per write, so that a killed program leaves a file that Wireshark
// reads up to its last block. Times are the messages' steady microseconds, put on the wall
// clock once at the start, so that the gaps between packets are the gaps the ports saw.
class PcapngRecorder : public TrafficListener
{
public:
    // What waits unwritten at most; beyond it messages are dropped and the file says where
    // (a CAPTURE_DATA_LOST event) rather than the program running out of memory.
    static constexpr std::size_t kMostQueued = 256u << 20;

    PcapngRecorder();
    ~PcapngRecorder() override;
    PcapngRecorder(const PcapngRecorder&) = delete;
    PcapngRecorder& operator=(const PcapngRecorder&) = delete;

    // Any time: the interface of port ("COM3" and its device; else its COM name alone) and
    // MODBUS notes for it (charUs: one character on its line; <= 0 none). They count from the
    // next interface block and the next message.
    void SetInterface(unsigned port, const std::string& name, const std::string& description);
    void SetModbus(unsigned port, double charUs);

    // Writes into fd from now on (closed at the end when own): the section header at once.
    void Start(int fd, bool own);
    // A new file from the next message on (a rotation): a section header and the interfaces
    // again, so that each file stands alone.
    void SwitchTo(int fd, bool own);
    // On a worker, or any thread: the message goes into the queue.
    void OnTraffic(const TrafficMessage& message) override;
    // An event without data: the modem lines changed (lines: ModemLines bits), a BREAK, a
    // framing or parity error; at steadyUs.
    void NoteEvent(unsigned port, PcapngWriter::Event event, std::int64_t steadyUs, unsigned lines);
    // Writes what waits, ends the thread and closes an owned descriptor. False when a write
    // failed (Error says why).
    bool Stop();

    bool Failed() const { return m_failed.load(); }
    std::string Error() const;
    std::uint64_t Packets() const { return m_packets.load(); }
    std::uint64_t Dropped() const { return m_dropped.load(); }
    // The wall clock's microseconds for steady ones.
    std::int64_t WallUs(std::int64_t steadyUs) const { return steadyUs + m_wallOffsetUs; }

private:
    struct Item
    {
        enum class Kind
        {
            Message,
            Event,
            Switch
        } m_kind = Kind::Message;
        unsigned m_port = 0;
        int m_direction = 1;
        int m_origin = -1; // a forwarded copy: the port that read it
        std::int64_t m_timeUs = 0;
        PcapngWriter::Event m_event = PcapngWriter::Event::Received;
        unsigned m_lines = 0;
        std::vector<std::uint8_t> m_bytes;
        int m_fd = -1;
        bool m_own = false;
    };

    void Push(Item item);
    void Run();
    void Encode(Item& item);
    void EnsureInterface(unsigned port);
    bool WriteOut();
    void CloseOutput();

    const std::int64_t m_wallOffsetUs;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Item> m_queue;
    std::size_t m_queuedBytes = 0;
    bool m_stop = false;
    std::map<unsigned, std::pair<std::string, std::string>> m_names;
    std::map<unsigned, double> m_modbus;
    std::string m_error;
    std::atomic<bool> m_failed{false};
    std::atomic<std::uint64_t> m_packets{0};
    std::atomic<std::uint64_t> m_dropped{0};
    std::thread m_thread;

    // The writer thread's own.
    PcapngWriter m_writer;
    PacketNotes m_notes;
    std::map<unsigned, unsigned> m_lines; // the modem lines last reported, by port
    std::uint64_t m_droppedNoted = 0;
    int m_fd = -1;
    bool m_own = false;
};
