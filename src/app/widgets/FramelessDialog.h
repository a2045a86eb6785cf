#pragma once

#include <QDialog>
#include <QPoint>

// A modeless dialog without a caption: a press anywhere on its background moves it, as a
// title bar would, and a thin border stands in for the frame.
class CFramelessDialog : public QDialog
{
    Q_OBJECT
public:
    CFramelessDialog(QWidget* parent, Qt::WindowFlags kind);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QPoint m_dragOffset;
    bool m_bDragging = false;
};
