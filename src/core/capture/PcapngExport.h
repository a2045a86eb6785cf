#pragma once

#include "core/capture/TrafficRing.h"
#include "core/files/AtomicFileWriter.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

// Writes kept traffic (a TrafficRing snapshot) as one pcapng file, as PcapngRecorder would
// have recorded it: the same interfaces, events and notes. Runs on any thread; the file is
// written whole or not at all (WriteFileAtomically).
class PcapngExport
{
public:
    void SetInterface(unsigned port, const std::string& name, const std::string& description);
    void SetModbus(unsigned port, double charUs);

    // wallOffsetUs: what puts the messages' steady microseconds on the wall clock. progress,
    // when set, counts the snapshot's bytes done (of Snapshot::Bytes); cancel stops the
    // export, which then fails without a file.
    AtomicWriteResult Write(const std::string& path, const TrafficRing::Snapshot& snapshot,
                            std::int64_t wallOffsetUs, std::atomic<std::uint64_t>* progress,
                            const std::atomic<bool>* cancel) const;

private:
    std::map<unsigned, std::pair<std::string, std::string>> m_names;
    std::map<unsigned, double> m_modbus;
};
