#include "app/frame/LanguageChoice.h"

#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"

#include <QCoreApplication>
#include <QMainWindow>

namespace {

// The two names stay as they are in both languages, so that either reader finds his own.
const CommandInfo kLanguageCommands[] = {
    {ID_LANGUAGE_CHINESE, "中文", nullptr,
     QT_TRANSLATE_NOOP("Command", "以中文显示（重新启动后生效）"), "中文", nullptr, true},
    {ID_LANGUAGE_ENGLISH, "English", nullptr,
     QT_TRANSLATE_NOOP("Command", "以英文显示（重新启动后生效）"), "English", nullptr, true},
    {ID_LANGUAGE_NOTE, QT_TRANSLATE_NOOP("Command", "重新启动后生效"), nullptr, nullptr, nullptr,
     nullptr, false},
};

} // namespace

CLanguageChoice::CLanguageChoice(CFrameHost& host)
    : QObject(host.Window()), m_host(host),
      m_next(UiLanguage::Stored(host.Store()).value_or(CLanguage::Current()))
{
}

std::span<const CommandInfo> CLanguageChoice::Commands()
{
    return kLanguageCommands;
}

void CLanguageChoice::OnCommand(int id)
{
    if (id != ID_LANGUAGE_CHINESE && id != ID_LANGUAGE_ENGLISH)
        return;
    m_next = id == ID_LANGUAGE_CHINESE ? CLanguage::Choice::Chinese : CLanguage::Choice::English;
    UiLanguage::Store(m_host.Store(), m_next);
    if (m_next != CLanguage::Current())
        m_host.ShowStatusMessage(m_next == CLanguage::Choice::Chinese
                                     ? tr("重新启动 VRL 后以中文显示。")
                                     : tr("重新启动 VRL 后以英文显示。"));
}

void CLanguageChoice::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_LANGUAGE_CHINESE: state.m_checked = m_next == CLanguage::Choice::Chinese; break;
    case ID_LANGUAGE_ENGLISH: state.m_checked = m_next == CLanguage::Choice::English; break;
    case ID_LANGUAGE_NOTE: state.m_enabled = false; break;
    default: break;
    }
}
