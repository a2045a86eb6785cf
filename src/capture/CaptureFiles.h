#pragma once

#include "core/receive/MonitorLine.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class RtfWriter;

// The files of a capture in one folder: a plain-text file and/or a rich-text file (.tnf, in
// the monitor's colours) at a time, named after the local time they were begun as the timed
// the second ("20240103 090412.txt"; a second already named gives the next free second, so
// that nothing is ever written over and the names sort in time order). New files begin at
// each period on the clock (counted from local midnight: 1h begins them on the hour) and/or
// once the larger file has reached a size, always between two lines.
class CaptureFiles
{
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // folder must exist. rotateMs, rotateBytes: 0 never.
    CaptureFiles(std::string folder, bool txt, bool tnf, std::int64_t rotateMs,
                 std::uint64_t rotateBytes, Clock now = std::chrono::system_clock::now);
    ~CaptureFiles();
    CaptureFiles(const CaptureFiles&) = delete;
    CaptureFiles& operator=(const CaptureFiles&) = delete;

    // One line: its pieces, the last ending with '\n'. New files begin first when due. False
    // when a file could not be begun or written (Error says which and why).
    bool WriteLine(const std::vector<MonitorPiece>& pieces);
    // Hands what was written to the system, the .tnf's text too, so that a reader (or what a
    // killed capture leaves) has whole lines.
    bool Flush();
    // Ends the files (a .tnf gets its end, so that it opens); the next line begins new ones.
    bool Close();

    const std::string& Error() const { return m_error; }
    // The name of the file written now (the .txt's when both), or empty.
    std::string CurrentName() const;
    // Bytes of the larger file begun last.
    std::uint64_t Size() const;

    // The time of the next period's start after t, local time, for period ms.
    static std::chrono::system_clock::time_point
    NextBoundary(std::chrono::system_clock::time_point t, std::int64_t periodMs);

private:
    bool Begin();
    bool Fail(const std::string& path, int error);

    std::string m_folder;
    bool m_txt;
    bool m_tnf;
    std::int64_t m_rotateMs;
    std::uint64_t m_rotateBytes;
    Clock m_now;

    bool m_open = false;
    std::chrono::system_clock::time_point m_nextBoundary;
    std::chrono::system_clock::time_point m_lastNamed; // the time the last name says
    std::uint64_t m_txtBytes = 0;
    std::string m_txtPath;
    std::string m_tnfPath;
    std::FILE* m_pTxt = nullptr;
    std::ofstream m_tnfStream;
    std::unique_ptr<RtfWriter> m_pRtf;
    std::string m_line;
    std::string m_error;
};
