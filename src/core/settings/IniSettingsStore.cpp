#include "core/settings/IniSettingsStore.h"

#include "core/text/CoreText.h"

#include "core/files/AtomicFileWriter.h"
#include "core/text/CodePage.h"
#include "core/text/HexText.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A settings file is a few kilobytes; anything far larger is not ours.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c)
{
    return HexDigitValue(static_cast<unsigned char>(c));
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

void AppendHexEscape(std::string& out, char prefix, unsigned char c)
{
    out += prefix;
    if (prefix == '\\')
        out += 'x';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

std::string EscapeEntry(std::string_view text, bool bName)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool edge = i == 0 || i + 1 == text.size();
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (IsControl(c) || (c == ' ' && edge) || (bName && c == '=')
                 || (bName && i == 0 && (c == '[' || c == ';' || c == '#')))
            AppendHexEscape(out, '\\', c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

std::string UnescapeEntry(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[i + 1];
        if (next == '\\' || next == 'n' || next == 'r' || next == 't') {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\';
            ++i;
        } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0
                   && HexValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
            i += 3;
        } else {
            out += '\\'; // not an escape of ours: keep it
        }
    }
    return out;
}

std::string EscapeSection(std::string_view name)
{
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsControl(c) || c == '%')
            AppendHexEscape(out, '%', c);
        else
            out += ch;
    }
    return out;
}

std::string UnescapeSection(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0
            && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool LooksBinary(std::string_view text)
{
    // Text with a stray bad byte still reads (see Parse); a file of which a tenth is NUL
    // bytes or no UTF-8 at all is something else, or a damaged settings file.
    std::size_t bad = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : Utf8SequenceLength(lead);
        bool ok = lead != 0 && (lead < 0x80 || (length > 1 && i + length <= text.size()));
        for (std::size_t k = 1; ok && k < length; ++k)
            ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (ok) {
            i += length;
        } else {
            ++bad;
            ++i;
        }
    }
    return bad * 10 > text.size();
}

enum class FileState
{
    Read,
    Missing,
    NoFile,
    Unusable
};

// Reads the whole settings file. Unusable: a regular file that is there but cannot be read
// as settings (reason says why); NoFile: a folder, FIFO or device stands at the path.
FileState ReadWholeFile(const std::string& path, std::string& content, std::string& reason)
{
    content.clear();
    // O_NONBLOCK: a FIFO or device named as the settings file must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        struct stat st
        {
        };
        if (error == ENOENT || error == ENOTDIR || ::stat(path.c_str(), &st) != 0)
            return FileState::Missing;
        if (!S_ISREG(st.st_mode))
            return FileState::NoFile;
        reason = error == EACCES || error == EPERM
                     ? VRL_TR("IniSettingsStore", "没有读取权限")
                     : VRL_TR("IniSettingsStore", "无法打开：") + std::strerror(error);
        return FileState::Unusable;
    }
    struct stat st
    {
    };
    FileState state = FileState::Read;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        state = FileState::NoFile;
    } else if (st.st_size > kMaxFileSize) {
        state = FileState::Unusable;
        reason = VRL_TR("IniSettingsStore", "文件大于 16 MB，不是设置文件");
    }
    char buffer[16384];
    while (state == FileState::Read) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        if (n < 0) {
            state = FileState::Unusable;
            reason = VRL_TR("IniSettingsStore", "读取出错：") + std::strerror(errno);
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > static_cast<std::size_t>(kMaxFileSize)) {
            state = FileState::Unusable;
            reason = VRL_TR("IniSettingsStore", "文件大于 16 MB，不是设置文件");
        }
    }
    ::close(fd);
    if (state == FileState::Read && LooksBinary(content)) {
        state = FileState::Unusable;
        reason = VRL_TR("IniSettingsStore", "内容不是文本，文件可能已损坏");
    }
    if (state != FileState::Read)
        content.clear();
    return state;
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return true;
    struct stat st
    {
    };
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const auto slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::string path) : m_path(std::move(path))
{
    RemoveStaleTemporaries(m_path);
    std::string content;
    std::string reason;
    switch (ReadWholeFile(m_path, content, reason)) {
    case FileState::Read: m_sections = Parse(content); break;
    // Read as defaults, and moved aside at once: the next write would overwrite it.
    case FileState::Unusable: SetAside(reason); break;
    case FileState::Missing:
    case FileState::NoFile: break;
    }
}

IniSettingsStore::~IniSettingsStore()
{
    Flush();
}

std::string IniSettingsStore::DefaultPath()
{
    std::string base;
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/Tellumar/VRL.conf";
}

IniSettingsStore::Sections IniSettingsStore::Parse(std::string_view text)
{
    Sections sections;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3); // a byte-order mark left by an editor
    Section* current = nullptr;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.find('\0') != std::string_view::npos) {
            current = line.front() == '[' ? nullptr : current;
            continue;
        }
        if (line.front() == '[') {
            // A broken header: its entries belong to no section we know.
            current = line.back() == ']'
                          ? &sections[UnescapeSection(line.substr(1, line.size() - 2))]
                          : nullptr;
            continue;
        }
        const auto equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        (*current)[UnescapeEntry(Trim(line.substr(0, equals)))] =
            UnescapeEntry(Trim(line.substr(equals + 1)));
    }
    return sections;
}

std::string IniSettingsStore::Format(const Sections& sections)
{
    std::string out;
    for (const auto& [section, values] : sections) {
        if (!out.empty())
            out += '\n';
        out += '[';
        out += EscapeSection(section);
        out += "]\n";
        for (const auto& [name, value] : values) {
            out += EscapeEntry(name, true);
            out += '=';
            out += EscapeEntry(value, false);
            out += '\n';
        }
    }
    return out;
}

std::int32_t IniSettingsStore::ReadInt(std::string_view section, std::string_view name,
                                       std::int32_t defaultValue) const
{
    const auto s = m_sections.find(section);
    if (s == m_sections.end())
        return defaultValue;
    const auto v = s->second.find(name);
    if (v == s->second.end())
        return defaultValue;
    std::string_view text = v->second;
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return defaultValue;
    return value;
}

std::string IniSettingsStore::ReadString(std::string_view section, std::string_view name,
                                         std::string_view defaultValue) const
{
    const auto s = m_sections.find(section);
    if (s != m_sections.end()) {
        const auto v = s->second.find(name);
        if (v != s->second.end())
            return v->second;
    }
    return std::string(defaultValue);
}

void IniSettingsStore::WriteInt(std::string_view section, std::string_view name, std::int32_t value)
{
    Write(section, name, std::to_string(value));
}

void IniSettingsStore::WriteString(std::string_view section, std::string_view name,
                                   std::string_view value)
{
    Write(section, name, std::string(value));
}

void IniSettingsStore::Write(std::string_view section, std::string_view name, std::string value)
{
    auto s = m_sections.try_emplace(std::string(section)).first;
    s->second.insert_or_assign(std::string(name), value);
    m_pending[std::string(section)].insert_or_assign(std::string(name), std::move(value));
    if (m_nBatchDepth == 0)
        Flush();
}

void IniSettingsStore::BeginBatch()
{
    ++m_nBatchDepth;
}

void IniSettingsStore::EndBatch()
{
    if (m_nBatchDepth > 0 && --m_nBatchDepth == 0)
        Flush();
}

bool IniSettingsStore::Flush()
{
    if (m_pending.empty())
        return true;
    // Start from the file as it is now, so that another running copy keeps its values. When
    // it cannot be read back (gone, replaced, grown past the limit), start from what this
    // program read at start and wrote since: never from this run's changes alone. A file
    // that is there but cannot be read is moved aside first, never overwritten.
    Sections onDisk = m_sections;
    std::string content;
    std::string reason;
    const FileState state = ReadWholeFile(m_path, content, reason);
    if (state == FileState::Read) {
        onDisk = Parse(content);
    } else if (state == FileState::Unusable && !SetAside(reason)) {
        m_bLastWriteFailed = true;
        m_strLastWriteError = m_strSetAsideNote;
        return false;
    }
    for (const auto& [section, values] : m_pending)
        for (const auto& [name, value] : values)
            onDisk[section].insert_or_assign(name, value);

    const auto slash = m_path.find_last_of('/');
    AtomicWriteResult result;
    if (slash != std::string::npos && slash > 0 && !MakeFolders(m_path.substr(0, slash)))
        result.m_error = CoreText::Args(
            VRL_TR("IniSettingsStore", "无法保存设置文件“%1”：无法创建它所在的文件夹。"), {m_path});
    else
        result = WriteFileAtomically(
            m_path, [&](std::ostream& out) { return !(out << Format(onDisk)).fail(); });
    m_bLastWriteFailed = !result.m_ok;
    m_strLastWriteError = result.m_error;
    if (!m_bLastWriteFailed)
        m_pending.clear();
    return !m_bLastWriteFailed;
}

bool IniSettingsStore::SetAside(const std::string& reason)
{
    // A link to the settings (a dotfile repository) stays: its target is what gets moved.
    std::string target = m_path;
    if (char* real = ::realpath(m_path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    std::string aside = target + ".bad-" + TimeStamp();
    struct stat st
    {
    };
    for (int n = 2; ::lstat(aside.c_str(), &st) == 0; ++n)
        aside = target + ".bad-" + TimeStamp() + "-" + std::to_string(n);
    if (::rename(target.c_str(), aside.c_str()) != 0) {
        m_strSetAsideNote = CoreText::Args(
            VRL_TR(
                "IniSettingsStore",
                "设置文件“%1”无法读取（%2），也无法改名保留（%3）。程序使用默认设置，且不会覆盖这个文件，本次的设置不会保存。"),
            {m_path, reason, std::strerror(errno)});
        return false;
    }
    m_strSetAsideNote =
        CoreText::Args(VRL_TR("IniSettingsStore",
                              "设置文件“%1”无法读取（%2），已改名保留为“%3”。程序使用默认设置。"),
                       {m_path, reason, aside});
    return true;
}
