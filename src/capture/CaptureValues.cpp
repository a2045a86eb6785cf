#include "capture/CaptureValues.h"

#include "core/text/CoreText.h"

#include <cerrno>
#include <cstring>

namespace {

std::vector<std::string> NamesOf(const std::vector<PlotChannel>& channels)
{
    std::vector<std::string> names;
    for (const PlotChannel& c : channels)
        names.push_back(c.m_name);
    return names;
}

std::vector<PlotSource> SourcesOf(const std::vector<PlotChannel>& channels)
{
    std::vector<PlotSource> sources;
    for (const PlotChannel& c : channels)
        sources.push_back(c.m_source);
    return sources;
}

} // namespace

CaptureValues::CaptureValues(std::vector<PlotChannel> channels, std::string path)
    : m_path(std::move(path)), m_csv(NamesOf(channels), PlotCsv::WallOffsetNow())
{
    m_sampler.SetChannels(SourcesOf(channels));
    m_sampler.SetSink([this](std::size_t channel, std::int64_t timeUs, double value) {
        Write(m_csv.Add(channel, timeUs, value));
    });
}

CaptureValues::~CaptureValues()
{
    Close();
}

bool CaptureValues::Open()
{
    m_file = std::fopen(m_path.c_str(), "wx");
    if (!m_file) {
        m_error = CoreText::Args(VRL_TR("CaptureValues", "无法创建数值文件 %1：%2"),
                                 {m_path, std::strerror(errno)});
        return false;
    }
    Write(m_csv.Header());
    return m_error.empty();
}

void CaptureValues::Write(const std::string& text)
{
    if (!m_file || text.empty() || !m_error.empty())
        return;
    if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
        m_error = CoreText::Args(VRL_TR("CaptureValues", "无法写入数值文件 %1：%2"),
                                 {m_path, std::strerror(errno)});
}

void CaptureValues::OnRecord(const DecodedRecord& record)
{
    m_sampler.OnRecord(record);
}

void CaptureValues::OnScriptValue(const std::string& name, double value, std::int64_t timeUs)
{
    m_sampler.OnScriptValue(name, timeUs, value);
}

void CaptureValues::OnTraffic(const TrafficMessage& message)
{
    if (message.m_direction == 1 && !message.m_forwarded)
        m_sampler.OnReceived(message.m_port, message.m_timeUs, message.m_bytes, message.m_count);
}

bool CaptureValues::Flush()
{
    // The row under way stays: a register of the same answer may still come.
    if (m_file && m_error.empty() && std::fflush(m_file) != 0)
        m_error = CoreText::Args(VRL_TR("CaptureValues", "无法写入数值文件 %1：%2"),
                                 {m_path, std::strerror(errno)});
    return m_error.empty();
}

bool CaptureValues::Close()
{
    if (!m_file)
        return m_error.empty();
    Write(m_csv.Flush());
    Flush();
    if (std::fclose(m_file) != 0 && m_error.empty())
        m_error = CoreText::Args(VRL_TR("CaptureValues", "无法写入数值文件 %1：%2"),
                                 {m_path, std::strerror(errno)});
    m_file = nullptr;
    return m_error.empty();
}
