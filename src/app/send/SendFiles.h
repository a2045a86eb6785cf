#pragma once

#include "app/send/SendFile.h"

#include <QObject>
#include <QString>

class CFrameHost;
class QPlainTextEdit;

// The send editor's files as the user meets them: the text of the last run loaded at the
// start, the open and save commands, and the save at exit, which never loses the text
// quietly. Failures are told in the host's message box.
class CSendFiles : public QObject
{
    Q_OBJECT
public:
    // Loads the text the editor had when the program last ended.
    CSendFiles(CFrameHost& host, QPlainTextEdit& editor, QObject* parent);

    // The open and save commands: a file asked for, then read into the editor or written.
    void Open();
    void SaveAs();
    // At exit: the editor's text goes to the last saved file or the default file.
    void SaveAtExit();

private:
    QString AskFileName(bool open);

    CFrameHost& m_host;
    QPlainTextEdit& m_editor;
    CSendFile m_file;
    bool m_bUnreadFileKept = false; // the start found the send file but could not read it
};
