#include "app/plot/PlotView.h"

#include "core/plot/PlotHistory.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kAxisWidth = 64;
constexpr int kTimeHeight = 20;
constexpr int kMargin = 6;
constexpr std::int64_t kShortestSpanUs = 10'000;           // 10 ms
constexpr std::int64_t kLongestSpanUs = 7LL * 24 * 3600'000'000; // a week

// 1, 2 or 5 times a power of ten, at least step.
double NiceStep(double step)
{
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= step)
            return m * power;
    return 10 * power;
}

std::int64_t SteadyNowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CPlotView::CPlotView(QWidget* parent) : QWidget(parent), m_now(SteadyNowUs)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPlotView::SetChannels(std::vector<Channel> channels)
{
    m_channels = std::move(channels);
    update();
}

void CPlotView::SetClock(std::function<std::int64_t()> nowUs, std::int64_t wallOffsetUs)
{
    m_now = std::move(nowUs);
    m_wallOffsetUs = wallOffsetUs;
}

std::int64_t CPlotView::RightUs() const
{
    return m_following ? m_now() : m_rightUs;
}

void CPlotView::Follow()
{
    if (m_following)
        return;
    m_following = true;
    Q_EMIT followingChanged(true);
    update();
}

void CPlotView::StopFollowing()
{
    if (!m_following)
        return;
    m_rightUs = m_now();
    m_following = false;
    Q_EMIT followingChanged(false);
}

void CPlotView::SetSpanUs(std::int64_t spanUs)
{
    m_spanUs = std::clamp(spanUs, kShortestSpanUs, kLongestSpanUs);
    update();
}

void CPlotView::Show(std::int64_t fromUs, std::int64_t toUs)
{
    StopFollowing();
    m_rightUs = toUs;
    SetSpanUs(toUs - fromUs);
}

void CPlotView::SetFixedRange(int axis, std::optional<Range> range)
{
    m_fixed[axis] = range;
    update();
}

QRect CPlotView::PlotArea() const
{
    const int right = UsesAxis(1) ? kAxisWidth : kMargin;
    return rect().adjusted(kAxisWidth, kMargin, -right, -kTimeHeight);
}

bool CPlotView::UsesAxis(int axis) const
{
    return std::any_of(m_channels.begin(), m_channels.end(),
                       [axis](const Channel& c) { return c.m_axis == axis; });
}

std::int64_t CPlotView::TimeAt(int x) const
{
    const QRect area = PlotArea();
    const double share = area.width() > 0 ? double(x - area.left()) / area.width() : 1.0;
    return RightUs() - m_spanUs + static_cast<std::int64_t>(share * double(m_spanUs));
}

void CPlotView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect area = PlotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const std::int64_t toUs = RightUs();
    const std::int64_t fromUs = toUs - m_spanUs;

    // Each channel's columns, scaled, and what each axis must show.
    struct Drawn
    {
        std::vector<PlotColumn> m_columns;
    };
    std::vector<Drawn> drawn(m_channels.size());
    double low[2] = {HUGE_VAL, HUGE_VAL};
    double high[2] = {-HUGE_VAL, -HUGE_VAL};
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const Channel& c = m_channels[i];
        if (!c.m_history)
            continue;
        drawn[i].m_columns = c.m_history->Columns(fromUs, toUs, area.width());
        for (PlotColumn& column : drawn[i].m_columns) {
            if (column.m_count == 0)
                continue;
            auto scale = [&c](double v) { return v * c.m_factor + c.m_offset; };
            const double a = scale(column.m_min);
            const double b = scale(column.m_max);
            column.m_min = std::min(a, b);
            column.m_max = std::max(a, b);
            column.m_first = scale(column.m_first);
            column.m_last = scale(column.m_last);
            low[c.m_axis] = std::min(low[c.m_axis], column.m_min);
            high[c.m_axis] = std::max(high[c.m_axis], column.m_max);
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        Range range;
        if (m_fixed[axis]) {
            range = *m_fixed[axis];
        } else if (low[axis] <= high[axis]) {
            const double pad = std::max((high[axis] - low[axis]) * 0.05, 1e-9);
            range = {low[axis] - pad, high[axis] + pad};
            if (high[axis] == low[axis])
                range = {low[axis] - 1, high[axis] + 1};
        }
        m_shown[axis] = range;
    }

    DrawTimeAxis(painter, area, fromUs);
    DrawValueAxis(painter, area, 0, m_shown[0]);
    if (UsesAxis(1))
        DrawValueAxis(painter, area, 1, m_shown[1]);

    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const Range& r = m_shown[m_channels[i].m_axis];
        const double perValue = area.height() / std::max(r.m_high - r.m_low, 1e-300);
        auto y = [&](double v) { return area.bottom() - (v - r.m_low) * perValue; };
        QPolygonF line;
        const auto& columns = drawn[i].m_columns;
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const PlotColumn& c = columns[x];
            if (c.m_count == 0)
                continue;
            const double px = area.left() + double(x) + 0.5;
            line << QPointF(px, y(c.m_first));
            if (c.m_count > 1) {
                line << QPointF(px, y(c.m_min)) << QPointF(px, y(c.m_max));
                line << QPointF(px, y(c.m_last));
            }
        }
        painter.setPen(QPen(m_channels[i].m_colour, 1.5));
        if (line.size() == 1)
            painter.drawEllipse(line.front(), 2, 2);
        else
            painter.drawPolyline(line);
    }
    painter.restore();
    DrawCursor(painter, area);
}

void CPlotView::DrawTimeAxis(QPainter& painter, const QRect& area, std::int64_t fromUs) const
{
    painter.setPen(palette().mid().color());
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const double seconds = double(m_spanUs) / 1e6;
    const double step = NiceStep(seconds / std::max(2, area.width() / 110));
    const double first = std::ceil(double(fromUs + m_wallOffsetUs) / 1e6 / step) * step;
    const QString format = step < 1 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss");
    for (double t = first; t * 1e6 <= double(fromUs + m_wallOffsetUs + m_spanUs); t += step) {
        const int x = area.left() + static_cast<int>((t * 1e6 - double(fromUs + m_wallOffsetUs))
                                                     / double(m_spanUs) * area.width());
        painter.setPen(palette().midlight().color());
        painter.drawLine(x, area.top(), x, area.bottom());
        painter.setPen(palette().text().color());
        const QString label =
            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t * 1000)).toString(format);
        painter.drawText(QRect(x - 60, area.bottom() + 2, 120, kTimeHeight - 2),
                         Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void CPlotView::DrawValueAxis(QPainter& painter, const QRect& area, int axis,
                              const Range& range) const
{
    const double span = range.m_high - range.m_low;
    if (!(span > 0))
        return;
    const double step = NiceStep(span / std::max(2, area.height() / 40));
    for (double v = std::ceil(range.m_low / step) * step; v <= range.m_high; v += step) {
        const int y = area.bottom() - static_cast<int>((v - range.m_low) / span * area.height());
        if (axis == 0) {
            painter.setPen(palette().midlight().color());
            painter.drawLine(area.left(), y, area.right(), y);
        }
        painter.setPen(palette().text().color());
        const QString label = QString::number(std::abs(v) < step / 2 ? 0.0 : v, 'g', 6);
        const QRect box = axis == 0 ? QRect(0, y - 8, area.left() - 4, 16)
                                    : QRect(area.right() + 4, y - 8, kAxisWidth - 4, 16);
        painter.drawText(box, (axis == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                         label);
    }
}

void CPlotView::DrawCursor(QPainter& painter, const QRect& area) const
{
    if (!m_mouse || !area.contains(*m_mouse) || m_channels.empty())
        return;
    const std::int64_t t = TimeAt(m_mouse->x());
    painter.setPen(QPen(palette().text().color(), 1, Qt::DashLine));
    painter.drawLine(m_mouse->x(), area.top(), m_mouse->x(), area.bottom());
    QStringList lines{QDateTime::fromMSecsSinceEpoch((t + m_wallOffsetUs) / 1000)
                          .toString(QStringLiteral("HH:mm:ss.zzz"))};
    for (const Channel& c : m_channels) {
        const auto sample = c.m_history ? c.m_history->At(t) : std::nullopt;
        lines << QStringLiteral("%1: %2 %3")
                     .arg(c.m_name,
                          sample ? QString::number(sample->m_value * c.m_factor + c.m_offset,
                                                   'g', 8)
                                 : QStringLiteral("—"),
                          c.m_unit);
    }
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    QRect box(m_mouse->x() + 10, area.top() + 4, width + 12,
              int(lines.size()) * metrics.height() + 8);
    if (box.right() > area.right())
        box.moveRight(m_mouse->x() - 10);
    painter.fillRect(box, palette().toolTipBase());
    painter.setPen(palette().toolTipText().color());
    painter.drawRect(box);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            painter.setPen(m_channels[static_cast<std::size_t>(i - 1)].m_colour);
        painter.drawText(box.left() + 6, box.top() + 4 + metrics.ascent() + i * metrics.height(),
                         lines[i]);
    }
}

void CPlotView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    StopFollowing();
    m_dragFrom = event->position().toPoint();
    m_dragRightUs = m_rightUs;
}

void CPlotView::mouseMoveEvent(QMouseEvent* event)
{
    m_mouse = event->position().toPoint();
    if (m_dragFrom) {
        const QRect area = PlotArea();
        const double usPerPixel = double(m_spanUs) / std::max(1, area.width());
        m_rightUs = m_dragRightUs - static_cast<std::int64_t>((m_mouse->x() - m_dragFrom->x())
                                                              * usPerPixel);
    }
    update();
}

void CPlotView::mouseReleaseEvent(QMouseEvent*)
{
    m_dragFrom.reset();
}

void CPlotView::leaveEvent(QEvent*)
{
    m_mouse.reset();
    update();
}

void CPlotView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const double factor = std::pow(0.8, notches);
    const QPoint at = event->position().toPoint();
    const QRect area = PlotArea();
    if (event->modifiers() & Qt::ControlModifier) {
        // The values under the mouse stay where they are.
        for (int axis = 0; axis < 2; ++axis) {
            const Range r = m_shown[axis];
            const double share = double(area.bottom() - at.y()) / std::max(1, area.height());
            const double pivot = r.m_low + share * (r.m_high - r.m_low);
            m_fixed[axis] = Range{pivot - (pivot - r.m_low) * factor,
                                  pivot + (r.m_high - pivot) * factor};
        }
        update();
        return;
    }
    // The time under the mouse stays where it is; following keeps the right edge at now.
    const std::int64_t pivot = TimeAt(at.x());
    const std::int64_t right = RightUs();
    const std::int64_t span = std::clamp(static_cast<std::int64_t>(double(m_spanUs) * factor),
                                         kShortestSpanUs, kLongestSpanUs);
    if (!m_following)
        m_rightUs = pivot + static_cast<std::int64_t>(double(right - pivot) * span / m_spanUs);
    m_spanUs = span;
    update();
}

void CPlotView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F:
    case Qt::Key_End: Follow(); break;
    case Qt::Key_A:
        m_fixed[0].reset();
        m_fixed[1].reset();
        update();
        break;
    default: QWidget::keyPressEvent(event);
    }
}
