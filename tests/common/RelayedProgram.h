#pragma once

#include "PtyPair.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// A program at the far end of a serial line, as lrzsz is run against VRL: VRL opens Path(), a
// pseudo-terminal; the program reads the line on its standard input (a second one, which it
// may set up as it likes) and writes to its standard output, a pipe; a thread carries the
// bytes across. The pipe keeps what the program writes just before it leaves: lrzsz flushes
// its terminal on the way out, which on a pseudo-terminal drops its last ACK unread.
//
// damageEvery > 0: one byte in each run of that many, at a seeded random place, is dropped
// or changed (in turn), in either direction, so that the transfer must retry.
class RelayedProgram
{
public:
    explicit RelayedProgram(int damageEvery = 0, unsigned seed = 1);
    ~RelayedProgram(); // kills a program still running
    RelayedProgram(const RelayedProgram&) = delete;
    RelayedProgram& operator=(const RelayedProgram&) = delete;

    const std::string& Path() const { return m_line.Path(); }
    // Paces each direction to a line of that many bits per second (ten bits a byte, as 8N1
    // takes them), for the benchmarks; 0 (the default): as fast as the relay goes. Before Start.
    void SetBitsPerSecond(unsigned rate) { m_bitsPerSecond = rate; }
    // Starts argv in folder, its standard error to errorFile; false when it cannot.
    bool Start(const std::vector<std::string>& argv, const std::string& folder,
               const std::string& errorFile = "/dev/null");
    pid_t Pid() const { return m_pid; }
    // Its exit status (128 + the signal when killed), or -1 when it still ran after
    // timeoutMs (it is killed then).
    int Wait(int timeoutMs);
    std::uint64_t Damaged() const { return m_damaged.load(); }
    // Bytes carried either way so far.
    std::uint64_t Passed() const { return m_passed.load(); }

private:
    void Relay();
    void Carry(int from, int to, std::vector<char>& buffer);
    void Pace(int to, std::size_t count);

    PtyPair m_line;    // VRL's end
    PtyPair m_program; // the program's standard input
    int m_out[2] = {-1, -1};
    int m_stopFd = -1;
    int m_damageEvery;
    std::uint64_t m_random;
    std::atomic<std::uint64_t> m_passed{0};
    std::uint64_t m_nextDamage = 0;
    std::atomic<std::uint64_t> m_damaged{0};
    std::atomic<unsigned> m_bitsPerSecond{0};
    std::int64_t m_freeAtNs[2] = {0, 0}; // when each direction's line is free again
    pid_t m_pid = -1;
    std::thread m_thread;
};
