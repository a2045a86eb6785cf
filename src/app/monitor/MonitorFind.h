#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class CFindReplaceDialog;
class QPlainTextEdit;

// Find and replace in the monitor's text, for the find dialog and F3 (which repeats the last
// find with its options). The search starts at the editor's selection and goes round the end
// of the text once; a match found is selected and shown. Replacing is refused while the
// editor is read-only.
//
// Owned by the editor (not a child object): it goes while the editor is still whole.
class CMonitorFind : public QObject
{
    Q_OBJECT
public:
    explicit CMonitorFind(QPlainTextEdit& edit);
    ~CMonitorFind() override;

    // True when found: the match is selected and shown.
    bool FindText(const QString& what, bool matchCase, bool wholeWord, bool forward);
    // Replaces the selection when it matches what, then finds the next match. True when a
    // further match was found.
    bool ReplaceText(const QString& what, const QString& with, bool matchCase, bool wholeWord);
    // Replaces every match in one undoable step; the number of replacements.
    int ReplaceAll(const QString& what, const QString& with, bool matchCase, bool wholeWord);
    // Finds the last text again; with nothing looked for yet, opens the find dialog.
    void FindAgain();
    const QString& GetFindText() const { return m_strFind; }

    // Opens the one dialog of the editor in find or replace mode (replacing the other mode),
    // starting with the selection when it is a short piece of one line, else the last text.
    void OpenDialog(bool replace);
    // Tells the user that what was not found (a box that does not block the window).
    void ShowNotFound(const QString& what);

Q_SIGNALS:
    void textNotFound(const QString& what);

private:
    QPlainTextEdit& m_edit;
    QString m_strFind;
    bool m_bMatchCase = false;
    bool m_bWholeWord = false;
    bool m_bFindForward = true;
    QPointer<CFindReplaceDialog> m_pDialog;
};
