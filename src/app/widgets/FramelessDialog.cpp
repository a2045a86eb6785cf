#include "app/widgets/FramelessDialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CFramelessDialog::CFramelessDialog(QWidget* parent, Qt::WindowFlags kind)
    : QDialog(parent, kind | Qt::FramelessWindowHint)
{
}

// The window system moves the window where it can (Wayland allows nothing else); elsewhere
// the dialog follows the mouse itself.
void CFramelessDialog::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(e);
        return;
    }
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_bDragging = true;
    m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CFramelessDialog::mouseMoveEvent(QMouseEvent* e)
{
    if (m_bDragging && (e->buttons() & Qt::LeftButton))
        move(e->globalPosition().toPoint() - m_dragOffset);
    else
        QDialog::mouseMoveEvent(e);
}

void CFramelessDialog::mouseReleaseEvent(QMouseEvent* e)
{
    m_bDragging = false;
    QDialog::mouseReleaseEvent(e);
}

void CFramelessDialog::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
