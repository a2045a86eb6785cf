#include "app/monitor/MonitorScrollBar.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

CMonitorScrollBar::CMonitorScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
}

CMonitorScrollBar::Look CMonitorScrollBar::CurrentLook() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look look;
    look.size = size();
    look.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    look.state = static_cast<int>(option.state);
    look.atMinimum = value() == minimum();
    look.atMaximum = value() == maximum();
    look.palette = palette().cacheKey();
    look.ratio = devicePixelRatioF();
    return look;
}

bool CMonitorScrollBar::LooksAsPainted() const
{
    return !m_cache.isNull() && CurrentLook() == m_cached;
}

void CMonitorScrollBar::sliderChange(SliderChange change)
{
    if (m_bHeld || LooksAsPainted())
        return;
    QScrollBar::sliderChange(change);
}

void CMonitorScrollBar::Release()
{
    m_bHeld = false;
    if (!LooksAsPainted())
        update();
}

void CMonitorScrollBar::paintEvent(QPaintEvent* event)
{
    // Hovered and pressed parts are known to the bar alone: those paintings go the usual way.
    if (underMouse() || isSliderDown() || QApplication::mouseButtons() != Qt::NoButton) {
        m_cache = QPixmap();
        ++m_nDrawn;
        QScrollBar::paintEvent(event);
        return;
    }
    const Look look = CurrentLook();
    if (m_cache.isNull() || !(look == m_cached)) {
        // As the bar paints itself with no part hovered or pressed.
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_All;
        option.activeSubControls = QStyle::SC_None;
        m_cache = QPixmap(size() * look.ratio);
        m_cache.setDevicePixelRatio(look.ratio);
        m_cache.fill(Qt::transparent);
        QPainter cache(&m_cache);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &cache, this);
        m_cached = look;
        ++m_nDrawn;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_cache);
}

void CMonitorScrollBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::StyleChange)
        m_cache = QPixmap();
    QScrollBar::changeEvent(event);
}
