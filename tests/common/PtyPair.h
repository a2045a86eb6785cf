#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A pseudo-terminal pair standing in for a serial cable, for the tests and the benchmarks: the
// program opens Path() (the slave end), the far end talks through Master(). The slave end is
// kept open here too, so that the line is not hung up between opens and outlives a Close.
class PtyPair
{
public:
    enum Flags : unsigned
    {
        Plain = 0,
        Raw = 1u << 0,              // no line discipline on the line until a port sets its own
        NonBlockingMaster = 1u << 1 // writes to the master end return at once when the line is full
    };

    explicit PtyPair(unsigned flags = Plain);
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool IsValid() const { return m_master >= 0; }
    int Master() const { return m_master; }
    int Slave() const { return m_slave; }
    const std::string& Path() const { return m_path; }

    // Writes every byte to the master end; false on failure.
    bool Send(std::string_view bytes) const;
    // Writes what the line takes within timeoutMs (a feeder that must be able to stop while
    // nobody reads the far end); false when nothing was written.
    bool TryWrite(std::string_view bytes, int timeoutMs) const;
    // What the port wrote, waiting up to timeoutMs for `want` bytes.
    std::string Receive(std::size_t want, int timeoutMs = 5000) const;
    // What arrived at the master end within timeoutMs, read until the line is quiet for 50 ms.
    std::string ReceiveUntilQuiet(int timeoutMs) const;
    // Hangs the line up: the far end closes (the program sees a hang-up).
    void CloseMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
