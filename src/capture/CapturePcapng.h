#pragma once

#include "core/capture/PcapngRecorder.h"

#include <map>
#include <string>

class PortTraffic;
struct PortSettings;

// vrl-capture's pcapng file (--pcapng FILE, or - for standard output): every message of the
// ports with its time, for Wireshark. With the text files rotating it rotates with them, and
// each file carries the local time it was begun, as they do ("trace.pcapng" becomes
// "trace 20240103 090412.pcapng"; a second already named gives "trace 20240103 090412-2").
class CapturePcapng
{
public:
    // path: the file, or "-"; rotated: the text files will rotate.
    CapturePcapng(std::string path, bool rotated);
    ~CapturePcapng();
    CapturePcapng(const CapturePcapng&) = delete;
    CapturePcapng& operator=(const CapturePcapng&) = delete;

    // Before port opens: its interface, its MODBUS notes, and its output lines as opened.
    void SetPort(unsigned port, const std::string& device, const PortSettings& settings,
                 bool modbus, unsigned outputLines);
    // Opens the first file and follows traffic's workers; false with Error when the file
    // cannot be made.
    bool Begin(PortTraffic& traffic);
    // The text files began anew: so does the pcapng file.
    bool Rotate();
    // On a worker: the input lines changed.
    void OnModemLines(unsigned port, unsigned lines);
    // Writes what waits and closes the file; false with Error when a write failed.
    bool End();

    const std::string& Error() const { return m_error; }

private:
    // Opens the next file; -1 with Error.
    int OpenNext();

    std::string m_path;
    bool m_rotated;
    PcapngRecorder m_recorder;
    PortTraffic* m_pTraffic = nullptr;
    std::map<unsigned, unsigned> m_outputs; // DTR and RTS as set at open, by port
    std::string m_error;
};
