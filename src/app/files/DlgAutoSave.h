#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The timed save and clear settings: both switches, the period in minutes (1 to 60000)
// and the folder of the saves. The caller fills the fields before showing it and reads
// them after it was accepted; "退出" accepts, Esc and the close box cancel.
class CDlgAutoSave : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgAutoSave(QWidget* parent = nullptr);

    // Fields, in and out.
    QString m_strDir;
    bool m_bAutoSave = false;
    int m_nMinutes = 1;
    bool m_bAutoClear = false;

    // Reads the controls into the fields; false, with a message and the faulty control
    // focused, when the period is not a whole number from 1 to 60000 or the save has no
    // folder.
    bool ReadControls();
    void accept() override;

    // Messages go to hook instead of a box (tests).
    void SetMessageHook(std::function<void(const QString&)> hook)
    {
        m_messageHook = std::move(hook);
    }

    QCheckBox* SaveBox() const { return m_pSaveBox; }
    QCheckBox* ClearBox() const { return m_pClearBox; }
    QLineEdit* PeriodEdit() const { return m_pPeriodEdit; }
    QLineEdit* DirEdit() const { return m_pDirEdit; }
    QPushButton* BrowseButton() const { return m_pBrowseButton; }
    QPushButton* ExitButton() const { return m_pExitButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PutFields();
    void Tell(const QString& text);

    QCheckBox* m_pSaveBox;
    QCheckBox* m_pClearBox;
    QLineEdit* m_pPeriodEdit;
    QLineEdit* m_pDirEdit;
    QPushButton* m_pBrowseButton;
    QPushButton* m_pExitButton;
    std::function<void(const QString&)> m_messageHook;
};
