#include "core/transfer/ReceivedFiles.h"

#include "core/files/AtomicFileWriter.h"
#include "core/text/CoreText.h"

#include <ctime>
#include <ostream>
#include <sys/stat.h>

namespace {

constexpr std::uint64_t kLargestFile = 1ULL << 31;

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

ReceivedFiles::ReceivedFiles(std::string folder, std::string unnamed)
    : m_folder(std::move(folder)), m_unnamed(std::move(unnamed))
{
}

std::string ReceivedFiles::BaseName(const std::string& name)
{
    const auto slash = name.find_last_of("/\\");
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    return base == "." || base == ".." ? std::string() : base;
}

std::string ReceivedFiles::NameByTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[64];
    std::strftime(name, sizeof name, "xmodem %Y%m%d %H%M%S.bin", &local);
    return name;
}

bool ReceivedFiles::Begin(const std::string& name, std::optional<std::uint64_t> size,
                          std::string& error)
{
    m_name = name.empty() ? m_unnamed : BaseName(name);
    if (m_name.empty()) {
        error = CoreText::Args(VRL_TR("ReceivedFiles", "发送方给的文件名不能用：%1"), {name});
        return false;
    }
    if (size && *size > kLargestFile) {
        error = CoreText::Args(VRL_TR("ReceivedFiles", "文件“%1”太大（%2 字节）"),
                               {m_name, std::to_string(*size)});
        return false;
    }
    m_content.clear();
    if (size)
        m_content.reserve(static_cast<std::size_t>(*size));
    return true;
}

bool ReceivedFiles::Write(const std::uint8_t* bytes, std::size_t count, std::string& error)
{
    if (m_content.size() + count > kLargestFile) {
        error = CoreText::Args(VRL_TR("ReceivedFiles", "文件“%1”太大（%2 字节）"),
                               {m_name, std::to_string(m_content.size() + count)});
        return false;
    }
    m_content.insert(m_content.end(), bytes, bytes + count);
    return true;
}

bool ReceivedFiles::End(std::string& error)
{
    const std::string path = FreePath(m_name);
    const AtomicWriteResult result = WriteFileAtomically(path, [&](std::ostream& out) {
        out.write(reinterpret_cast<const char*>(m_content.data()),
                  static_cast<std::streamsize>(m_content.size()));
        return static_cast<bool>(out);
    });
    m_content.clear();
    m_content.shrink_to_fit();
    if (!result.m_ok) {
        error = result.m_error;
        return false;
    }
    m_written.push_back(path);
    return true;
}

void ReceivedFiles::Abort()
{
    m_content.clear();
    m_content.shrink_to_fit();
}

std::string ReceivedFiles::FreePath(const std::string& name) const
{
    const std::string folder =
        m_folder.empty() || m_folder.back() == '/' ? m_folder : m_folder + "/";
    std::string path = folder + name;
    const auto dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = stem.size() == name.size() ? std::string() : name.substr(dot);
    for (int n = 2; Exists(path); ++n)
        path = folder + stem + " (" + std::to_string(n) + ")" + extension;
    return path;
}
