#include "core/script/LuaSandbox.h"

#include "core/text/CoreText.h"

#include <lua.hpp>

#include <chrono>
#include <cstdlib>

namespace {

// Instructions between two looks at the clock: a few microseconds of Lua.
constexpr int kHookCount = 1000;
// What a stopped script may still take to unwind and to word its error.
constexpr std::size_t kUnwindMemory = 1u << 20;

std::int64_t NowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// load as the base library has it, but for text chunks only: bytecode can break the state.
int LoadText(lua_State* L)
{
    const int args = lua_gettop(L);
    if (args >= 3) {
        lua_pushliteral(L, "t");
        lua_replace(L, 3);
    } else {
        lua_settop(L, 2);
        lua_pushliteral(L, "t");
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

} // namespace

LuaSandbox::LuaSandbox(std::size_t memoryCap, std::int64_t sliceMs)
    : m_cap(memoryCap), m_sliceUs(sliceMs * 1000)
{
    m_state = lua_newstate(&LuaSandbox::Allocate, this);
    if (!m_state)
        std::abort(); // only when the cap is below what an empty state needs
    *static_cast<LuaSandbox**>(lua_getextraspace(m_state)) = this;
    OpenLibraries();
    lua_sethook(m_state, &LuaSandbox::Hook, LUA_MASKCOUNT, kHookCount);
    BeginSlice();
}

LuaSandbox::~LuaSandbox()
{
    lua_close(m_state);
}

LuaSandbox& LuaSandbox::Of(lua_State* state)
{
    // Coroutines start with a copy of the main state's extra space.
    return **static_cast<LuaSandbox**>(lua_getextraspace(state));
}

void LuaSandbox::OpenLibraries()
{
    static const luaL_Reg kLibraries[] = {
        {LUA_GNAME, luaopen_base},       {LUA_STRLIBNAME, luaopen_string},
        {LUA_TABLIBNAME, luaopen_table}, {LUA_MATHLIBNAME, luaopen_math},
        {LUA_UTF8LIBNAME, luaopen_utf8}, {LUA_COLIBNAME, luaopen_coroutine},
    };
    for (const luaL_Reg& library : kLibraries) {
        luaL_requiref(m_state, library.name, library.func, 1);
        lua_pop(m_state, 1);
    }
    lua_pushglobaltable(m_state);
    for (const char* name : {"dofile", "loadfile", "require"}) {
        lua_pushnil(m_state);
        lua_setfield(m_state, -2, name);
    }
    lua_getfield(m_state, -1, "load");
    lua_pushcclosure(m_state, &LoadText, 1);
    lua_setfield(m_state, -2, "load");
    // string.dump makes bytecode, which nothing here can load: of no use.
    lua_getfield(m_state, -1, LUA_STRLIBNAME);
    lua_pushnil(m_state);
    lua_setfield(m_state, -2, "dump");
    lua_pop(m_state, 2);
}

void LuaSandbox::BeginSlice()
{
    m_sliceStartUs = NowUs();
}

void LuaSandbox::RequestStop(Stop reason)
{
    Stop none = Stop::None;
    m_stop.compare_exchange_strong(none, reason);
}

void LuaSandbox::StopHere(lua_State* state, Stop reason)
{
    RequestStop(reason);
    lua_sethook(state, &LuaSandbox::Hook, LUA_MASKCOUNT, 1);
}

std::string LuaSandbox::ReasonText() const
{
    switch (m_stop.load()) {
    case Stop::Watchdog:
        return CoreText::Args(VRL_TR("LuaSandbox", "脚本运行了 %1 毫秒而没有等待，已停止"),
                              {std::to_string(m_sliceUs / 1000)});
    case Stop::Memory:
        return CoreText::Args(VRL_TR("LuaSandbox", "脚本使用的内存超过了 %1 MB，已停止"),
                              {std::to_string(m_cap >> 20)});
    case Stop::Requested: return VRL_TR("LuaSandbox", "脚本已被停止");
    case Stop::None:
    case Stop::Exit: break;
    }
    return {};
}

void* LuaSandbox::Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto& sandbox = *static_cast<LuaSandbox*>(self);
    if (!block)
        oldSize = 0; // then it names the kind of object, not a size
    if (newSize == 0) {
        std::free(block);
        sandbox.m_used -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize) {
        const std::size_t limit =
            sandbox.m_cap + (sandbox.m_stop.load() == Stop::None ? 0 : kUnwindMemory);
        if (sandbox.m_used - oldSize + newSize > limit) {
            sandbox.RequestStop(Stop::Memory);
            return nullptr;
        }
    }
    void* moved = std::realloc(block, newSize);
    if (moved)
        sandbox.m_used = sandbox.m_used - oldSize + newSize;
    return moved;
}

void LuaSandbox::Hook(lua_State* state, lua_Debug*)
{
    LuaSandbox& sandbox = Of(state);
    if (sandbox.m_stop.load() == Stop::None && NowUs() - sandbox.m_sliceStartUs > sandbox.m_sliceUs)
        sandbox.RequestStop(Stop::Watchdog);
    if (sandbox.m_stop.load() == Stop::None)
        return;
    // From now on at every instruction of this coroutine: the error that a pcall caught
    // comes again at the first instruction outside it.
    lua_sethook(state, &LuaSandbox::Hook, LUA_MASKCOUNT, 1);
    luaL_where(state, 0);
    lua_pushstring(state, sandbox.ReasonText().c_str());
    lua_concat(state, 2);
    lua_error(state);
}

std::string LuaSandbox::Run(std::string_view text, std::string_view name)
{
    BeginSlice();
    const std::string chunk = "=" + std::string(name);
    int status = luaL_loadbufferx(m_state, text.data(), text.size(), chunk.c_str(), "t");
    if (status == LUA_OK)
        status = lua_pcall(m_state, 0, 0, 0);
    if (status == LUA_OK)
        return {};
    std::string message = lua_isstring(m_state, -1) ? lua_tostring(m_state, -1) : "?";
    lua_pop(m_state, 1);
    if (status == LUA_ERRMEM && m_stop.load() == Stop::Memory)
        message = ReasonText();
    return message;
}
