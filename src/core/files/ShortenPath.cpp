#include "core/files/ShortenPath.h"

#include <algorithm>
#include <vector>

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace

std::string ShortenPath(const std::string& path, int maxLength)
{
    // Byte offset of each character (UTF-8 lead bytes), so that a Chinese folder name counts
    // one per character and is never cut inside a character.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < path.size(); ++i)
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    const int length = static_cast<int>(starts.size());
    if (length < maxLength)
        return path;

    std::string head;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        head = path.substr(0, 3);
    else if (!path.empty() && path[0] == '/')
        head = "/";

    // The tail runs from the last separator; a trailing one (a folder as the picker gives
    // it) belongs to the tail, so the last component shows.
    std::size_t end = path.size();
    if (end > 0 && IsSeparator(path[end - 1]))
        --end;
    std::string tail;
    int tailChars = 0;
    for (std::size_t i = end; i-- > 0;) {
        if (IsSeparator(path[i])) {
            tail = path.substr(i);
            tailChars =
                static_cast<int>(starts.end() - std::lower_bound(starts.begin(), starts.end(), i));
            break;
        }
    }
    const int keep = maxLength - 5;
    if (tailChars > keep) {
        tail = path.substr(starts[static_cast<std::size_t>(length - keep)]);
        tailChars = keep;
        if (!IsSeparator(tail[0])) {
            tail.insert(0, 1, head == "/" || head.empty() ? '/' : '\\');
            ++tailChars;
        }
    }
    const int dots = std::min(6, maxLength - static_cast<int>(head.size()) - tailChars);
    return head + std::string(static_cast<std::size_t>(std::max(0, dots)), '.') + tail;
}
