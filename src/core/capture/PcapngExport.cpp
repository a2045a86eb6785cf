#include "core/capture/PcapngExport.h"

#include "core/base/PortName.h"
#include "core/capture/PacketNotes.h"
#include "core/capture/PcapngWriter.h"
#include "core/text/CoreText.h"

#include <ostream>

void PcapngExport::SetInterface(unsigned port, const std::string& name,
                                const std::string& description)
{
    m_names[port] = {name, description};
}

void PcapngExport::SetModbus(unsigned port, double charUs)
{
    m_modbus[port] = charUs;
}

AtomicWriteResult PcapngExport::Write(const std::string& path,
                                      const TrafficRing::Snapshot& snapshot,
                                      std::int64_t wallOffsetUs,
                                      std::atomic<std::uint64_t>* progress,
                                      const std::atomic<bool>* cancel) const
{
    bool cancelled = false;
    AtomicWriteResult result = WriteFileAtomically(path, [&](std::ostream& out) {
        PcapngWriter writer;
        PacketNotes notes;
        for (const auto& [port, charUs] : m_modbus)
            notes.SetModbus(port, charUs);
        writer.BeginSection("VRL");
        int lastReceived = -1;
        std::uint64_t done = 0;
        snapshot.ForEach([&](const TrafficRing::Message& m) {
            if (cancelled || !out)
                return;
            if (!writer.HasInterface(m.m_port)) {
                const auto it = m_names.find(m.m_port);
                writer.AddInterface(m.m_port,
                                    it != m_names.end() ? it->second.first : PortName(m.m_port),
                                    it != m_names.end() ? it->second.second : std::string());
            }
            std::string note;
            if (m.m_forwarded && lastReceived >= 0)
                notes.SetPartners(static_cast<unsigned>(lastReceived), m.m_port);
            else if (!m.m_forwarded)
                note = notes.Note(writer.PacketCount() + 1, m.m_port, m.m_direction, m.m_timeUs,
                                  m.m_bytes, m.m_count);
            if (!m.m_forwarded && m.m_direction == 1)
                lastReceived = static_cast<int>(m.m_port);
            writer.AddPacket(m.m_port, m.m_timeUs + wallOffsetUs,
                             m.m_direction == 1 ? PcapngWriter::Event::Received
                                                : PcapngWriter::Event::Sent,
                             0, m.m_bytes, m.m_count, note);
            done += m.m_count + TrafficRing::kPackedHead;
            if (writer.Pending() >= (256u << 10)) {
                const auto bytes = writer.Take();
                out.write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<std::streamsize>(bytes.size()));
                if (progress)
                    progress->store(done);
                cancelled = cancel && cancel->load();
            }
        });
        const auto bytes = writer.Take();
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return !cancelled && static_cast<bool>(out);
    });
    if (cancelled) {
        result.m_ok = false;
        result.m_error = VRL_TR("PcapngExport", "导出已取消");
    }
    return result;
}
