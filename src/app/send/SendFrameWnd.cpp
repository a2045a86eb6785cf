#include "app/send/SendFrameWnd.h"

#include <QCoreApplication>

#include "app/send/SendEditor.h"

CSendFrameWnd::CSendFrameWnd(QWidget* parent)
    : QDockWidget(QCoreApplication::translate("CSendFrameWnd", "发报窗"), parent),
      m_wndSendEdit(new CSendEditor(this))
{
    setObjectName(QStringLiteral("SendFrameWnd")); // names the bar in the saved layout
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                | QDockWidget::DockWidgetFloatable);
    m_wndSendEdit->setObjectName(QStringLiteral("SendEdit"));
    setWidget(m_wndSendEdit);
    connect(m_wndSendEdit, &CSendLineEditor::EditPosition, this, &CSendFrameWnd::UpdatePosition);
    m_wndSendEdit->PostPositionNotice();
}

void CSendFrameWnd::UpdatePosition(int line, int column)
{
    setWindowTitle(QCoreApplication::translate("CSendFrameWnd", "发报窗    ")
                   + QCoreApplication::translate("CSendFrameWnd", "[行 %1，字节 %2 (%3)]")
                         .arg(line + 1)
                         .arg(column / 3 + 1)
                         .arg(column + 1));
}
