#pragma once

#include <QDialog>

class CXRichEditView;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find and replace dialog of the monitor view: modeless, one per view, in find mode
// (with a direction) or replace mode (with the replacement text).
class CFindReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    CFindReplaceDialog(CXRichEditView* view, bool replace);

    bool IsReplace() const { return m_bReplace; }
    void SetFindText(const QString& text);

    QLineEdit* FindEdit() const { return m_pFindEdit; }
    QLineEdit* ReplaceEdit() const { return m_pReplaceEdit; }
    QCheckBox* WholeWordBox() const { return m_pWholeWord; }
    QCheckBox* MatchCaseBox() const { return m_pMatchCase; }
    QRadioButton* UpButton() const { return m_pUp; }
    QPushButton* FindNextButton() const { return m_pFindNext; }
    QPushButton* ReplaceButton() const { return m_pReplace; }
    QPushButton* ReplaceAllButton() const { return m_pReplaceAll; }

private Q_SLOTS:
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();
    void UpdateButtons();

private:
    CXRichEditView* m_pView;
    bool m_bReplace;
    QLineEdit* m_pFindEdit = nullptr;
    QLineEdit* m_pReplaceEdit = nullptr;
    QCheckBox* m_pWholeWord = nullptr;
    QCheckBox* m_pMatchCase = nullptr;
    QRadioButton* m_pUp = nullptr;
    QRadioButton* m_pDown = nullptr;
    QPushButton* m_pFindNext = nullptr;
    QPushButton* m_pReplace = nullptr;
    QPushButton* m_pReplaceAll = nullptr;
};
