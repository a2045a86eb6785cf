#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Cuts what a port reads into lines, for a device that prints text (--lines): a message ends
// after each LF, whatever the packing interval did to the reads; a line longer than the
// longest message is cut there, as the port cuts a long message. A line whose end has not
// come is held until it comes or the line has been quiet for a while (a prompt still shows).
class LineSplitter
{
public:
    using Message = std::vector<std::uint8_t>;

    explicit LineSplitter(std::size_t longest);

    // The messages that the bytes complete, oldest first; nowMs: a steady clock.
    std::vector<Message> Take(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs);
    // The line begun, when nothing came for quietMs since its last byte (quietMs < 0: now);
    // else nothing.
    Message TakeHeld(std::int64_t nowMs, std::int64_t quietMs);

private:
    std::size_t m_longest;
    Message m_held;
    std::int64_t m_lastMs = 0;
};
