#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

class CPortSender;
class FrameOptions;
class ForwardTap;
class QMainWindow;
class QPlainTextEdit;
class ReceivePipeline;
class SerialPort;
class SettingsStore;
class CFrameMonitorView;

// What the units that serve commands (send side, monitor files, filter, automation,
// forwarding) may ask of the main window. They hold this, never the frame itself, so that no
// unit includes the frame's header and the frame stays the one place that wires them.
// Everything here runs on the window thread.
class CFrameHost
{
public:
    virtual ~CFrameHost() = default;

    // --- Ports (port -1: the current port) ----------------------------------------------
    virtual int CurrentPort() const = 0;
    virtual bool IsPortOpen(int port = -1) const = 0;
    virtual SerialPort* GetPortRecord(int port = -1) const = 0;
    // The one way bytes go to a port: monitor line, decoding, listeners, then the port's
    // queue; never waits.
    virtual CPortSender& Sender() = 0;
    // The forwarding pair's wire (the one copy of the pair).
    virtual ForwardTap& Tap() = 0;
    // The one way a line of the send editor is sent (line -1: the caret line). False for an
    // empty or faulty line; true also when the port is closed (nothing to do).
    virtual bool SendLine(int port, int line) = 0;
    // The text of a line of the send editor (line -1 or beyond the last line: the caret
    // line), as SendLine would take it.
    virtual QString GetLineText(int line) const = 0;
    // The send editor, for those who follow its edits and caret.
    virtual QPlainTextEdit* SendEditor() const = 0;

    // --- Monitor ------------------------------------------------------------------------
    // The one way a monitor line is written. text: UTF-8; direction 1 received, 0 sent.
    virtual void AppendMonitorLine(const std::string& text, unsigned port, int direction) = 0;
    // A grey line of the program's own (a port lost or reopened), without port; text begins
    // with its time stamp where one is shown (ReceivePipeline::NoticeStamp).
    virtual void AppendNoticeLine(const std::string& text) = 0;
    // Where the filter, forwarding and trigger steps plug in.
    virtual ReceivePipeline& Pipeline() = 0;
    virtual CFrameMonitorView* GetView() const = 0;

    // --- Options and store --------------------------------------------------------------
    virtual FrameOptions& Options() = 0;
    virtual SettingsStore& Store() = 0;

    // --- The user -----------------------------------------------------------------------
    // A message box titled "VRL" with one OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A lasting note in the status bar under key (empty text removes it): a filter, cyclic
    // send or forwarding that is on, a save that failed. warning shows it in red.
    virtual void SetStatusNote(const QString& key, const QString& text, bool warning = false) = 0;
    // A passing note in the status bar.
    virtual void ShowStatusMessage(const QString& text, int timeoutMs = 10000) = 0;
    // The file-name dialog of ".tnf" files: open or save, the window title, the default name
    // (without extension) and the folder to start in (empty: the last one used). Saving asks
    // before replacing a file. Empty when cancelled.
    virtual QString AskFileName(bool open, const QString& title, const QString& defaultName,
                                const QString& folder = QString()) = 0;
    // The parent of the units' dialogs and docks.
    virtual QMainWindow* Window() = 0;
};
