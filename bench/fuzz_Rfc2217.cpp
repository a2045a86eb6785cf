// What a telnet server sends is outside input: any bytes, cut into any reads. The session
// never grows the data, answers in bounded words, and a data stream escaped for the wire
// comes back unchanged however the reads cut it.
#include "core/serial/Rfc2217.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    Rfc2217Session session;
    std::vector<std::uint8_t> out;
    session.Start(out);
    SerialLine::LineSettings line;
    line.baudRate = 9600u << (data[0] % 8);
    session.SetLine(line, data[0] >> 6, out);
    session.SetOutputs(data[1] & 3, (data[1] & 4) != 0, out);

    // The server's stream, in reads whose lengths come from the input as well.
    const std::size_t half = (size - 2) / 2;
    const std::uint8_t* stream = data + 2;
    std::size_t cut = 0;
    std::vector<std::uint8_t> read;
    for (std::size_t at = 0; at < half;) {
        const std::size_t n =
            std::min<std::size_t>(1 + stream[half + (cut++ % (size - 2 - half))] % 64, half - at);
        read.assign(stream + at, stream + at + n);
        out.clear();
        const std::size_t kept = session.Receive(read.data(), read.size(), out);
        if (kept > n || out.size() > 4096)
            std::abort();
        at += n;
    }
    session.TakeNotes();
    unsigned lines = 0;
    session.InputLines(lines);

    // The rest of the input as port data, escaped for the wire and read back in small cuts.
    const std::vector<std::uint8_t> payload(stream + half, data + size);
    Rfc2217Session clean;
    clean.Start(out);
    std::vector<std::uint8_t> escaped;
    Rfc2217Session::Escape(payload.data(), payload.size(), escaped);
    std::vector<std::uint8_t> got;
    for (std::size_t at = 0; at < escaped.size();) {
        const std::size_t n =
            std::min<std::size_t>(1 + (at * 7 + payload.size()) % 5, escaped.size() - at);
        read.assign(escaped.begin() + static_cast<std::ptrdiff_t>(at),
                    escaped.begin() + static_cast<std::ptrdiff_t>(at + n));
        out.clear();
        const std::size_t kept = clean.Receive(read.data(), read.size(), out);
        got.insert(got.end(), read.begin(), read.begin() + static_cast<std::ptrdiff_t>(kept));
        at += n;
    }
    if (got != payload)
        std::abort();
    return 0;
}
