// The settings file is the user's to edit (or a disk's to damage): every value the program
// reads from it goes through its loader here, from the file's text as the store reads it.
// Whatever a loader accepts must stay in the range the windows rely on, and what is saved
// from it must load back the same.
#include "core/base/SettingsStore.h"
#include "core/files/RecentFileList.h"
#include "core/forward/TransmitPorts.h"
#include "core/receive/MessageFilter.h"
#include "core/send/AdvanceSendSettings.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/settings/FrameOptions.h"
#include "core/settings/IniSettingsStore.h"
#include "core/settings/WindowPlacement.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A private folder on tmpfs when there is one: the store reads a real file, as at start.
const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/vrl-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckPorts(const SettingsStore& store)
{
    for (unsigned port = 0; port < 8; ++port) {
        PortSettings read;
        if (!LoadPortSettings(store, port, read))
            continue;
        // What was read is written with %i and must read back as the same 32-bit values.
        MemorySettingsStore again;
        SavePortSettings(again, port, read);
        PortSettings back;
        Check(LoadPortSettings(again, port, back) && back == read);
        // The settings bar shows every field through an index into its lists.
        const int baud = IndexFromSetting(read.m_dwBaudRate, kBaudRate);
        Check(baud >= 0 && baud < kBaudRateCount);
        Check(IndexFromSetting(static_cast<std::uint32_t>(read.m_nParity), kParity) <= 4);
        Check(IndexFromSetting(static_cast<std::uint32_t>(read.m_nDataBits), kDataBits) <= 4);
        Check(IndexFromSetting(static_cast<std::uint32_t>(read.m_nFlowControl), kFlowControl) <= 5);
        const int pack = IndexFromPackInterval(read.m_dwPackInterval);
        Check(pack >= 0 && pack < kPackIntervalCount);
        for (int kind : {kParity, kDataBits, kStopBits, kFlowControl})
            SettingText(static_cast<std::uint32_t>(kind == kParity     ? read.m_nParity
                                                   : kind == kDataBits ? read.m_nDataBits
                                                   : kind == kStopBits ? read.m_nStopBits
                                                                       : read.m_nFlowControl),
                        kind, false);
    }
}

void CheckPlacement(const SettingsStore& store)
{
    const int left = store.ReadInt("MFW-Main", "left", 0);
    const int top = store.ReadInt("MFW-Main", "top", 0);
    const int right = store.ReadInt("MFW-Main", "right", -1);
    const int bottom = store.ReadInt("MFW-Main", "bottom", -1);
    for (const WindowRect& work : {WindowRect{0, 0, 1920, 1040}, WindowRect{-1920, 0, 0, 1080},
                                   WindowRect{0, 0, 320, 200}}) {
        WindowRect placed;
        if (!ClampStoredRect(left, top, right, bottom, work, kMinRestoredWidth, kMinRestoredHeight,
                             placed))
            continue;
        Check(placed.m_left >= work.m_left && placed.m_right <= work.m_right && placed.Width() > 0);
        Check(placed.m_top >= work.m_top && placed.m_bottom <= work.m_bottom
              && placed.Height() > 0);
    }
}

void CheckFrameAndLists(SettingsStore& store)
{
    const FrameStoredValues values = FrameStoredValues::Load(store);
    Check(!values.m_autoSaveDir.empty());
    FrameOptions options;
    options.SetFromCommon(values.m_common);
    // The eight option bits go back unchanged, the top-most bit as it was stored.
    Check(options.ToCommon(values.m_common)
          == (values.m_common & (0xFF | FrameOptions::kTopMostBit)));

    RecentFileList recent;
    recent.Load(store);
    Check(recent.Size() <= 6);
    for (std::size_t i = 0; i < recent.Size(); ++i)
        Check(!recent.At(i).empty());

    PortMap map(store);
    for (unsigned port = 0; port < PortMap::kPortCount; ++port) {
        const std::string path = map.PathOf(port);
        const int found = map.PortOf(path);
        Check(path.empty() ? found == -1 : found >= 0 && found <= static_cast<int>(port));
    }

    const FilterSettings filter = LoadFilterSettings(store);
    Check(filter.m_displayScope == 0 || filter.m_displayScope == 1);
    MemorySettingsStore filterAgain;
    SaveFilterSettings(filterAgain, filter);
    const FilterSettings filterBack = LoadFilterSettings(filterAgain);
    for (int row = 0; row < MessageFilter::kRowCount; ++row) {
        const FilterCondition& a = filter.m_conditions[static_cast<std::size_t>(row)];
        const FilterCondition& b = filterBack.m_conditions[static_cast<std::size_t>(row)];
        // A used row of index 0 and value 0 packs to 0 and so reads back unused.
        Check(a.m_bUsed == b.m_bUsed || (a.m_byIndex == 0 && a.m_byValue == 0));
        if (b.m_bUsed)
            Check(a.m_byIndex == b.m_byIndex && a.m_byValue == b.m_byValue);
    }

    const AdvanceSendSettings send = AdvanceSendSettings::Load(store);
    Check(send.m_cyclePeriod >= AdvanceSendSettings::kMinPeriod
          && send.m_cyclePeriod <= AdvanceSendSettings::kMaxPeriod);
    Check(send.m_fixedLine >= 1 && send.m_fixedLine <= AdvanceSendSettings::kMaxLine);
    Check(send.m_rangeFirst >= 1 && send.m_rangeLast <= AdvanceSendSettings::kMaxLine);
    Check(send.m_triggerDelay >= 0 && send.m_triggerDelay <= AdvanceSendSettings::kMaxDelay);
    Check(send.UsedTriggerCount() >= 1
          && send.UsedTriggerCount() <= AdvanceSendSettings::kTriggerRows);
    MemorySettingsStore sendAgain;
    send.Save(sendAgain);
    const AdvanceSendSettings sendBack = AdvanceSendSettings::Load(sendAgain);
    Check(sendBack.m_cyclePeriod == send.m_cyclePeriod && sendBack.m_fixedLine == send.m_fixedLine
          && sendBack.m_rangeFirst == send.m_rangeFirst && sendBack.m_rangeLast == send.m_rangeLast
          && sendBack.m_triggerDelay == send.m_triggerDelay
          && sendBack.m_rangeMode == send.m_rangeMode
          && sendBack.m_fixedLineMode == send.m_fixedLineMode);

    // The forwarding pair: two different ports the dialog accepts, stored back the same.
    const TransmitPorts transmit =
        TransmitPorts::Decode(store.ReadInt("Settings\\Transmit", "COM", 0));
    Check(transmit.m_portA >= 1 && transmit.m_portB >= 1 && transmit.m_portA != transmit.m_portB);
    const TransmitPorts transmitBack = TransmitPorts::Decode(transmit.Encode());
    Check(transmitBack.m_portA == transmit.m_portA && transmitBack.m_portB == transmit.m_portB);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = Folder() / "VRL.conf";
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        std::abort();
    }
    {
        IniSettingsStore store(file.string());
        CheckPorts(store);
        CheckPlacement(store);
        CheckFrameAndLists(store);
    }
    // An unreadable file is moved aside beside it: start each input from an empty folder.
    for (const auto& entry : std::filesystem::directory_iterator(Folder()))
        std::filesystem::remove(entry.path());
    return 0;
}
