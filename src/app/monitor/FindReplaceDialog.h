#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find and replace dialog of the monitor view: modeless, one per view, in find mode
// (with a direction) or replace mode (with the replacement text). It only asks: whoever
// opens it does the finding and tells the user what was not found.
class CFindReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    CFindReplaceDialog(QWidget* parent, bool replace);

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

Q_SIGNALS:
    void findNext(const QString& what, bool matchCase, bool wholeWord, bool forward);
    void replace(const QString& what, const QString& with, bool matchCase, bool wholeWord);
    void replaceAll(const QString& what, const QString& with, bool matchCase, bool wholeWord);

private Q_SLOTS:
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();
    void UpdateButtons();

private:
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
