#include "core/files/AtomicFileWriter.h"

#include "core/text/CoreText.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::time_t kStaleSeconds = 60;

// Hands the stream's bytes to a file descriptor in blocks and keeps the first error.
class FileDescriptorBuffer : public std::streambuf
{
public:
    explicit FileDescriptorBuffer(int fd) : m_fd(fd), m_buffer(kBufferSize) { Reset(); }

    int Error() const { return m_error; }
    off_t Written() const { return m_written; }

protected:
    int_type overflow(int_type ch) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        // A large piece goes straight to the file instead of through the buffer.
        if (static_cast<std::size_t>(n) >= m_buffer.size())
            return Drain() && WriteAll(s, static_cast<std::size_t>(n)) ? n : 0;
        return std::streambuf::xsputn(s, n);
    }

    int sync() override { return Drain() ? 0 : -1; }

private:
    void Reset() { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }

    bool Drain()
    {
        const bool ok = WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        Reset();
        return ok;
    }

    bool WriteAll(const char* data, std::size_t size)
    {
        while (m_error == 0 && size > 0) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                break;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
            m_written += n;
        }
        return m_error == 0;
    }

    int m_fd;
    std::vector<char> m_buffer;
    int m_error = 0;
    off_t m_written = 0;
};

std::string Reason(int error)
{
    switch (error) {
    case ENOSPC: return VRL_TR("AtomicFileWriter", "磁盘空间不足");
    case EDQUOT: return VRL_TR("AtomicFileWriter", "超出磁盘配额");
    case EACCES:
    case EPERM: return VRL_TR("AtomicFileWriter", "没有写入权限");
    case EROFS: return VRL_TR("AtomicFileWriter", "文件系统是只读的");
    case ENOENT: return VRL_TR("AtomicFileWriter", "文件夹不存在");
    case ENOTDIR: return VRL_TR("AtomicFileWriter", "路径中有一部分不是文件夹");
    case ENAMETOOLONG: return VRL_TR("AtomicFileWriter", "文件名太长");
    case EFBIG: return VRL_TR("AtomicFileWriter", "文件太大");
    case EIO: return VRL_TR("AtomicFileWriter", "磁盘读写出错");
    case ELOOP: return VRL_TR("AtomicFileWriter", "符号链接太多或成环");
    default:
        return CoreText::Args(VRL_TR("AtomicFileWriter", "错误 %1（%2）"),
                              {std::to_string(error), std::strerror(error)});
    }
}

std::string Failure(const std::string& path, const std::string& reason)
{
    return CoreText::Args(VRL_TR("AtomicFileWriter", "无法保存文件“%1”：%2。"), {path, reason});
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names: symbolic links are followed, so that a link stays a link, also when
// its target does not exist yet. False with errno when a link cannot be read or links loop.
bool ResolveLink(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info
        {
        };
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link);
        if (n < 0 || n == sizeof link)
            return false;
        const std::string next(link, static_cast<std::size_t>(n));
        target = next.starts_with('/') ? next : FolderOf(target) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

mode_t NewFileMode()
{
    // umask() would have to set it to read it, which races with other threads.
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:")) {
            mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            break;
        }
    }
    return 0666 & ~mask;
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile
{
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_bKept)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void Keep() { m_bKept = true; }

private:
    std::string m_path;
    bool m_bKept = false;
};

// Streams the content into fd; an empty string when all of it reached the disk, else the
// reason.
std::string StreamInto(int fd, const std::function<bool(std::ostream&)>& write, off_t* written)
{
    FileDescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    const bool produced = write(out);
    out.flush();
    if (written)
        *written = buffer.Written();
    if (buffer.Error() != 0)
        return Reason(buffer.Error());
    if (!produced || !out.good())
        return VRL_TR("AtomicFileWriter", "生成文件内容时出错");
    if (::fsync(fd) != 0 && errno != EINVAL)
        return Reason(errno);
    return {};
}

AtomicWriteResult WriteInPlace(const std::string& path, const std::string& target,
                               const std::function<bool(std::ostream&)>& write)
{
    AtomicWriteResult result;
    result.m_inPlace = true;
    // O_NONBLOCK and the check below: the file may have been swapped for a FIFO meanwhile.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    struct stat info
    {
    };
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.m_error =
            Failure(path, fd < 0 ? Reason(errno) : VRL_TR("AtomicFileWriter", "这不是普通文件"));
        if (fd >= 0)
            ::close(fd);
        return result;
    }
    // Overwritten from the start and cut at the end rather than emptied first: the blocks
    // the old content holds are reused, so a full disk fails less often.
    off_t written = 0;
    std::string reason = StreamInto(fd, write, &written);
    if (reason.empty() && ::ftruncate(fd, written) != 0)
        reason = Reason(errno);
    if (::close(fd) != 0 && reason.empty())
        reason = Reason(errno);
    if (!reason.empty()) {
        result.m_error = Failure(
            path, CoreText::Args(VRL_TR("AtomicFileWriter",
                                        "%1。文件夹中不能新建文件，文件是直接改写的，可能已不完整"),
                                 {reason}));
        return result;
    }
    result.m_ok = true;
    return result;
}

} // namespace

AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      const std::function<bool(std::ostream&)>& write)
{
    AtomicWriteResult result;
    std::string target;
    if (!ResolveLink(path, target)) {
        result.m_error =
            Failure(path, CoreText::Args(VRL_TR("AtomicFileWriter", "无法读取符号链接（%1）"),
                                         {Reason(errno)}));
        return result;
    }
    struct stat old
    {
    };
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        result.m_error = Failure(path, Reason(errno));
        return result;
    }
    if (exists && S_ISDIR(old.st_mode)) {
        result.m_error = Failure(path, VRL_TR("AtomicFileWriter", "这是一个文件夹"));
        return result;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        result.m_error = Failure(
            path, VRL_TR("AtomicFileWriter", "这不是普通文件（设备、管道或套接字），不能用来保存"));
        return result;
    }

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM || error == EROFS)
            && ::access(target.c_str(), W_OK) == 0)
            return WriteInPlace(path, target, write);
        result.m_error = Failure(path, Reason(error));
        return result;
    }
    TemporaryFile guard(temp);
    if (exists) {
        ::fchmod(fd, old.st_mode & 07777);
        // Keeps the group (and, for root, the owner) of a shared file; may fail harmlessly.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0
            && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        }
    } else {
        ::fchmod(fd, NewFileMode());
    }
    std::string reason = StreamInto(fd, write, nullptr);
    if (::close(fd) != 0 && reason.empty())
        reason = Reason(errno);
    if (reason.empty() && ::rename(temp.c_str(), target.c_str()) != 0)
        reason = Reason(errno);
    if (!reason.empty()) {
        result.m_error = Failure(path, reason);
        return result;
    }
    guard.Keep();
    // Makes the rename itself durable.
    const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    result.m_ok = true;
    return result;
}

void RemoveStaleTemporaries(const std::string& path)
{
    std::string target;
    if (!ResolveLink(path, target))
        target = path;
    const auto slash = target.find_last_of('/');
    const std::string prefix =
        (slash == std::string::npos ? target : target.substr(slash + 1)) + ".";
    DIR* dir = ::opendir(FolderOf(target).c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix))
            continue;
        const std::string_view suffix = name.substr(prefix.size());
        bool mkstempAlphabet = true;
        bool onlyLower = true;
        for (char c : suffix) {
            const bool lower = c >= 'a' && c <= 'z';
            mkstempAlphabet =
                mkstempAlphabet && (lower || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
            onlyLower = onlyLower && lower;
        }
        if (!mkstempAlphabet || onlyLower)
            continue;
        struct stat info
        {
        };
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()
            || now - info.st_mtime < kStaleSeconds)
            continue;
        ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}
