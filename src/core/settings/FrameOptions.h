#pragma once

#include <cstdint>
#include <string>

class SettingsStore;

// The frame-wide display and send options. Each is a 0/1 flag bound to a menu command and
// toggled by it; eight of them and the always-on-top state are kept as bits of
// "Settings"/"Common", the rest start off at every start.
class FrameOptions
{
public:
    static constexpr std::int32_t kTopMostBit = 0x100;

    int m_showPort = 1;       // 32786, bit 0
    int m_showSent = 0;       // 32787, bit 1
    int m_showTime = 0;       // 32788, bit 2
    int m_ascReceive = 0;     // 32783, bit 3
    int m_ascSend = 0;        // 32784, bit 4
    int m_addCR = 0;          // 32789, bit 5
    int m_addSTX = 0;         // 32790, bit 6
    int m_addETX = 0;         // 32791, bit 7
    int m_addLF = 0;          // 32795, not kept
    int m_paused = 0;         // 32781, not kept
    int m_jumpToNextLine = 0; // 32793, not kept
    // Kept apart from "Common" (see CViewChoices); off shows what the program always showed.
    int m_clockMs = 0;      // time stamps carry the clock's milliseconds
    int m_ascEveryByte = 0; // ASC receive shows every byte, control bytes escaped

    // The flag that command id toggles, or nullptr.
    int* FlagForCommand(int id);
    const int* FlagForCommand(int id) const;

    // 0 becomes 1, anything else 0. False when id toggles no flag.
    bool Toggle(int id);

    // Bits 0 to 7 set the eight kept flags.
    void SetFromCommon(std::int32_t common);
    // Bits 0 to 7 from the flags, bit 8 from storedCommon.
    std::int32_t ToCommon(std::int32_t storedCommon) const;
};

// The values the frame carries between the store and itself ("Settings" section).
struct FrameStoredValues
{
    int m_comHis = 0;          // "COMHis": the port selector's entry at start
    std::int32_t m_common = 1; // "Common"
    std::string m_autoSaveDir; // "AutoSave": folder of timed saves, ends with "/"
    int m_asTime = 1;          // "ASTime": period of timed save and clear, minutes

    static FrameStoredValues Load(const SettingsStore& store);
    // Writes "COMHis", "Common" (bits 0 to 7 from options, bit 8 as stored now),
    // "AutoSave" and "ASTime".
    static void Save(SettingsStore& store, int currentPort, const FrameOptions& options,
                     const std::string& autoSaveDir, int asTime);
};

// Writes bit 8 of the stored "Common" at once (always on top), leaving its other bits.
void StoreTopMost(SettingsStore& store, bool topMost);

// The folder of timed saves when none is stored: the home folder with a trailing "/".
std::string DefaultAutoSaveDir();
