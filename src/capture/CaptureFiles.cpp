#include "capture/CaptureFiles.h"

#include "core/text/CoreText.h"

#include "core/files/RichText.h"
#include "core/files/RtfWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string TimeName(std::chrono::system_clock::time_point t)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d %H%M%S", &local);
    return text;
}

// Creates path only when nothing is there yet.
int CreateNew(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

std::vector<RichTextFormat> MonitorFormats()
{
    std::vector<RichTextFormat> formats;
    for (int i = 0; i < kMonitorColourCount; ++i)
        formats.push_back({MonitorColourRgb(i), 18, {}});
    return formats;
}

} // namespace

CaptureFiles::CaptureFiles(std::string folder, bool txt, bool tnf, std::int64_t rotateMs,
                           std::uint64_t rotateBytes, Clock now)
    : m_folder(std::move(folder)), m_txt(txt), m_tnf(tnf), m_rotateMs(rotateMs),
      m_rotateBytes(rotateBytes), m_now(std::move(now))
{
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
}

CaptureFiles::~CaptureFiles()
{
    Close();
}

std::chrono::system_clock::time_point
CaptureFiles::NextBoundary(std::chrono::system_clock::time_point t, std::int64_t periodMs)
{
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    const system_clock::time_point midnight = system_clock::from_time_t(std::mktime(&local));
    local.tm_mday += 1;
    local.tm_isdst = -1;
    const system_clock::time_point nextMidnight = system_clock::from_time_t(std::mktime(&local));
    const std::int64_t since = duration_cast<milliseconds>(t - midnight).count();
    const system_clock::time_point next =
        midnight + milliseconds((since / periodMs + 1) * periodMs);
    return std::min(next, nextMidnight);
}

bool CaptureFiles::Fail(const std::string& path, int error)
{
    m_error =
        CoreText::Args(VRL_TR("CaptureFiles", "无法写文件“%1”：%2"), {path, std::strerror(error)});
    return false;
}

bool CaptureFiles::Begin()
{
    const auto now = m_now();
    // The same name for both kinds: a pair that belongs together. A second already named
    // gives the next free one: names keep one width and sort in time order in any collation
    // (a " (2)" would sort before the first).
    auto named = std::max(now, m_lastNamed + std::chrono::seconds(1));
    for (int n = 0; n < 1000; ++n, named += std::chrono::seconds(1)) {
        const std::string stem = m_folder + TimeName(named);
        if ((m_txt && ::access((stem + ".txt").c_str(), F_OK) == 0)
            || (m_tnf && ::access((stem + ".tnf").c_str(), F_OK) == 0))
            continue;
        if (m_txt) {
            m_txtPath = stem + ".txt";
            const int fd = CreateNew(m_txtPath);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return Fail(m_txtPath, errno);
            }
            m_pTxt = ::fdopen(fd, "w");
        }
        if (m_tnf) {
            m_tnfPath = stem + ".tnf";
            const int fd = CreateNew(m_tnfPath);
            if (fd >= 0) {
                ::close(fd);
                m_tnfStream.open(m_tnfPath, std::ios::binary | std::ios::trunc);
            }
            if (fd < 0 || !m_tnfStream) {
                const int error = errno;
                Close();
                return Fail(m_tnfPath, error);
            }
            m_pRtf = std::make_unique<RtfWriter>(m_tnfStream, MonitorFormats());
        }
        m_open = true;
        m_lastNamed = named;
        m_txtBytes = 0;
        if (m_rotateMs > 0)
            m_nextBoundary = NextBoundary(now, m_rotateMs);
        return true;
    }
    m_error = CoreText::Args(VRL_TR("CaptureFiles", "文件夹“%1”中同名文件太多"), {m_folder});
    return false;
}

bool CaptureFiles::WriteLine(const std::vector<MonitorPiece>& pieces)
{
    if (m_open) {
        const bool due = (m_rotateMs > 0 && m_now() >= m_nextBoundary)
                         || (m_rotateBytes > 0 && Size() >= m_rotateBytes);
        if (due && !Close())
            return false;
    }
    if (!m_open && !Begin())
        return false;
    if (m_pTxt) {
        m_line.clear();
        for (const MonitorPiece& piece : pieces)
            m_line += piece.m_text;
        if (std::fwrite(m_line.data(), 1, m_line.size(), m_pTxt) != m_line.size())
            return Fail(m_txtPath, errno);
        m_txtBytes += m_line.size();
    }
    if (m_pRtf) {
        for (const MonitorPiece& piece : pieces)
            m_pRtf->Append(piece.m_text, static_cast<std::size_t>(piece.m_colour));
        if (!m_pRtf->Good())
            return Fail(m_tnfPath, errno);
    }
    return true;
}

std::uint64_t CaptureFiles::Size() const
{
    // The rich text held for its next block counts: what the file will hold, not what the
    // stream has seen (which grows in 64 KB steps).
    return std::max(m_txtBytes, m_pRtf ? m_pRtf->Size() : 0);
}

bool CaptureFiles::Flush()
{
    if (m_pTxt && std::fflush(m_pTxt) != 0)
        return Fail(m_txtPath, errno);
    if (m_pRtf && !m_pRtf->Flush())
        return Fail(m_tnfPath, errno);
    return true;
}

bool CaptureFiles::Close()
{
    bool ok = true;
    if (m_pTxt) {
        if (std::fclose(m_pTxt) != 0)
            ok = Fail(m_txtPath, errno);
        m_pTxt = nullptr;
    }
    if (m_pRtf) {
        if (!m_pRtf->Finish())
            ok = Fail(m_tnfPath, errno);
        m_pRtf.reset();
        m_tnfStream.close();
    }
    m_open = false;
    return ok;
}

std::string CaptureFiles::CurrentName() const
{
    if (!m_open)
        return {};
    const std::string& path = m_txt ? m_txtPath : m_tnfPath;
    return path.substr(path.find_last_of('/') + 1);
}
