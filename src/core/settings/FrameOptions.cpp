#include "core/settings/FrameOptions.h"

#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"

#include <cstdlib>

namespace {

constexpr const char* kSection = "Settings";

} // namespace

int* FrameOptions::FlagForCommand(int id)
{
    return const_cast<int*>(static_cast<const FrameOptions*>(this)->FlagForCommand(id));
}

const int* FrameOptions::FlagForCommand(int id) const
{
    switch (id) {
    case ID_PAUSE: return &m_paused;
    case ID_ASC_RECEIVE: return &m_ascReceive;
    case ID_ASC_SEND: return &m_ascSend;
    case ID_SHOW_PORT: return &m_showPort;
    case ID_SHOW_SENT: return &m_showSent;
    case ID_SHOW_TIME: return &m_showTime;
    case ID_ADD_CR: return &m_addCR;
    case ID_ADD_STX: return &m_addSTX;
    case ID_ADD_ETX: return &m_addETX;
    case ID_JUMP_NEXT_LINE: return &m_jumpToNextLine;
    case ID_ADD_LF: return &m_addLF;
    default: return nullptr;
    }
}

bool FrameOptions::Toggle(int id)
{
    int* flag = FlagForCommand(id);
    if (!flag)
        return false;
    *flag = *flag == 0 ? 1 : 0;
    return true;
}

void FrameOptions::SetFromCommon(std::int32_t common)
{
    m_showPort = (common & 0x01) ? 1 : 0;
    m_showSent = (common & 0x02) ? 1 : 0;
    m_showTime = (common & 0x04) ? 1 : 0;
    m_ascReceive = (common & 0x08) ? 1 : 0;
    m_ascSend = (common & 0x10) ? 1 : 0;
    m_addCR = (common & 0x20) ? 1 : 0;
    m_addSTX = (common & 0x40) ? 1 : 0;
    m_addETX = (common & 0x80) ? 1 : 0;
}

std::int32_t FrameOptions::ToCommon(std::int32_t storedCommon) const
{
    std::int32_t common = storedCommon & kTopMostBit;
    const int flags[] = {m_showPort, m_showSent, m_showTime, m_ascReceive,
                         m_ascSend,  m_addCR,    m_addSTX,   m_addETX};
    for (int bit = 0; bit < 8; ++bit) {
        if (flags[bit])
            common |= 1 << bit;
    }
    return common;
}

FrameStoredValues FrameStoredValues::Load(const SettingsStore& store)
{
    FrameStoredValues v;
    v.m_comHis = store.ReadInt(kSection, "COMHis", 0);
    v.m_common = store.ReadInt(kSection, "Common", 1);
    v.m_autoSaveDir = store.ReadString(kSection, "AutoSave");
    if (v.m_autoSaveDir.empty())
        v.m_autoSaveDir = DefaultAutoSaveDir();
    v.m_asTime = store.ReadInt(kSection, "ASTime", 1);
    return v;
}

void FrameStoredValues::Save(SettingsStore& store, int currentPort, const FrameOptions& options,
                             const std::string& autoSaveDir, int asTime)
{
    store.WriteInt(kSection, "COMHis", currentPort);
    store.WriteInt(kSection, "Common", options.ToCommon(store.ReadInt(kSection, "Common", 1)));
    store.WriteString(kSection, "AutoSave", autoSaveDir);
    store.WriteInt(kSection, "ASTime", asTime);
}

void StoreTopMost(SettingsStore& store, bool topMost)
{
    std::int32_t common = store.ReadInt(kSection, "Common", 1);
    if (topMost)
        common |= FrameOptions::kTopMostBit;
    else
        common &= ~FrameOptions::kTopMostBit;
    store.WriteInt(kSection, "Common", common);
}

std::string DefaultAutoSaveDir()
{
    const char* home = std::getenv("HOME");
    std::string dir = (home && *home) ? home : "/";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}
