#include "core/files/RichText.h"

void RichText::Append(std::string_view utf8, const RichTextFormat& format)
{
    if (utf8.empty())
        return;
    Append(utf8, AddFormat(format));
}

void RichText::Append(std::string_view utf8, std::size_t formatIndex)
{
    if (utf8.empty() || formatIndex >= m_formats.size())
        return;
    m_text.append(utf8);
    if (!m_runs.empty() && m_runs.back().m_format == formatIndex)
        m_runs.back().m_end = m_text.size();
    else
        m_runs.push_back({m_text.size(), static_cast<std::uint32_t>(formatIndex)});
}

std::size_t RichText::AddFormat(const RichTextFormat& format)
{
    // Most calls repeat the format of the last run.
    if (!m_runs.empty() && m_formats[m_runs.back().m_format] == format)
        return m_runs.back().m_format;
    auto [it, added] =
        m_formatIndex.try_emplace(format, static_cast<std::uint32_t>(m_formats.size()));
    if (added)
        m_formats.push_back(format);
    return it->second;
}

void RichText::Clear()
{
    m_text.clear();
    m_runs.clear();
    m_formats.clear();
    m_formatIndex.clear();
}

void RichText::Reserve(std::size_t textBytes)
{
    m_text.reserve(textBytes);
}

std::string_view RichText::RunText(std::size_t run) const
{
    const std::size_t begin = run == 0 ? 0 : m_runs[run - 1].m_end;
    return std::string_view(m_text).substr(begin, m_runs[run].m_end - begin);
}

const RichTextFormat& RichText::RunFormat(std::size_t run) const
{
    return m_formats[m_runs[run].m_format];
}

bool RichText::RemoveTrailingNewline()
{
    if (m_text.empty() || m_text.back() != '\n')
        return false;
    m_text.pop_back();
    if (!m_runs.empty()) {
        m_runs.back().m_end = m_text.size();
        const std::size_t begin = m_runs.size() == 1 ? 0 : m_runs[m_runs.size() - 2].m_end;
        if (m_runs.back().m_end == begin)
            m_runs.pop_back();
    }
    return true;
}

bool operator==(const RichText& a, const RichText& b)
{
    if (a.m_text != b.m_text || a.m_runs.size() != b.m_runs.size())
        return false;
    for (std::size_t i = 0; i < a.m_runs.size(); ++i) {
        if (a.m_runs[i].m_end != b.m_runs[i].m_end || a.RunFormat(i) != b.RunFormat(i))
            return false;
    }
    return true;
}
