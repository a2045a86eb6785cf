#pragma once

#include "core/modbus/ModbusRtu.h"
#include "core/script/ExpectMatcher.h"
#include "core/script/LuaSandbox.h"
#include "core/script/ScriptHost.h"
#include "core/traffic/TrafficListener.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class PortTraffic;
struct ModbusRecord;

// One Lua script, run on a thread of its own in a LuaSandbox, with the vrl API: ports to
// send to and wait on, handlers of received messages, timers, DTR/RTS and BREAK, check
// codes, the log and checks.
//
// The thread runs an event loop. The script's body and every handler call are coroutines;
// a wait (vrl.sleep, p:expect, p:brk) yields its coroutine, so that a waiting script costs
// no CPU and its handlers still run. Received messages are taken from the traffic on the
// ports' workers and queued without waiting (beyond a limit they are dropped and counted),
// so that a script answers whatever the window is doing.
// What a script may take.
struct ScriptLimits
{
    std::size_t m_memoryCap = LuaSandbox::kDefaultMemoryCap;
    std::int64_t m_sliceMs = LuaSandbox::kDefaultSliceMs;
    std::size_t m_queueLimit = 64u << 20; // what received messages waiting for the script take
};

class ScriptRunner : private TrafficListener
{
public:
    // host and traffic outlive this. name: what errors call the script (its file's name).
    ScriptRunner(ScriptHost& host, PortTraffic& traffic, std::string name, std::string text,
                 ScriptLimits limits = ScriptLimits());
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Starts the script's thread; on its end the host's Ended is called there.
    void Start();
    // Any thread, never waits: the script ends at its next instructions or wait.
    void Stop();
    bool HasEnded() const { return m_ended.load(); }
    // Waits for the thread (after Ended, or after Stop) and leaves the traffic.
    void Join();
    const std::string& Name() const { return m_name; }

private:
    friend struct ScriptApi;

    struct Incoming
    {
        unsigned m_port = 0;
        int m_direction = 1;
        std::int64_t m_timeUs = 0;
        std::size_t m_offset = 0;
        std::size_t m_count = 0;
    };
    struct Wait
    {
        unsigned m_port = 0;
        bool m_expect = false;
        std::optional<ExpectMatcher> m_match;
        std::optional<ExpectMatcher> m_fail;
        std::uint64_t m_timer = 0;
    };
    struct Timer
    {
        lua_State* m_task = nullptr; // resumed when due
        int m_function = -2;         // else called in a task of its own (LUA_NOREF: none)
        std::int64_t m_periodUs = 0; // vrl.every
        int m_breakPort = -1;        // p:brk: the BREAK ends
    };
    struct Handlers
    {
        std::vector<int> m_message;
        std::vector<int> m_modbus;
    };

    // TrafficListener, on the ports' workers.
    void OnTraffic(const TrafficMessage& message) override;

    void Run();
    void Loop();
    void Dispatch(const std::vector<Incoming>& messages, const std::vector<std::uint8_t>& bytes);
    void Received(unsigned port, std::int64_t timeUs, const std::uint8_t* bytes, std::size_t count,
                  bool single);
    void FeedWaits(unsigned port, const std::uint8_t* bytes, std::size_t count);
    // Pushes the results of a match (or none) on m_state: how many; matchEnd: where in
    // the matcher's text the match ends.
    int Search(ExpectMatcher& matcher, bool& found, std::size_t& matchEnd);
    void RunTimers();

    // Tasks: the body and every handler call, each a coroutine kept in the registry.
    void Spawn(int args); // the function and its args on m_state's top
    void Resume(lua_State* task, int args);
    void FinishTask(lua_State* task);
    void BeginWait(lua_State* task, Wait wait);
    void EndWait(lua_State* task);
    std::uint64_t AddTimer(std::int64_t dueUs, Timer timer);
    void CancelTimer(std::uint64_t id);
    bool IsLive() const;
    void End(ScriptEnd::How how, std::string message = {});

    std::optional<ModbusRecord> DecodeModbus(unsigned port, int direction,
                                             const std::uint8_t* bytes, std::size_t count);
    void PushPort(lua_State* L, unsigned port);
    void PushModbus(lua_State* L, const ModbusRecord& record);

    ScriptHost& m_host;
    PortTraffic& m_traffic;
    std::string m_name;
    std::string m_text;
    ScriptLimits m_limits;
    LuaSandbox m_sandbox;
    lua_State* m_state;
    std::thread m_thread;
    bool m_listening = false;
    std::atomic<bool> m_ended{false};

    // Filled by the workers, taken by the script's thread.
    std::mutex m_inMutex;
    std::condition_variable m_inWake;
    std::vector<Incoming> m_in;
    std::vector<std::uint8_t> m_inBytes;
    std::uint64_t m_inDropped = 0;
    bool m_stopAsked = false;
    std::array<std::atomic<bool>, 256> m_watched{};

    // The script's thread only.
    std::map<lua_State*, int> m_tasks; // coroutine, its registry reference
    lua_State* m_main = nullptr;
    bool m_mainDone = false;
    std::map<lua_State*, Wait> m_waits;
    std::vector<lua_State*> m_ready; // yielded without a wait: resumed at the next turn
    std::map<std::pair<std::int64_t, std::uint64_t>, Timer> m_timers; // by due time, id
    std::map<std::uint64_t, std::int64_t> m_timerDue;
    std::uint64_t m_nextTimer = 1;
    int m_functionTimers = 0; // vrl.every and vrl.after that wait
    std::map<unsigned, Handlers> m_handlers;
    std::map<unsigned, ModbusFrame> m_requests; // the last request seen on each port
    int m_findRef = -2;                         // string.find as the script began
    ScriptEnd m_end;
};
