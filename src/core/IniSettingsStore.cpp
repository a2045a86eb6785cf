#include "IniSettingsStore.h"

#include "HexText.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
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
        else if (IsControl(c) || (c == ' ' && edge) || (bName && c == '=') ||
                 (bName && i == 0 && (c == '[' || c == ';' || c == '#')))
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
        } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
                   HexValue(text[i + 3]) >= 0) {
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
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
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

// The whole file, or false when there is none that can be read as a settings file.
bool ReadWholeFile(const std::string& path, std::string& content)
{
    // O_NONBLOCK: a FIFO or device named as the settings file must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileSize;
    content.clear();
    char buffer[16384];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > static_cast<std::size_t>(kMaxFileSize))
            ok = false;
    }
    ::close(fd);
    return ok;
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return true;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const auto slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Replaces the file at path with content, so that a reader sees either the old or the new
// file whole, even after a crash or a power cut.
bool ReplaceFileAtomically(std::string path, std::string_view content)
{
    // A symbolic link (settings kept in a dotfile repository) stays a link: write its target.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    if (!MakeFolders(folder))
        return false;

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Makes the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::string path) : m_path(std::move(path))
{
    std::string content;
    if (ReadWholeFile(m_path, content))
        m_sections = Parse(content);
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
    // program read at start and wrote since: never from this run's changes alone.
    Sections onDisk;
    std::string content;
    if (ReadWholeFile(m_path, content))
        onDisk = Parse(content);
    else
        onDisk = m_sections;
    for (const auto& [section, values] : m_pending)
        for (const auto& [name, value] : values)
            onDisk[section].insert_or_assign(name, value);
    m_bLastWriteFailed = !ReplaceFileAtomically(m_path, Format(onDisk));
    if (!m_bLastWriteFailed)
        m_pending.clear();
    return !m_bLastWriteFailed;
}
