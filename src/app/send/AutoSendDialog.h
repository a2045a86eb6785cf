#pragma once

#include "app/widgets/FramelessDialog.h"

#include <map>

struct AdvanceSendSettings;
class CListCtrlEx;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The small modeless dialog of cyclic and triggered send: a line, fixed or caret, or a range
// of lines sent on a period, and the trigger table (received line -> answer line) with its
// delay. It has no title bar and is moved by dragging its surface. It edits the settings
// that its owner keeps in force: Apply checks every field and only then changes them;
// "关闭" hides it. Controls keep the numbers the program has always given them.
class CAutoSendDialog : public CFramelessDialog
{
    Q_OBJECT
public:
    // settings: loaded already, shown at once; the owner keeps them.
    CAutoSendDialog(AdvanceSendSettings& settings, QWidget* parent);

    // "应用": reads every field into the settings when all are in range, else shows the
    // range message, puts the focus on that field and changes nothing. True when applied.
    bool Apply();
    // Puts the settings into the controls.
    void ShowSettings();

    QLineEdit* Edit(int id) const;
    QRadioButton* Radio(int id) const;
    QPushButton* Button(int id) const;
    CListCtrlEx* TriggerList() const { return m_pList; }

Q_SIGNALS:
    // Apply changed the settings.
    void applied();
    // A message for the user (shown by the owner in the program's box).
    void message(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override {}

private:
    void BuildControls();
    void EnableModeControls();
    // The value of an edit in [low, high], or a message and the focus on it.
    bool ReadField(int id, int low, int high, int& value);

    AdvanceSendSettings& m_settings;
    std::map<int, QWidget*> m_controls; // by control id
    CListCtrlEx* m_pList = nullptr;     // 1017
};
