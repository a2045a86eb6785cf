#pragma once

#include "app/commands/CommandTable.h"
#include "app/frame/Language.h"

#include <QObject>

#include <span>

class CFrameHost;

// 工具 → 语言 / Language: 中文 or English, stored in the settings; the windows are built
// once, so the choice takes effect at the next start, as the submenu says.
class CLanguageChoice : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    explicit CLanguageChoice(CFrameHost& host);

    static std::span<const CommandInfo> Commands();
    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

private:
    CFrameHost& m_host;
    CLanguage::Choice m_next; // in effect after a restart
};
