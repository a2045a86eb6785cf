#include "core/script/ScriptRunner.h"
#include "ModbusTestFrames.h"
#include "core/script/LuaSandbox.h"
#include "core/traffic/PortTraffic.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Ports COM1 and COM2; what the script says, and how it ended.
class FakeHost : public ScriptHost
{
public:
    int FindPort(const std::string& name) override
    {
        return name == "COM1" ? 0 : name == "COM2" ? 1 : -1;
    }
    bool Send(unsigned, std::vector<std::uint8_t>, std::string) override { return true; }
    bool SetOutputLine(unsigned, unsigned, bool) override { return true; }
    bool SetBreak(unsigned, bool) override { return true; }
    bool DecodesModbus(unsigned) override { return m_modbus; }
    void Log(const std::string& text) override { Output(text, false); }
    void Output(const std::string& text, bool error) override
    {
        std::lock_guard lock(m_mutex);
        (error ? m_errors : m_lines).push_back(text);
        m_changed.notify_all();
    }
    void Ended(const ScriptEnd& end) override { m_end.set_value(end); }
    void Plot(const std::string& name, double value, std::int64_t timeUs) override
    {
        std::lock_guard lock(m_mutex);
        m_plots.push_back(name + " " + std::to_string(value) + " " + std::to_string(timeUs));
    }

    // Waits until the script has printed line.
    bool WaitFor(const std::string& line)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [&] {
            return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
        });
    }
    ScriptEnd End() { return m_end.get_future().get(); }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_errors;
    std::vector<std::string> m_plots;
    std::promise<ScriptEnd> m_end;
    bool m_modbus = false;
};

void Receive(PortTraffic& traffic, unsigned port, const std::string& bytes, int direction = 1)
{
    TrafficMessage message;
    message.m_port = port;
    message.m_direction = direction;
    message.m_bytes = reinterpret_cast<const std::uint8_t*>(bytes.data());
    message.m_count = bytes.size();
    traffic.Publish(message);
}

// Runs script to its end; what it printed and how it ended.
ScriptEnd RunScript(const std::string& script, FakeHost& host, ScriptLimits limits = {})
{
    PortTraffic traffic;
    ScriptRunner runner(host, traffic, "t.lua", script, limits);
    runner.Start();
    return host.End();
}

} // namespace

TEST(LuaSandboxTest, NothingOutsideTheStateCanBeReached)
{
    const char* const kRows[] = {
        "assert(io == nil and os == nil and package == nil and debug == nil)",
        "assert(require == nil and dofile == nil and loadfile == nil)",
        "assert(string.dump == nil)",
        // load takes text only: a binary chunk (ESC "Lua") is refused.
        "local f, e = load('\\27Lua\\84\\0'); assert(f == nil and e:find('binary'))",
        "local f, e = load('\\27Lua', 'x', 'b'); assert(f == nil)",
        // Chunks loaded by the script see the same sandbox.
        "assert(load('return io, os, debug')() == nil)",
        "assert(string.format('%d', 7) == '7' and utf8.char(72) == 'H' and math.pi > 3)",
        "assert(coroutine.wrap(function() return table.concat({1, 2}) end)() == '12')",
    };
    for (const char* row : kRows) {
        LuaSandbox sandbox;
        EXPECT_EQ(sandbox.Run(row, "row"), "") << row;
    }
}

TEST(LuaSandboxTest, RunawayCodeAndMemoryEndTheScript)
{
    struct Row
    {
        const char* m_script;
        LuaSandbox::Stop m_reason;
        const char* m_where; // in the message
        std::int64_t m_sliceMs = LuaSandbox::kDefaultSliceMs;
    };
    const Row kRows[] = {
        {"while true do end", LuaSandbox::Stop::Watchdog, "row:1:"},
        {"while true do pcall(function() while true do end end) end", LuaSandbox::Stop::Watchdog,
         "row:1:"},
        {"local t = {} for i = 1, 1e9 do t[i] = ('x'):rep(10000) .. i end",
         LuaSandbox::Stop::Memory, "64 MB", 10000},
        {"local s = ('x'):rep(1 << 30)", LuaSandbox::Stop::Memory, "64 MB"},
        {"while true do pcall(string.rep, 'x', 1 << 30) end", LuaSandbox::Stop::Memory, "64 MB"},
    };
    for (const Row& row : kRows) {
        LuaSandbox sandbox(LuaSandbox::kDefaultMemoryCap, row.m_sliceMs);
        const auto start = std::chrono::steady_clock::now();
        const std::string message = sandbox.Run(row.m_script, "row");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << row.m_script;
        EXPECT_EQ(sandbox.Reason(), row.m_reason) << row.m_script;
        EXPECT_NE(message.find(row.m_where), std::string::npos) << row.m_script << ": " << message;
        EXPECT_LE(sandbox.Used(), sandbox.MemoryCap() + (2u << 20)) << row.m_script;
    }
}

TEST(ScriptRunnerTest, ExpectMatchesAcrossMessagesAndKeepsItsTotalTimeOut)
{
    struct Row
    {
        const char* m_expect; // the argument of p:expect
        std::vector<std::string> m_messages;
        const char* m_result; // what the script prints: the match(es), or nil and why
    };
    const Row kRows[] = {
        {"{pattern='OK'}", {"AT", "O", "K\r\n"}, "OK"},
        {"{pattern='T=(%d+);'}", {"xx T=2", "3;"}, "23"},
        {"{pattern='^OK'}", {"xOK", "OK!"}, "OK"},
        {"{pattern='^OK', timeout=150}", {"xOK", "O", "K"}, "nil timeout"},
        {"{hex='01 03 ?"
         "? ?"
         "?'}",
         {"\xFF\x01", "\x03\x7A", "\x10"},
         "01 03 7A 10"},
        {"{hex='01 ?"
         "? 03'}",
         {"\x01\x01\x01", "\x02\x03"},
         "01 02 03"},
        {"{pattern='OK', fail='ERR(%d)'}", {"ER", "R7 OK"}, "nil fail 7"},
        {"{pattern='OK', timeout=150}", {"NO", "O\r\n", "K"}, "nil timeout"},
    };
    for (const Row& row : kRows) {
        FakeHost host;
        PortTraffic traffic;
        const std::string script =
            "local p = vrl.port('COM1'); local q = vrl.port('COM2'); print('ready')\n"
            "local r = table.pack(p:expect"
            + std::string(row.m_expect)
            + ")\n"
              "for i = 1, r.n do r[i] = r[i] and (r[i]:find('^%g+$') and r[i] or vrl.tohex(r[i]))"
              " or 'nil' end\nprint(table.concat(r, ' ', 1, r.n))";
        ScriptRunner runner(host, traffic, "t.lua", script);
        runner.Start();
        ASSERT_TRUE(host.WaitFor("ready"));
        for (const std::string& m : row.m_messages) {
            Receive(traffic, 1, m); // the other port's bytes count for nothing
            Receive(traffic, 0, m);
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_TRUE(host.WaitFor(row.m_result))
            << row.m_expect << " printed " << (host.m_lines.size() > 1 ? host.m_lines[1] : "");
        EXPECT_EQ(host.End().ExitStatus(), 0) << row.m_expect;
    }
}

TEST(ScriptRunnerTest, ExpectTimeOutIsCountedFromTheCallNotFromTheLastByte)
{
    FakeHost host;
    PortTraffic traffic;
    ScriptRunner runner(host, traffic, "t.lua",
                        "local p = vrl.port('COM1'); local t = vrl.now(); print('ready')\n"
                        "local r, why = p:expect{pattern='OK', timeout=200}\n"
                        "print(why, math.floor((vrl.now() - t) * 1000))");
    runner.Start();
    ASSERT_TRUE(host.WaitFor("ready"));
    for (int i = 0; i < 30 && !runner.HasEnded(); ++i) {
        Receive(traffic, 0, "x");
        std::this_thread::sleep_for(10ms);
    }
    host.End();
    ASSERT_EQ(host.m_lines.size(), 2u);
    const int ms = std::stoi(host.m_lines[1].substr(host.m_lines[1].find('\t') + 1));
    EXPECT_EQ(host.m_lines[1].substr(0, 7), "timeout");
    EXPECT_GE(ms, 200);
    EXPECT_LE(ms, 260); // the bench holds it to 5 ms; a shared machine may lag
}

TEST(ScriptRunnerTest, ExitStatusSaysWhetherTheScriptPassed)
{
    struct Row
    {
        const char* m_script;
        ScriptEnd::How m_how;
        int m_status;
        const char* m_error; // part of the last error line, or ""
    };
    const Row kRows[] = {
        {"vrl.check(1 + 1 == 2, 'sum')", ScriptEnd::How::Returned, 0, ""},
        {"vrl.check(false, 'no answer')", ScriptEnd::How::Returned, 1, "no answer（t.lua:1）"},
        {"vrl.exit(3)", ScriptEnd::How::Exited, 3, ""},
        {"pcall(vrl.exit, 0) print('not here')", ScriptEnd::How::Exited, 0, ""},
        {"vrl.check(false) vrl.exit(0)", ScriptEnd::How::Exited, 1, "t.lua:1"},
        {"\nerror('boom')", ScriptEnd::How::Failed, 1, "t.lua:2: boom"},
        {"x = = 1", ScriptEnd::How::Failed, 1, "t.lua:1:"},
        {"vrl.after(20, function() error('late') end)", ScriptEnd::How::Failed, 1, "late"},
        {"local n = 0 local id id = vrl.every(5, function() n = n + 1 "
         "if n == 3 then vrl.cancel(id) end end)",
         ScriptEnd::How::Returned, 0, ""},
        {"vrl.sleep(10) vrl.port('COM9')", ScriptEnd::How::Failed, 1, "COM9"},
        {"coroutine.wrap(function() vrl.sleep(1) end)()", ScriptEnd::How::Failed, 1, "t.lua:1:"},
        {"vrl.plot('t', 'warm')", ScriptEnd::How::Failed, 1, "bad argument #2"},
    };
    for (const Row& row : kRows) {
        FakeHost host;
        const ScriptEnd end = RunScript(row.m_script, host);
        EXPECT_EQ(end.m_how, row.m_how) << row.m_script;
        EXPECT_EQ(end.ExitStatus(), row.m_status) << row.m_script;
        const std::string error = host.m_errors.empty() ? "" : host.m_errors.back();
        EXPECT_NE(error.find(row.m_error), std::string::npos) << row.m_script << ": " << error;
        EXPECT_TRUE(host.m_lines.empty()) << row.m_script;
    }
    FakeHost host;
    RunScript("vrl.plot('t', 2.5, 3)", host);
    EXPECT_EQ(host.m_plots, std::vector<std::string>{"t 2.500000 3000000"});
}

TEST(ScriptRunnerTest, HandlersRunWhileTheBodyWaitsAndStopEndsAnyScript)
{
    FakeHost host;
    PortTraffic traffic;
    ScriptRunner runner(host, traffic, "t.lua",
                        "local p = vrl.port('COM1')\n"
                        "p:on_message(function(m) print(m.port.name .. ':' .. m.bytes) end)\n"
                        "print('ready') vrl.sleep(1e6)");
    runner.Start();
    ASSERT_TRUE(host.WaitFor("ready"));
    Receive(traffic, 0, "hello");
    EXPECT_TRUE(host.WaitFor("COM1:hello"));
    runner.Stop();
    EXPECT_EQ(host.End().m_how, ScriptEnd::How::Stopped);
}

// With decoding on, a read's answer carries the numbers of the request the script sent.
TEST(ScriptRunnerTest, ModbusAnswersArePairedWithTheirRequest)
{
    FakeHost host;
    host.m_modbus = true;
    PortTraffic traffic;
    ScriptRunner runner(host, traffic, "t.lua",
                        "local p = vrl.port('COM1')\n"
                        "p:on_modbus(function(r) print(r.slave, r['function'], r.answer, r.address,"
                        " r.quantity, table.concat(r.values, ',')) vrl.exit(0) end)\n"
                        "print('ready')");
    runner.Start();
    ASSERT_TRUE(host.WaitFor("ready"));
    const auto frame = [](const char* hex) {
        const std::vector<std::uint8_t> bytes = ModbusBytes(hex);
        return std::string(bytes.begin(), bytes.end());
    };
    Receive(traffic, 0, frame("01 03 00 10 00 02"), 0); // sent by the script
    Receive(traffic, 0, frame("01 03 04 00 07 01 00"));
    EXPECT_EQ(host.End().m_how, ScriptEnd::How::Exited);
    ASSERT_EQ(host.m_lines.size(), 2u);
    EXPECT_EQ(host.m_lines[1], "1\t3\ttrue\t16\t2\t7,256");
}
