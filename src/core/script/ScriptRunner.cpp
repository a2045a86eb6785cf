#include "core/script/ScriptRunner.h"

#include "core/base/PortName.h"
#include "core/modbus/ModbusRecord.h"
#include "core/send/CheckCode.h"
#include "core/serial/ModemLines.h"
#include "core/text/CoreText.h"
#include "core/text/HexText.h"
#include "core/traffic/PortTraffic.h"

#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <iterator>

namespace {

constexpr const char* kPortType = "vrl.port";
constexpr const char* kPortsKey = "vrl.ports"; // registry: port number -> its object
constexpr std::int64_t kDefaultExpectMs = 10000;
constexpr std::int64_t kDefaultBreakMs = 250;

std::int64_t NowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t MsArg(lua_State* L, int index, std::int64_t otherwise)
{
    const lua_Number ms = luaL_optnumber(L, index, static_cast<lua_Number>(otherwise));
    return ms > 0 ? static_cast<std::int64_t>(ms * 1000.0) : 0;
}

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::uint16_t Swapped(std::uint16_t value)
{
    return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

// The register values of the two CRCs, as their standards give them (the check-code class
// returns them with the bytes exchanged, for the send editor).
std::uint16_t CrcModbus(std::string_view s)
{
    return Swapped(CCheckCode().CrcAnsi16(reinterpret_cast<const unsigned char*>(s.data()),
                                          static_cast<int>(s.size())));
}

std::uint16_t CrcCcitt(std::string_view s)
{
    return Swapped(CCheckCode().CrcCcitt16(reinterpret_cast<const unsigned char*>(s.data()),
                                           static_cast<int>(s.size())));
}

std::uint8_t Sum8(std::string_view s)
{
    return static_cast<std::uint8_t>(CCheckCode().ByteSum(
        reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size())));
}

std::string_view StringArg(lua_State* L, int index)
{
    std::size_t size = 0;
    const char* text = luaL_checklstring(L, index, &size);
    return {text, size};
}

// What a sent line shows: the text when it is printable ASCII, line ends at either end left
// out and those inside written as \r and \n; else hex.
std::string SentText(const std::vector<std::uint8_t>& bytes)
{
    const auto isEnd = [](std::uint8_t b) { return b == '\r' || b == '\n'; };
    auto first = std::find_if_not(bytes.begin(), bytes.end(), isEnd);
    auto last = std::find_if_not(bytes.rbegin(), std::make_reverse_iterator(first), isEnd).base();
    std::string text;
    for (auto it = first; it != last; ++it) {
        if (isEnd(*it)) {
            text += *it == '\r' ? "\\r" : "\\n";
        } else if (*it < 0x20 || *it >= 0x7F) {
            return BytesToHexText(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
        } else {
            text += static_cast<char>(*it);
        }
    }
    return text;
}

} // namespace

// The functions the script calls, with the runner from their upvalue.
struct ScriptApi
{
    static ScriptRunner& Self(lua_State* L)
    {
        return *static_cast<ScriptRunner*>(lua_touserdata(L, lua_upvalueindex(1)));
    }

    static unsigned PortArg(lua_State* L)
    {
        return *static_cast<unsigned*>(luaL_checkudata(L, 1, kPortType));
    }

    // A Lua error leaves by longjmp, past every C++ destructor of the frames it leaves: the
    // message goes onto Lua's stack in a statement of its own (its string is gone before the
    // jump), and no other object holding memory may be alive where Raise is called.
    static void PushError(lua_State* L, const std::string& text)
    {
        luaL_where(L, 1);
        lua_pushlstring(L, text.data(), text.size());
        lua_concat(L, 2);
    }

    static void MustWait(lua_State* L, const char* what)
    {
        if (!Self(L).m_tasks.count(L) || !lua_isyieldable(L)) {
            PushError(
                L, CoreText::Args(VRL_TR("ScriptRunner",
                                         "%1 只能在脚本主体或处理函数中等待，不能在自建的协程里"),
                                  {what}));
            lua_error(L);
        }
    }

    static std::string Joined(lua_State* L)
    {
        std::string text;
        for (int i = 1; i <= lua_gettop(L); ++i) {
            if (i > 1)
                text += '\t';
            text += luaL_tolstring(L, i, nullptr);
            lua_pop(L, 1);
        }
        return text;
    }

    static int Port(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const int port = self.m_host.FindPort(std::string(StringArg(L, 1)));
        if (port < 0 || port >= static_cast<int>(self.m_watched.size())) {
            PushError(L, CoreText::Args(VRL_TR("ScriptRunner", "没有名为“%1”的端口"),
                                        {std::string(StringArg(L, 1))}));
            return lua_error(L);
        }
        self.m_watched[static_cast<std::size_t>(port)] = true;
        self.PushPort(L, static_cast<unsigned>(port));
        return 1;
    }

    static int PortIndex(lua_State* L)
    {
        const unsigned port = PortArg(L);
        const std::string_view key = StringArg(L, 2);
        if (key == "name") {
            lua_pushstring(L, PortName(port).c_str());
            return 1;
        }
        lua_pushvalue(L, 2);
        lua_rawget(L, lua_upvalueindex(2));
        return 1;
    }

    static int PortText(lua_State* L)
    {
        lua_pushstring(L, PortName(PortArg(L)).c_str());
        return 1;
    }

    static int Send(lua_State* L)
    {
        const unsigned port = PortArg(L);
        std::vector<std::uint8_t> bytes = Bytes(StringArg(L, 2));
        if (lua_istable(L, 3)) {
            lua_getfield(L, 3, "check");
            if (!lua_isnil(L, -1)) {
                const std::string_view check = StringArg(L, -1);
                const std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                if (check == "crc16_modbus") {
                    const std::uint16_t crc = CrcModbus(s);
                    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
                    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
                } else if (check == "ccitt") {
                    const std::uint16_t crc = CrcCcitt(s);
                    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
                    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
                } else if (check == "sum") {
                    bytes.push_back(Sum8(s));
                } else {
                    PushError(
                        L, CoreText::Args(VRL_TR("ScriptRunner",
                                                 "未知的校验“%1”（可用 crc16_modbus、ccitt、sum）"),
                                          {check}));
                    bytes = {};
                    return lua_error(L);
                }
            }
            lua_pop(L, 1);
        }
        std::string text = SentText(bytes);
        lua_pushboolean(L, Self(L).m_host.Send(port, std::move(bytes), std::move(text)));
        return 1;
    }

    static std::optional<ExpectMatcher> Matcher(lua_State* L, const char* patternKey,
                                                const char* hexKey, std::size_t window)
    {
        std::optional<ExpectMatcher> matcher;
        lua_getfield(L, 2, hexKey);
        if (!lua_isnil(L, -1)) {
            std::string error;
            matcher = ExpectMatcher::FromHex(StringArg(L, -1), error);
            if (!matcher) {
                PushError(L, error);
                error = std::string();
                lua_error(L);
            }
        }
        lua_getfield(L, 2, patternKey);
        if (!lua_isnil(L, -1)) {
            const std::string pattern(StringArg(L, -1));
            // A malformed pattern is the caller's error, here and now.
            lua_getglobal(L, "string");
            lua_getfield(L, -1, "find");
            lua_pushliteral(L, "");
            lua_pushstring(L, pattern.c_str());
            lua_call(L, 2, 0);
            lua_pop(L, 1);
            matcher = ExpectMatcher::FromPattern(pattern, window);
        }
        lua_pop(L, 2);
        return matcher;
    }

    static int Expect(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const unsigned port = PortArg(L);
        MustWait(L, "expect");
        if (lua_isstring(L, 2)) { // p:expect("OK", 500)
            lua_createtable(L, 0, 2);
            lua_pushvalue(L, 2);
            lua_setfield(L, -2, "pattern");
            if (!lua_isnoneornil(L, 3)) {
                lua_pushvalue(L, 3);
                lua_setfield(L, -2, "timeout");
            }
            lua_replace(L, 2);
        }
        luaL_checktype(L, 2, LUA_TTABLE);
        lua_getfield(L, 2, "window");
        const auto window =
            static_cast<std::size_t>(luaL_optinteger(L, -1, ExpectMatcher::kDefaultWindow));
        lua_getfield(L, 2, "timeout");
        const std::int64_t timeoutUs = MsArg(L, -1, kDefaultExpectMs);
        lua_pop(L, 2);
        ScriptRunner::Wait wait;
        wait.m_port = port;
        wait.m_expect = true;
        wait.m_match = Matcher(L, "pattern", "hex", window);
        wait.m_fail = Matcher(L, "fail", "fail_hex", window);
        if (!wait.m_match) {
            wait = ScriptRunner::Wait();
            PushError(L, VRL_TR("ScriptRunner", "expect 需要 pattern 或 hex"));
            return lua_error(L);
        }
        ScriptRunner::Timer timer;
        timer.m_task = L;
        wait.m_timer = self.AddTimer(NowUs() + timeoutUs, timer);
        self.BeginWait(L, std::move(wait));
        return lua_yield(L, 0);
    }

    static int OnHandler(lua_State* L, bool modbus)
    {
        ScriptRunner& self = Self(L);
        const unsigned port = PortArg(L);
        ScriptRunner::Handlers& handlers = self.m_handlers[port];
        std::vector<int>& list = modbus ? handlers.m_modbus : handlers.m_message;
        if (lua_isnil(L, 2)) {
            for (int ref : list)
                luaL_unref(L, LUA_REGISTRYINDEX, ref);
            list.clear();
            return 0;
        }
        luaL_checktype(L, 2, LUA_TFUNCTION);
        lua_pushvalue(L, 2);
        list.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
        return 0;
    }
    static int OnMessage(lua_State* L) { return OnHandler(L, false); }
    static int OnModbus(lua_State* L) { return OnHandler(L, true); }

    static int Set(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const unsigned port = PortArg(L);
        luaL_checktype(L, 2, LUA_TTABLE);
        bool ok = true;
        for (const auto& [key, line] :
             {std::pair{"dtr", ModemLines::kDtr}, {"rts", ModemLines::kRts}}) {
            lua_getfield(L, 2, key);
            if (!lua_isnil(L, -1))
                ok = self.m_host.SetOutputLine(port, line, lua_toboolean(L, -1)) && ok;
            lua_pop(L, 1);
        }
        lua_pushboolean(L, ok);
        return 1;
    }

    static int Break(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const unsigned port = PortArg(L);
        MustWait(L, "brk");
        const std::int64_t us = MsArg(L, 2, kDefaultBreakMs);
        if (!self.m_host.SetBreak(port, true)) {
            lua_pushboolean(L, false);
            return 1;
        }
        ScriptRunner::Timer timer;
        timer.m_task = L;
        timer.m_breakPort = static_cast<int>(port);
        ScriptRunner::Wait wait;
        wait.m_port = port;
        wait.m_timer = self.AddTimer(NowUs() + us, timer);
        self.BeginWait(L, std::move(wait));
        return lua_yield(L, 0);
    }

    static int Sleep(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        MustWait(L, "vrl.sleep");
        ScriptRunner::Timer timer;
        timer.m_task = L;
        ScriptRunner::Wait wait;
        wait.m_timer = self.AddTimer(NowUs() + MsArg(L, 1, 0), timer);
        self.BeginWait(L, std::move(wait));
        return lua_yield(L, 0);
    }

    static int AddFunctionTimer(lua_State* L, bool repeat)
    {
        ScriptRunner& self = Self(L);
        const std::int64_t us = MsArg(L, 1, 0);
        luaL_checktype(L, 2, LUA_TFUNCTION);
        if (repeat && us < 1000) {
            PushError(L, VRL_TR("ScriptRunner", "vrl.every 的间隔至少 1 毫秒"));
            return lua_error(L);
        }
        lua_pushvalue(L, 2);
        ScriptRunner::Timer timer;
        timer.m_function = luaL_ref(L, LUA_REGISTRYINDEX);
        timer.m_periodUs = repeat ? us : 0;
        ++self.m_functionTimers;
        lua_pushinteger(L, static_cast<lua_Integer>(self.AddTimer(NowUs() + us, timer)));
        return 1;
    }
    static int Every(lua_State* L) { return AddFunctionTimer(L, true); }
    static int After(lua_State* L) { return AddFunctionTimer(L, false); }

    static int Cancel(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const auto id = static_cast<std::uint64_t>(luaL_checkinteger(L, 1));
        const auto it = self.m_timerDue.find(id);
        if (it != self.m_timerDue.end()) {
            const auto timer = self.m_timers.find({it->second, id});
            if (timer != self.m_timers.end() && timer->second.m_task == nullptr) {
                luaL_unref(L, LUA_REGISTRYINDEX, timer->second.m_function);
                --self.m_functionTimers;
                self.CancelTimer(id);
            }
        }
        return 0;
    }

    static int Hex(lua_State* L)
    {
        const std::string_view text = StringArg(L, 1);
        std::string bytes;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] == ' ' || text[i] == '\t' || text[i] == ',') {
                ++i;
                continue;
            }
            const int high = HexDigitValue(static_cast<unsigned char>(text[i]));
            const int low =
                i + 1 < text.size() ? HexDigitValue(static_cast<unsigned char>(text[i + 1])) : -1;
            if (high < 0 || low < 0) {
                PushError(L, CoreText::Args(
                                 VRL_TR("ScriptRunner", "十六进制文本“%1”在第 %2 个字符处有误"),
                                 {text, std::to_string(i + 1)}));
                bytes = std::string();
                return lua_error(L);
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
        lua_pushlstring(L, bytes.data(), bytes.size());
        return 1;
    }

    static int ToHex(lua_State* L)
    {
        lua_pushstring(L, BytesToHexText(StringArg(L, 1)).c_str());
        return 1;
    }

    static int Crc16Modbus(lua_State* L)
    {
        lua_pushinteger(L, CrcModbus(StringArg(L, 1)));
        return 1;
    }
    static int Ccitt(lua_State* L)
    {
        lua_pushinteger(L, CrcCcitt(StringArg(L, 1)));
        return 1;
    }
    static int Sum(lua_State* L)
    {
        lua_pushinteger(L, Sum8(StringArg(L, 1)));
        return 1;
    }

    static int Now(lua_State* L)
    {
        lua_pushnumber(L, static_cast<lua_Number>(NowUs()) / 1e6);
        return 1;
    }

    static int Log(lua_State* L)
    {
        Self(L).m_host.Log(Joined(L));
        return 0;
    }

    // vrl.plot(name, value [, time]): time in seconds as vrl.now gives them.
    static int Plot(lua_State* L)
    {
        const std::string name = luaL_checkstring(L, 1);
        const double value = luaL_checknumber(L, 2);
        const std::int64_t timeUs = lua_isnoneornil(L, 3)
                                        ? NowUs()
                                        : static_cast<std::int64_t>(luaL_checknumber(L, 3) * 1e6);
        Self(L).m_host.Plot(name, value, timeUs);
        return 0;
    }

    static int Print(lua_State* L)
    {
        Self(L).m_host.Output(Joined(L), false);
        return 0;
    }

    static int Check(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        const bool ok = lua_toboolean(L, 1);
        if (!ok) {
            ++self.m_end.m_failedChecks;
            luaL_where(L, 1);
            std::string where = lua_tostring(L, -1);
            lua_pop(L, 1);
            if (where.size() > 2 && where.compare(where.size() - 2, 2, ": ") == 0)
                where.resize(where.size() - 2);
            const std::string what =
                lua_isnoneornil(L, 2) ? std::string() : std::string(luaL_tolstring(L, 2, nullptr));
            self.m_host.Output(
                CoreText::Args(VRL_TR("ScriptRunner", "检查失败：%1（%2）"), {what, where}), true);
        }
        lua_pushboolean(L, ok);
        return 1;
    }

    static int Exit(lua_State* L)
    {
        ScriptRunner& self = Self(L);
        self.m_end.m_exitCode = static_cast<int>(luaL_optinteger(L, 1, 0));
        self.m_sandbox.StopHere(L, LuaSandbox::Stop::Exit);
        return luaL_error(L, "exit");
    }
};

ScriptRunner::ScriptRunner(ScriptHost& host, PortTraffic& traffic, std::string name,
                           std::string text, ScriptLimits limits)
    : m_host(host), m_traffic(traffic), m_name(std::move(name)), m_text(std::move(text)),
      m_limits(limits), m_sandbox(limits.m_memoryCap, limits.m_sliceMs), m_state(m_sandbox.State())
{
    lua_State* L = m_state;
    // The port objects: methods, and a name.
    luaL_newmetatable(L, kPortType);
    static const luaL_Reg kMethods[] = {{"send", &ScriptApi::Send},
                                        {"expect", &ScriptApi::Expect},
                                        {"on_message", &ScriptApi::OnMessage},
                                        {"on_modbus", &ScriptApi::OnModbus},
                                        {"set", &ScriptApi::Set},
                                        {"brk", &ScriptApi::Break},
                                        {nullptr, nullptr}};
    lua_pushlightuserdata(L, this);
    lua_newtable(L);
    lua_pushlightuserdata(L, this);
    luaL_setfuncs(L, kMethods, 1);
    lua_pushcclosure(L, &ScriptApi::PortIndex, 2);
    lua_setfield(L, -2, "__index");
    lua_pushlightuserdata(L, this);
    lua_pushcclosure(L, &ScriptApi::PortText, 1);
    lua_setfield(L, -2, "__tostring");
    lua_pop(L, 1);
    lua_newtable(L);
    lua_setfield(L, LUA_REGISTRYINDEX, kPortsKey);

    static const luaL_Reg kFunctions[] = {
        {"port", &ScriptApi::Port},     {"hex", &ScriptApi::Hex},
        {"tohex", &ScriptApi::ToHex},   {"sleep", &ScriptApi::Sleep},
        {"every", &ScriptApi::Every},   {"after", &ScriptApi::After},
        {"cancel", &ScriptApi::Cancel}, {"crc16_modbus", &ScriptApi::Crc16Modbus},
        {"ccitt", &ScriptApi::Ccitt},   {"sum", &ScriptApi::Sum},
        {"now", &ScriptApi::Now},       {"log", &ScriptApi::Log},
        {"plot", &ScriptApi::Plot},     {"check", &ScriptApi::Check},
        {"exit", &ScriptApi::Exit},     {nullptr, nullptr}};
    lua_newtable(L);
    lua_pushlightuserdata(L, this);
    luaL_setfuncs(L, kFunctions, 1);
    lua_setglobal(L, "vrl");
    lua_pushlightuserdata(L, this);
    lua_pushcclosure(L, &ScriptApi::Print, 1);
    lua_setglobal(L, "print");
    lua_getglobal(L, "string");
    lua_getfield(L, -1, "find");
    m_findRef = luaL_ref(L, LUA_REGISTRYINDEX);
    lua_pop(L, 1);
}

ScriptRunner::~ScriptRunner()
{
    Stop();
    Join();
}

void ScriptRunner::Start()
{
    m_listening = m_traffic.Add(*this, PortTraffic::Runs::OnWorker);
    m_thread = std::thread([this] { Run(); });
}

void ScriptRunner::Stop()
{
    m_sandbox.RequestStop(LuaSandbox::Stop::Requested);
    std::lock_guard lock(m_inMutex);
    m_stopAsked = true;
    m_inWake.notify_one();
}

void ScriptRunner::Join()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_listening)
        m_traffic.Remove(*this);
    m_listening = false;
}

void ScriptRunner::OnTraffic(const TrafficMessage& message)
{
    if (message.m_forwarded || message.m_port >= m_watched.size()
        || !m_watched[message.m_port].load(std::memory_order_relaxed))
        return;
    std::lock_guard lock(m_inMutex);
    // The entries count too: a flood of one-byte messages costs more than its bytes.
    if (m_inBytes.size() + (m_in.size() + 1) * sizeof(Incoming) + message.m_count
        > m_limits.m_queueLimit) {
        m_inDropped += message.m_count;
        return;
    }
    const bool wake = m_in.empty();
    m_in.push_back(
        {message.m_port, message.m_direction, message.m_timeUs, m_inBytes.size(), message.m_count});
    m_inBytes.insert(m_inBytes.end(), message.m_bytes, message.m_bytes + message.m_count);
    if (wake)
        m_inWake.notify_one();
}

void ScriptRunner::Run()
{
    const std::string chunk = "@" + m_name;
    if (luaL_loadbufferx(m_state, m_text.data(), m_text.size(), chunk.c_str(), "t") != LUA_OK) {
        std::string message = lua_tostring(m_state, -1);
        lua_pop(m_state, 1);
        End(ScriptEnd::How::Failed, std::move(message));
    } else {
        m_main = lua_newthread(m_state);
        m_tasks[m_main] = luaL_ref(m_state, LUA_REGISTRYINDEX);
        lua_xmove(m_state, m_main, 1);
        Resume(m_main, 0);
        if (!m_ended)
            Loop();
    }
    if (m_end.m_how == ScriptEnd::How::Failed)
        m_host.Output(m_end.m_message, true);
    m_host.Ended(m_end);
}

void ScriptRunner::End(ScriptEnd::How how, std::string message)
{
    if (m_ended)
        return;
    m_end.m_how = how;
    m_end.m_message = std::move(message);
    m_ended = true;
}

bool ScriptRunner::IsLive() const
{
    if (!m_mainDone || !m_waits.empty() || !m_ready.empty() || m_functionTimers > 0)
        return true;
    for (const auto& [port, handlers] : m_handlers) {
        if (!handlers.m_message.empty() || !handlers.m_modbus.empty())
            return true;
    }
    return false;
}

void ScriptRunner::Loop()
{
    std::vector<Incoming> messages;
    std::vector<std::uint8_t> bytes;
    while (!m_ended) {
        if (!IsLive()) {
            End(ScriptEnd::How::Returned);
            break;
        }
        std::uint64_t dropped = 0;
        {
            std::unique_lock lock(m_inMutex);
            const auto ready = [this] { return !m_in.empty() || m_stopAsked; };
            if (!m_ready.empty()) {
            } else if (m_timers.empty()) {
                m_inWake.wait(lock, ready);
            } else {
                const std::chrono::steady_clock::time_point due{
                    std::chrono::microseconds(m_timers.begin()->first.first)};
                m_inWake.wait_until(lock, due, ready);
            }
            if (m_stopAsked) {
                End(ScriptEnd::How::Stopped);
                break;
            }
            messages.swap(m_in);
            bytes.swap(m_inBytes);
            dropped = std::exchange(m_inDropped, 0);
        }
        if (dropped > 0)
            m_host.Output(CoreText::Args(VRL_TR("ScriptRunner", "脚本处理不及，丢弃了 %1 字节"),
                                         {std::to_string(dropped)}),
                          true);
        Dispatch(messages, bytes);
        messages.clear();
        bytes.clear();
        RunTimers();
        std::vector<lua_State*> ready;
        ready.swap(m_ready);
        for (lua_State* task : ready) {
            if (m_ended)
                break;
            Resume(task, 0);
        }
    }
}

void ScriptRunner::Dispatch(const std::vector<Incoming>& messages,
                            const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i < messages.size() && !m_ended; ++i) {
        const Incoming& m = messages[i];
        if (m.m_direction != 1) {
            DecodeModbus(m.m_port, m.m_direction, bytes.data() + m.m_offset, m.m_count);
            continue;
        }
        const auto handlers = m_handlers.find(m.m_port);
        const bool single =
            handlers == m_handlers.end()
            || (handlers->second.m_message.empty() && handlers->second.m_modbus.empty());
        std::size_t count = m.m_count;
        // Nobody sees where one message ends: a run of them is searched at once.
        while (single && i + 1 < messages.size() && messages[i + 1].m_port == m.m_port
               && messages[i + 1].m_direction == 1
               && messages[i + 1].m_offset == m.m_offset + count) {
            count += messages[++i].m_count;
        }
        Received(m.m_port, m.m_timeUs, bytes.data() + m.m_offset, count, single);
    }
}

void ScriptRunner::Received(unsigned port, std::int64_t timeUs, const std::uint8_t* bytes,
                            std::size_t count, bool single)
{
    std::optional<ModbusRecord> record;
    if (!single || m_host.DecodesModbus(port))
        record = DecodeModbus(port, 1, bytes, count);
    FeedWaits(port, bytes, count);
    if (single || m_ended)
        return;
    // The lists may change while handlers run: they run as they were.
    const Handlers handlers = m_handlers[port];
    for (int ref : handlers.m_message) {
        if (m_ended)
            return;
        lua_rawgeti(m_state, LUA_REGISTRYINDEX, ref);
        lua_createtable(m_state, 0, 4);
        lua_pushlstring(m_state, reinterpret_cast<const char*>(bytes), count);
        lua_setfield(m_state, -2, "bytes");
        lua_pushnumber(m_state, static_cast<lua_Number>(timeUs) / 1e6);
        lua_setfield(m_state, -2, "time");
        PushPort(m_state, port);
        lua_setfield(m_state, -2, "port");
        if (record) {
            PushModbus(m_state, *record);
            lua_setfield(m_state, -2, "modbus");
        }
        Spawn(1);
    }
    if (!record)
        return;
    for (int ref : handlers.m_modbus) {
        if (m_ended)
            return;
        lua_rawgeti(m_state, LUA_REGISTRYINDEX, ref);
        PushModbus(m_state, *record);
        Spawn(1);
    }
}

void ScriptRunner::FeedWaits(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    std::vector<std::pair<lua_State*, int>> done; // task, results on m_state
    for (auto& [task, wait] : m_waits) {
        if (!wait.m_expect || wait.m_port != port)
            continue;
        bool found = false;
        std::size_t end = 0;
        wait.m_match->Feed(bytes, count);
        int results = Search(*wait.m_match, found, end);
        if (wait.m_fail) {
            wait.m_fail->Feed(bytes, count);
            bool failed = false;
            std::size_t failEnd = 0;
            const int text = Search(*wait.m_fail, failed, failEnd);
            // What ended first counts (both texts end with the newest byte).
            if (failed && found
                && wait.m_fail->Text().size() - failEnd > wait.m_match->Text().size() - end) {
                lua_rotate(m_state, -(text + results), text);
                lua_pop(m_state, results);
            } else if (failed && found) {
                lua_pop(m_state, text);
                failed = false;
            }
            if (failed) {
                // nil, "fail", what the fail pattern matched
                lua_pushnil(m_state);
                lua_pushliteral(m_state, "fail");
                lua_rotate(m_state, -text - 2, 2);
                results = text + 2;
                found = true;
            } else {
                wait.m_fail->Searched();
            }
        }
        if (found)
            done.emplace_back(task, results);
        else
            wait.m_match->Searched();
    }
    // Each task's results lie on m_state in the order found: moved off from the last.
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        lua_xmove(m_state, it->first, it->second);
        EndWait(it->first);
    }
    for (const auto& [task, results] : done) {
        if (m_ended)
            return;
        Resume(task, results);
    }
}

int ScriptRunner::Search(ExpectMatcher& matcher, bool& found, std::size_t& matchEnd)
{
    const std::string_view text = matcher.Text();
    if (matcher.IsHex()) {
        std::size_t begin = 0;
        std::size_t end = 0;
        found = matcher.FindHex(begin, end);
        if (!found)
            return 0;
        matchEnd = end;
        lua_pushlstring(m_state, text.data() + begin, end - begin);
        return 1;
    }
    const int top = lua_gettop(m_state);
    lua_rawgeti(m_state, LUA_REGISTRYINDEX, m_findRef);
    lua_pushlstring(m_state, text.data(), text.size());
    lua_pushstring(m_state, matcher.Pattern().c_str());
    if (lua_pcall(m_state, 2, LUA_MULTRET, 0) != LUA_OK || lua_isnil(m_state, top + 1)) {
        lua_settop(m_state, top);
        found = false;
        return 0;
    }
    found = true;
    matchEnd = static_cast<std::size_t>(lua_tointeger(m_state, top + 2));
    const int results = lua_gettop(m_state) - top;
    if (results > 2) { // the captures
        lua_rotate(m_state, top + 1, -2);
        lua_pop(m_state, 2);
        return results - 2;
    }
    const auto begin = static_cast<std::size_t>(lua_tointeger(m_state, top + 1));
    const auto end = static_cast<std::size_t>(lua_tointeger(m_state, top + 2));
    lua_settop(m_state, top);
    lua_pushlstring(m_state, text.data() + begin - 1, end - begin + 1);
    return 1;
}

void ScriptRunner::RunTimers()
{
    const std::int64_t now = NowUs();
    while (!m_ended && !m_timers.empty() && m_timers.begin()->first.first <= now) {
        const auto [due, id] = m_timers.begin()->first;
        const Timer timer = m_timers.begin()->second;
        CancelTimer(id);
        if (timer.m_breakPort >= 0)
            m_host.SetBreak(static_cast<unsigned>(timer.m_breakPort), false);
        if (timer.m_task) {
            const auto wait = m_waits.find(timer.m_task);
            const bool expect = wait != m_waits.end() && wait->second.m_expect;
            EndWait(timer.m_task);
            if (expect) {
                lua_pushnil(timer.m_task);
                lua_pushliteral(timer.m_task, "timeout");
            } else if (timer.m_breakPort >= 0) {
                lua_pushboolean(timer.m_task, true);
            }
            Resume(timer.m_task, expect ? 2 : timer.m_breakPort >= 0 ? 1 : 0);
            continue;
        }
        if (timer.m_periodUs > 0) {
            // The period holds on the clock; turns that came late are not made up.
            std::int64_t next = due + timer.m_periodUs;
            if (next <= now)
                next = now + timer.m_periodUs - (now - due) % timer.m_periodUs;
            m_timerDue[id] = next;
            m_timers.emplace(std::pair{next, id}, timer);
        } else {
            --m_functionTimers;
        }
        lua_rawgeti(m_state, LUA_REGISTRYINDEX, timer.m_function);
        if (timer.m_periodUs == 0)
            luaL_unref(m_state, LUA_REGISTRYINDEX, timer.m_function);
        Spawn(0);
    }
}

void ScriptRunner::Spawn(int args)
{
    lua_State* task = lua_newthread(m_state);
    m_tasks[task] = luaL_ref(m_state, LUA_REGISTRYINDEX);
    lua_xmove(m_state, task, args + 1);
    Resume(task, args);
}

void ScriptRunner::Resume(lua_State* task, int args)
{
    m_sandbox.BeginSlice();
    int results = 0;
    const int status = lua_resume(task, nullptr, args, &results);
    if (status == LUA_YIELD) {
        lua_pop(task, results);
        if (!m_waits.count(task) && !m_ended)
            m_ready.push_back(task); // coroutine.yield alone: lets the others run
        return;
    }
    if (status == LUA_OK) {
        lua_pop(task, results);
        FinishTask(task);
        return;
    }
    switch (m_sandbox.Reason()) {
    case LuaSandbox::Stop::Exit: End(ScriptEnd::How::Exited); return;
    case LuaSandbox::Stop::Requested: End(ScriptEnd::How::Stopped); return;
    default: break;
    }
    std::string message = lua_isstring(task, -1) ? lua_tostring(task, -1) : "?";
    if (m_sandbox.Reason() != LuaSandbox::Stop::None) {
        // A memory error carries no place; the watchdog's does.
        lua_Debug where;
        if (status == LUA_ERRMEM) {
            message = m_sandbox.ReasonText();
            for (int level = 0; lua_getstack(task, level, &where); ++level) {
                if (lua_getinfo(task, "Sl", &where) && where.currentline > 0) {
                    message = std::string(where.short_src) + ":" + std::to_string(where.currentline)
                              + ": " + message;
                    break;
                }
            }
        }
    }
    End(ScriptEnd::How::Failed, std::move(message));
}

void ScriptRunner::FinishTask(lua_State* task)
{
    const auto it = m_tasks.find(task);
    if (it == m_tasks.end())
        return;
    luaL_unref(m_state, LUA_REGISTRYINDEX, it->second);
    m_tasks.erase(it);
    if (task == m_main)
        m_mainDone = true;
}

void ScriptRunner::BeginWait(lua_State* task, Wait wait)
{
    m_waits[task] = std::move(wait);
}

void ScriptRunner::EndWait(lua_State* task)
{
    const auto it = m_waits.find(task);
    if (it == m_waits.end())
        return;
    CancelTimer(it->second.m_timer);
    m_waits.erase(it);
}

std::uint64_t ScriptRunner::AddTimer(std::int64_t dueUs, Timer timer)
{
    const std::uint64_t id = m_nextTimer++;
    m_timers.emplace(std::pair{dueUs, id}, timer);
    m_timerDue[id] = dueUs;
    return id;
}

void ScriptRunner::CancelTimer(std::uint64_t id)
{
    const auto it = m_timerDue.find(id);
    if (it == m_timerDue.end())
        return;
    m_timers.erase({it->second, id});
    m_timerDue.erase(it);
}

std::optional<ModbusRecord> ScriptRunner::DecodeModbus(unsigned port, int direction,
                                                       const std::uint8_t* bytes, std::size_t count)
{
    if (count < kModbusMinFrame || count > kModbusMaxFrame || !ModbusCrcOk(bytes, count))
        return std::nullopt;
    ModbusLayout layouts[2];
    const int n = ModbusLayouts(bytes, count, layouts);
    ModbusRecord record;
    record.m_port = port;
    record.m_direction = direction;
    record.m_frame.m_bytes.assign(bytes, bytes + count);
    record.m_frame.m_crcOk = true;
    record.m_frame.m_form = ModbusForm::Noise;
    const auto request = m_requests.find(port);
    const bool waiting = request != m_requests.end() && request->second.Slave() == bytes[0]
                         && request->second.Function() == (bytes[1] & 0x7F);
    for (int i = 0; i < n; ++i) {
        if (layouts[i].m_length != count)
            continue;
        // 5, 6 and 22 answer with an echo: an answer when its request waits.
        const bool answer = layouts[i].m_form != ModbusForm::Request;
        if (record.m_frame.m_form == ModbusForm::Noise || (answer && waiting))
            record.m_frame.m_form = layouts[i].m_form;
    }
    if (record.m_frame.m_form == ModbusForm::Noise)
        return std::nullopt;
    const bool answer = record.m_frame.IsAnswer();
    if (!answer) {
        m_requests[port] = record.m_frame;
        ReadModbusNumbers(record, nullptr);
        return record;
    }
    ModbusRecord asked;
    if (waiting) {
        asked.m_frame = request->second;
        ReadModbusNumbers(asked, nullptr);
        m_requests.erase(request);
    }
    ReadModbusNumbers(record, waiting ? &asked : nullptr);
    return record;
}

void ScriptRunner::PushPort(lua_State* L, unsigned port)
{
    lua_getfield(L, LUA_REGISTRYINDEX, kPortsKey);
    if (lua_rawgeti(L, -1, port) == LUA_TNIL) {
        lua_pop(L, 1);
        *static_cast<unsigned*>(lua_newuserdatauv(L, sizeof(unsigned), 0)) = port;
        luaL_setmetatable(L, kPortType);
        lua_pushvalue(L, -1);
        lua_rawseti(L, -3, port);
    }
    lua_remove(L, -2);
}

void ScriptRunner::PushModbus(lua_State* L, const ModbusRecord& record)
{
    lua_createtable(L, 0, 8);
    lua_pushinteger(L, record.m_slave);
    lua_setfield(L, -2, "slave");
    lua_pushinteger(L, record.m_function);
    lua_setfield(L, -2, "function");
    lua_pushinteger(L, record.m_function);
    lua_setfield(L, -2, "func");
    lua_pushboolean(L, record.m_frame.IsAnswer());
    lua_setfield(L, -2, "answer");
    if (record.m_exception != 0) {
        lua_pushinteger(L, record.m_exception);
        lua_setfield(L, -2, "exception");
    }
    if (record.m_start) {
        lua_pushinteger(L, *record.m_start);
        lua_setfield(L, -2, "address");
    }
    if (record.m_quantity) {
        lua_pushinteger(L, *record.m_quantity);
        lua_setfield(L, -2, "quantity");
    }
    lua_createtable(L, static_cast<int>(record.m_values.size()), 0);
    for (std::size_t i = 0; i < record.m_values.size(); ++i) {
        lua_pushinteger(L, record.m_values[i].m_value);
        lua_rawseti(L, -2, static_cast<lua_Integer>(i + 1));
    }
    lua_setfield(L, -2, "values");
    lua_pushlstring(L, reinterpret_cast<const char*>(record.m_frame.m_bytes.data()),
                    record.m_frame.m_bytes.size());
    lua_setfield(L, -2, "bytes");
}
