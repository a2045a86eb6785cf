#pragma once

#include <QDockWidget>

class CSendEditor;

// The send bar "发报窗": a dock holding the send editor, its caption showing the caret's
// line and byte column.
class CSendFrameWnd : public QDockWidget
{
    Q_OBJECT
public:
    explicit CSendFrameWnd(QWidget* parent = nullptr);

    CSendEditor* SendEdit() const { return m_wndSendEdit; }

    // Caption "发报窗    [行 %d，字节 %d (%d)]" with line + 1, column / 3 + 1, column + 1.
    void UpdatePosition(int line, int column);

private:
    CSendEditor* m_wndSendEdit;
};
