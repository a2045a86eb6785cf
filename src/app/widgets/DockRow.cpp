#include "app/widgets/DockRow.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

void DockRow::PlaceInOwnRow(QMainWindow& window, QDockWidget& dock)
{
    auto* send = window.findChild<QDockWidget*>(QStringLiteral("SendFrameWnd"));
    if (!send || send->isFloating() || window.dockWidgetArea(send) != Qt::BottomDockWidgetArea)
        return;
    window.splitDockWidget(send, &dock, Qt::Vertical);
    if (dock.isVisible())
        window.resizeDocks({&dock}, {window.height() / 3}, Qt::Vertical);
}

void DockRow::ShowReadable(QMainWindow& window, QDockWidget& dock)
{
    dock.show();
    dock.raise();
    QPointer<QDockWidget> shown(&dock);
    QTimer::singleShot(0, &dock, [&window, shown] {
        if (shown && shown->isVisible() && !shown->isFloating()
            && window.dockWidgetArea(shown) == Qt::BottomDockWidgetArea
            && shown->width() < window.width() / 2)
            PlaceInOwnRow(window, *shown);
    });
}
