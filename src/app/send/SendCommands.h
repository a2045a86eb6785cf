#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>
#include <QString>

#include <span>
#include <string>

struct AscFraming;
class CFrameHost;
class CSendFiles;
class CSendFrameWnd;
class CSendEditor;
class QShortcut;

// The send side of the main window: the send bar with its editor, the line send, the ASC
// send options, the check-code commands and the commands of the send-message files (which
// CSendFiles carries out). The frame owns one and routes the commands of its rows here.
class CSendCommands : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    // Creates the send bar docked at the bottom of the host's window and loads the last
    // send text.
    explicit CSendCommands(CFrameHost& host);

    // The rows served here: line send, send bar, check codes, send-message files.
    static std::span<const CommandInfo> Commands();
    // The send options (ASC send and its four additions, jump to the next line): flags of
    // the frame's options, which the frame toggles and updates itself.
    static std::span<const CommandInfo> OptionCommands();

    CSendFrameWnd* SendBar() const { return m_pSendBar; }
    CSendEditor* SendEdit() const;

    // Sends line (-1: the caret line) of the editor to port (-1: the current port). True when
    // sent, or when the port is closed (nothing to do); false for an empty line or, in hex
    // mode, a line that is not hex text (the editor then has the focus).
    bool SendLine(int port, int line);
    // Adds STX, ETX, CR and LF to text as the ASC send options say.
    void ApplyAscFraming(std::string& text) const;

    // At exit: the editor's text goes to the last saved file or the default file.
    void SaveAtExit();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

private:
    bool IsBarVisible() const;
    AscFraming Framing() const;

    CFrameHost& m_host;
    CSendFrameWnd* m_pSendBar;
    CSendFiles* m_pFiles = nullptr; // the send-message files
    QShortcut* m_pClosedSendKey = nullptr;
};
