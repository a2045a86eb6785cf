#pragma once

#include "app/commands/CommandTable.h"
#include "app/widgets/FramelessDialog.h"
#include "core/receive/MessageFilter.h"

#include <span>

class CFrameHost;
class CListCtrlEx;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The message filter window: rows of byte position and byte value, the display scope (all
// ports or the current one) and the switch of the filter. Modeless and frameless, created
// hidden with the frame and moved by dragging its background. What the user edits takes
// effect only with "应用"; the values last applied are stored at exit.
class CDlgFilter : public CFramelessDialog, public CCommandTarget
{
    Q_OBJECT
public:
    // Loads the stored rows and scope into the window and the host's pipeline; the filter
    // starts off.
    explicit CDlgFilter(CFrameHost& host);

    static std::span<const CommandInfo> Commands();

    // "应用": the rows, scope and switch the window shows become the pipeline's.
    void Apply();
    // At exit: the rows and scope last applied (or loaded) go to the store.
    void SaveAtExit();

    const MessageFilter& Filter() const { return m_filter; }
    int DisplayScope() const { return m_displayScope; }
    CListCtrlEx* List() const { return m_pList; }
    QRadioButton* ScopeButton(int scope) const { return scope == 1 ? m_pCurrentPort : m_pAllPorts; }
    QCheckBox* EnableBox() const { return m_pEnable; }
    QPushButton* ApplyButton() const { return m_pApply; }
    QPushButton* ExitButton() const { return m_pExit; }

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void BuildControls();
    void ShowConditions();
    void UsePipeline();
    // The message for a row that cannot be applied, naming the row; empty when it can.
    QString RowFaultText(int row, const QString& index, const QString& value) const;

    CFrameHost& m_host;
    MessageFilter m_filter;
    int m_displayScope = 0;

    CListCtrlEx* m_pList = nullptr;
    QRadioButton* m_pAllPorts = nullptr;
    QRadioButton* m_pCurrentPort = nullptr;
    QCheckBox* m_pEnable = nullptr;
    QPushButton* m_pApply = nullptr;
    QPushButton* m_pExit = nullptr;
};
