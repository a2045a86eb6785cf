#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a script ended, for the program that ran it.
struct ScriptEnd
{
    enum class How
    {
        Returned, // its body returned with no handler, timer or wait left
        Exited,   // vrl.exit
        Failed,   // an error, the watchdog or the memory cap
        Stopped   // stopped from outside
    };
    How m_how = How::Returned;
    int m_exitCode = 0; // what vrl.exit gave
    int m_failedChecks = 0;
    std::string m_message; // Failed: what went wrong and where, UTF-8

    // As test rigs expect: 1 after an error or a failed check, else vrl.exit's code or 0.
    int ExitStatus() const
    {
        if (m_how == How::Exited && m_exitCode != 0)
            return m_exitCode;
        return m_how == How::Failed || m_failedChecks > 0 ? 1 : 0;
    }
};

// What a script reaches of the program that runs it: its ports, the send service, the
// monitor and the script's output. The window and vrl-capture each implement it. Every
// call comes from the script's thread; none may wait for the program's main thread.
class ScriptHost
{
public:
    virtual ~ScriptHost() = default;

    // The 0-based port a name means ("COM3", or a name the program gives ports), or -1.
    virtual int FindPort(const std::string& name) = 0;
    // Through the send service: shown as a sent line with text, decoded, written. False
    // when the port is known not to be open.
    virtual bool Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text) = 0;
    // DTR (ModemLines::kDtr) or RTS; a BREAK on (true) or off.
    virtual bool SetOutputLine(unsigned port, unsigned line, bool on) = 0;
    virtual bool SetBreak(unsigned port, bool on) = 0;
    // Whether MODBUS RTU decoding is on for the port (the script's messages then carry it).
    virtual bool DecodesModbus(unsigned port) = 0;
    // vrl.log: a line into the monitor (and the capture), UTF-8.
    virtual void Log(const std::string& text) = 0;
    // vrl.plot: a sample of the plot's channels of that name; timeUs: steady. A program
    // without a plot leaves it.
    virtual void Plot(const std::string& name, double value, std::int64_t timeUs)
    {
        (void)name, (void)value, (void)timeUs;
    }
    // A line of the script's own output: print, failed checks, the error that ended it.
    virtual void Output(const std::string& text, bool error) = 0;
    // The last call: the script has ended.
    virtual void Ended(const ScriptEnd& end) = 0;
};
