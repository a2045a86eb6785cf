#pragma once

#include "core/forward/ForwardTap.h"
#include "core/script/ScriptHost.h"
#include "core/script/ScriptRunner.h"
#include "core/send/SendQueues.h"
#include "core/send/SendService.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CaptureSession;

// The scripts of --script, run beside a capture on its ports: what they send goes through
// the capture's own send service (a sent line in the output, decoded like the rest), what
// they log is a line of the capture, their output and errors go to standard error. When
// every script has ended the capture ends; the exit status is then the scripts'.
class CaptureScript
{
public:
    // session outlives this; made and used on the capture's thread.
    explicit CaptureScript(CaptureSession& session);
    ~CaptureScript();

    // Reads the files and starts their scripts once the ports are open; false (with the
    // reason on standard error) when a file cannot be read.
    bool Start(const std::vector<std::string>& files);
    // Ends the scripts still running and waits for them.
    void StopAll();
    // 0 when every script passed, else the first failing one's status (ScriptEnd).
    int ExitStatus() const;

private:
    // What one script reaches: calls come from its thread and are carried to the capture's.
    class Host : public ScriptHost
    {
    public:
        Host(CaptureScript& owner, std::string name) : m_owner(owner), m_name(std::move(name)) {}
        int FindPort(const std::string& name) override;
        bool Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text) override;
        bool SetOutputLine(unsigned port, unsigned line, bool on) override;
        bool SetBreak(unsigned port, bool on) override;
        bool DecodesModbus(unsigned port) override;
        void Log(const std::string& text) override;
        void Plot(const std::string& name, double value, std::int64_t timeUs) override;
        void Output(const std::string& text, bool error) override;
        void Ended(const ScriptEnd& end) override;

        CaptureScript& m_owner;
        std::string m_name;
        std::atomic<bool> m_ended{false};
        ScriptEnd m_end; // once m_ended
        std::unique_ptr<ScriptRunner> m_runner;
    };

    // The capture's thread, at each of its turns.
    int Turn();
    void Post(std::function<void()> work);

    CaptureSession& m_session;
    ForwardTap m_tap; // the capture forwards nothing; the queues want one
    SendQueues m_queues;
    SendService m_service;
    std::vector<unsigned> m_ports;    // the capture's
    std::vector<unsigned> m_modbusOn; // of those, the ones decoded
    std::vector<std::unique_ptr<Host>> m_scripts;
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
};
