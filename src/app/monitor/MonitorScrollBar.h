#pragma once

#include <QPixmap>
#include <QRect>
#include <QScrollBar>

// A scroll bar whose painting costs a copy while it looks the same. A monitor that receives
// slow messages grows by one line per message and has its scroll bars repainted for it;
// on a text of more than a few screens that moves the slider by less than a pixel, and the
// style fills its gradients with the painter's pooled threads, whose waking and waiting was
// most of what a slow message cost the window. The look is drawn into a pixmap once and
// copied from there until it changes; under the mouse the bar paints as usual. A new range,
// page step or value that leaves the look as it is repaints nothing, for the bar lies over its
// frame and the window, which are painted under it and sent to the screen again.
class CMonitorScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit CMonitorScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Paintings drawn by the style, as against copied.
    int Drawn() const { return m_nDrawn; }

    // While held, changes of range, page step and value repaint nothing; Release repaints the
    // bar once if its look changed meanwhile. A refresh of the monitor sets the range and then
    // the value, and the slider between the two is where it is neither before nor after.
    void HoldRepaint() { m_bHeld = true; }
    void Release();

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What decides the painting while the mouse is elsewhere.
    struct Look
    {
        QSize size;
        QRect slider;
        int state = 0;
        bool atMinimum = false;
        bool atMaximum = false;
        qint64 palette = 0;
        qreal ratio = 1;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;
    // The cached painting is on the screen and matches the bar's state.
    bool LooksAsPainted() const;

    QPixmap m_cache;
    Look m_cached;
    int m_nDrawn = 0;
    bool m_bHeld = false;
};
