#include "app/monitor/MonitorFind.h"

#include "app/host/UserNotices.h"
#include "app/monitor/FindReplaceDialog.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace {
QTextDocument::FindFlags MakeFindFlags(bool matchCase, bool wholeWord, bool forward)
{
    QTextDocument::FindFlags flags;
    if (matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (!forward)
        flags |= QTextDocument::FindBackward;
    return flags;
}
} // namespace

CMonitorFind::CMonitorFind(QPlainTextEdit& edit) : m_edit(edit) {}

CMonitorFind::~CMonitorFind()
{
    // The dialog is the editor's child; it goes with the find it reports to.
    if (m_pDialog)
        delete m_pDialog.data();
}

bool CMonitorFind::FindText(const QString& what, bool matchCase, bool wholeWord, bool forward)
{
    m_strFind = what;
    m_bMatchCase = matchCase;
    m_bWholeWord = wholeWord;
    m_bFindForward = forward;
    if (what.isEmpty())
        return false;

    // The editor changes its document when the text is emptied at its limit.
    QTextDocument& doc = *m_edit.document();
    const int end = doc.characterCount() - 1; // less the final paragraph mark
    const QTextDocument::FindFlags flags = MakeFindFlags(matchCase, wholeWord, forward);
    const QTextCursor from = m_edit.textCursor();
    QTextCursor found = doc.find(what, from, flags);
    const bool searchedAll = forward ? from.selectionStart() == 0 && from.selectionEnd() == 0
                                     : from.selectionEnd() == end && !from.hasSelection();
    if (found.isNull() && !searchedAll) {
        // Once round the end of the text.
        found = doc.find(what, forward ? 0 : end, flags);
    }
    if (found.isNull())
        return false;
    m_edit.setTextCursor(found);
    return true;
}

bool CMonitorFind::ReplaceText(const QString& what, const QString& with, bool matchCase,
                               bool wholeWord)
{
    if (m_edit.isReadOnly() || what.isEmpty())
        return false;
    QTextCursor selection = m_edit.textCursor();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (selection.hasSelection() && selection.selectedText().compare(what, cs) == 0) {
        selection.insertText(with);
        m_edit.setTextCursor(selection);
    }
    return FindText(what, matchCase, wholeWord, true);
}

int CMonitorFind::ReplaceAll(const QString& what, const QString& with, bool matchCase,
                             bool wholeWord)
{
    m_strFind = what;
    m_bMatchCase = matchCase;
    m_bWholeWord = wholeWord;
    if (m_edit.isReadOnly() || what.isEmpty())
        return 0;
    QTextDocument& doc = *m_edit.document();
    const QTextDocument::FindFlags flags = MakeFindFlags(matchCase, wholeWord, true);
    QTextCursor edit(&doc);
    edit.beginEditBlock(); // one step for undo
    int count = 0;
    QTextCursor found = doc.find(what, 0, flags);
    while (!found.isNull()) {
        found.insertText(with);
        ++count;
        found = doc.find(what, found, flags);
    }
    edit.endEditBlock();
    return count;
}

void CMonitorFind::FindAgain()
{
    if (m_strFind.isEmpty()) {
        OpenDialog(false);
        return;
    }
    if (!FindText(m_strFind, m_bMatchCase, m_bWholeWord, m_bFindForward))
        ShowNotFound(m_strFind);
}

void CMonitorFind::ShowNotFound(const QString& what)
{
    Q_EMIT textNotFound(what);
    // Window-modal but not blocking: the window goes on receiving while the box is up.
    QWidget* owner = m_pDialog ? static_cast<QWidget*>(m_pDialog.data()) : &m_edit;
    CUserNotices::ShowInformation(owner, tr("找不到“%1”。").arg(what));
}

void CMonitorFind::OpenDialog(bool replace)
{
    if (m_pDialog && m_pDialog->IsReplace() != replace)
        delete m_pDialog.data();
    if (!m_pDialog) {
        m_pDialog = new CFindReplaceDialog(&m_edit, replace);
        connect(m_pDialog, &CFindReplaceDialog::findNext, this,
                [this](const QString& what, bool matchCase, bool wholeWord, bool forward) {
                    if (!FindText(what, matchCase, wholeWord, forward))
                        ShowNotFound(what);
                });
        connect(m_pDialog, &CFindReplaceDialog::replace, this,
                [this](const QString& what, const QString& with, bool matchCase, bool wholeWord) {
                    if (!ReplaceText(what, with, matchCase, wholeWord))
                        ShowNotFound(what);
                });
        connect(m_pDialog, &CFindReplaceDialog::replaceAll, this,
                [this](const QString& what, const QString& with, bool matchCase, bool wholeWord) {
                    if (ReplaceAll(what, with, matchCase, wholeWord) == 0)
                        ShowNotFound(what);
                });
    }
    QString initial = m_strFind;
    const QString selected = m_edit.textCursor().selectedText();
    if (!selected.isEmpty() && selected.size() <= 128
        && !selected.contains(QChar::ParagraphSeparator))
        initial = selected;
    m_pDialog->SetFindText(initial);
    m_pDialog->show();
    m_pDialog->raise();
    m_pDialog->activateWindow();
}
