#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct lua_State;

// A Lua 5.4 state in which a user's script can reach nothing outside itself: the base
// library without dofile, loadfile and require, load of text only, and string, table, math,
// utf8 and coroutine; no io, os, package or debug. Two guards keep a script from taking the
// program with it: an allocator that refuses memory beyond a cap (the allocation fails as a
// Lua error), and an instruction hook that stops code that has run longer than a slice
// without waiting. Once either has fired, or a stop was asked for, the hook raises an error
// at every chance, so that a pcall cannot keep the script alive.
class LuaSandbox
{
public:
    static constexpr std::size_t kDefaultMemoryCap = 64u << 20;
    static constexpr std::int64_t kDefaultSliceMs = 100;

    enum class Stop
    {
        None,
        Watchdog,  // ran a slice without waiting
        Memory,    // reached the cap
        Requested, // stopped from outside
        Exit       // the script asked to end (vrl.exit)
    };

    explicit LuaSandbox(std::size_t memoryCap = kDefaultMemoryCap,
                        std::int64_t sliceMs = kDefaultSliceMs);
    ~LuaSandbox();
    LuaSandbox(const LuaSandbox&) = delete;
    LuaSandbox& operator=(const LuaSandbox&) = delete;

    lua_State* State() const { return m_state; }
    // Before the script's code runs again after a wait: the slice begins.
    void BeginSlice();
    // Any thread: the script's code ends at its next instructions (the first reason stays).
    void RequestStop(Stop reason);
    Stop Reason() const { return m_stop.load(); }
    // On the script's thread, from a function the script called: the stop is felt at the
    // next instruction of the calling coroutine, also inside a pcall.
    void StopHere(lua_State* state, Stop reason);
    // Why the script was ended, in the user's language; empty for None and Exit.
    std::string ReasonText() const;
    std::size_t Used() const { return m_used; }
    std::size_t MemoryCap() const { return m_cap; }

    // Runs text as a chunk named name in a protected call (no waits): the error message,
    // with the place, or empty when it ran through.
    std::string Run(std::string_view text, std::string_view name);

    // The sandbox a state (or any of its coroutines) belongs to.
    static LuaSandbox& Of(lua_State* state);

private:
    static void* Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize);
    static void Hook(lua_State* state, struct lua_Debug* debug);
    void OpenLibraries();

    lua_State* m_state = nullptr;
    std::size_t m_cap;
    std::size_t m_used = 0;
    std::int64_t m_sliceUs;
    std::int64_t m_sliceStartUs = 0;
    std::atomic<Stop> m_stop{Stop::None};
};
