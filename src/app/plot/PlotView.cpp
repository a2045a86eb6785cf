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
constexpr std::int64_t kShortestSpanUs = 10'000;                 // 10 ms
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
    m_columns.assign(m_channels.size(), ColumnCache());
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
    const QRect area = PlotArea();
    if (area.width() <= 0 || area.height() <= 0) {
        painter.fillRect(rect(), palette().base());
        return;
    }
    const int n = area.width();
    // Columns on a grid fixed on the clock: a picture that follows moves by whole columns.
    const std::int64_t columnUs = std::max<std::int64_t>(1, m_spanUs / n);
    const std::int64_t toUs = ColumnCache::GridEnd(RightUs(), columnUs);
    const std::int64_t fromUs = toUs - columnUs * n;

    // Each channel's columns, scaled, and what each axis must show; one column more on the
    // left, out of sight, where the line comes from.
    std::vector<std::vector<PlotColumn>> drawn(m_channels.size());
    int changed = n;
    double low[2] = {HUGE_VAL, HUGE_VAL};
    double high[2] = {-HUGE_VAL, -HUGE_VAL};
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const Channel& c = m_channels[i];
        if (!c.m_history)
            continue;
        drawn[i] = m_columns[i].Columns(*c.m_history, toUs, columnUs, n + 1);
        changed = std::min(changed, m_columns[i].FirstChanged() - 1);
        for (std::size_t x = 0; x < drawn[i].size(); ++x) {
            PlotColumn& column = drawn[i][x];
            if (column.m_count == 0)
                continue;
            auto scale = [&c](double v) { return v * c.m_factor + c.m_offset; };
            const double a = scale(column.m_min);
            const double b = scale(column.m_max);
            column.m_min = std::min(a, b);
            column.m_max = std::max(a, b);
            column.m_first = scale(column.m_first);
            column.m_last = scale(column.m_last);
            if (x == 0)
                continue;
            low[c.m_axis] = std::min(low[c.m_axis], column.m_min);
            high[c.m_axis] = std::max(high[c.m_axis], column.m_max);
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        const Range& before = m_shown[axis];
        if (m_fixed[axis]) {
            m_shown[axis] = *m_fixed[axis];
        } else if (low[axis] <= high[axis]) {
            // An automatic range stays while what it shows fills more than half of it, so
            // that the picture can be kept and moved rather than drawn again.
            const bool fits = low[axis] >= before.m_low && high[axis] <= before.m_high
                              && (high[axis] - low[axis]) * 2 > before.m_high - before.m_low;
            if (!fits) {
                const double pad = std::max((high[axis] - low[axis]) * 0.05, 1e-9);
                m_shown[axis] = high[axis] == low[axis] ? Range{low[axis] - 1, high[axis] + 1}
                                                        : Range{low[axis] - pad, high[axis] + pad};
            }
        }
    }

    // The picture of the columns is kept: moved left as time goes on, and only the columns
    // that changed are drawn again, unless the scale or the size changed.
    const std::int64_t shift = (toUs - m_pictureEndUs) / columnUs;
    const bool keep = !m_picture.isNull() && m_picture.size() == area.size()
                      && m_pictureColumnUs == columnUs && toUs >= m_pictureEndUs && shift < n
                      && m_pictureRanges[0] == m_shown[0] && m_pictureRanges[1] == m_shown[1];
    int from = 0;
    if (keep) {
        if (shift > 0)
            m_picture.scroll(static_cast<int>(-shift), 0, m_picture.rect());
        // The column before the first changed one is drawn again too: the line into the
        // changed one crosses it.
        from = std::max(0, std::min(changed, n - static_cast<int>(shift)) - 1);
    } else {
        m_picture = QPixmap(area.size());
    }
    if (from < n)
        DrawColumns(drawn, from, fromUs, columnUs);
    m_pictureEndUs = toUs;
    m_pictureColumnUs = columnUs;
    m_pictureRanges[0] = m_shown[0];
    m_pictureRanges[1] = m_shown[1];

    painter.fillRect(rect(), palette().base());
    painter.drawPixmap(area.topLeft(), m_picture);
    painter.setPen(palette().mid().color());
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    DrawTimeAxis(painter, area, fromUs, columnUs);
    DrawValueAxis(painter, area, 0, m_shown[0]);
    if (UsesAxis(1))
        DrawValueAxis(painter, area, 1, m_shown[1]);
    DrawCursor(painter, area);
}

double CPlotView::TimeStepSeconds(std::int64_t columnUs, int n)
{
    return NiceStep(double(columnUs) * n / 1e6 / std::max(2, n / 110));
}

void CPlotView::DrawColumns(const std::vector<std::vector<PlotColumn>>& drawn, int from,
                            std::int64_t fromUs, std::int64_t columnUs)
{
    const int n = m_picture.width();
    const int height = m_picture.height();
    QPainter p(&m_picture);
    p.fillRect(QRect(from, 0, n - from, height), palette().base());
    p.setClipRect(QRect(from, 0, n - from, height));
    // The grid: lines at whole steps of time (the same pixels in every picture, as the
    // columns lie on a grid fixed on the clock), and at the left axis' values.
    p.setPen(palette().midlight().color());
    const double step = TimeStepSeconds(columnUs, n);
    const double firstLine =
        std::ceil(double(fromUs + m_wallOffsetUs + columnUs * from) / 1e6 / step) * step;
    for (double t = firstLine;; t += step) {
        const auto x = static_cast<int>(
            (static_cast<std::int64_t>(std::llround(t * 1e6)) - m_wallOffsetUs - fromUs)
            / columnUs);
        if (x >= n)
            break;
        p.drawLine(x, 0, x, height);
    }
    const Range& left = m_shown[0];
    const double span = left.m_high - left.m_low;
    if (span > 0) {
        const double valueStep = NiceStep(span / std::max(2, height / 40));
        for (double v = std::ceil(left.m_low / valueStep) * valueStep; v <= left.m_high;
             v += valueStep) {
            const int y = height - 1 - static_cast<int>((v - left.m_low) / span * height);
            p.drawLine(from, y, n, y);
        }
    }
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const Range& r = m_shown[m_channels[i].m_axis];
        const double perValue = height / std::max(r.m_high - r.m_low, 1e-300);
        auto y = [&](double v) { return height - 1 - (v - r.m_low) * perValue; };
        const auto& columns = drawn[i];
        // The line begins at the last column kept before, so that it joins what is drawn
        // (columns[x + 1] is drawn at x).
        int start = from + 1;
        while (start > 0 && columns[static_cast<std::size_t>(start)].m_count == 0)
            --start;
        if (start > 0)
            --start;
        while (start > 0 && columns[static_cast<std::size_t>(start)].m_count == 0)
            --start;
        QPolygonF line;
        for (std::size_t x = static_cast<std::size_t>(start); x < columns.size(); ++x) {
            const PlotColumn& c = columns[x];
            if (c.m_count == 0)
                continue;
            const double px = double(x) - 0.5;
            line << QPointF(px, y(c.m_first));
            if (c.m_count > 1) {
                line << QPointF(px, y(c.m_min)) << QPointF(px, y(c.m_max));
                line << QPointF(px, y(c.m_last));
            }
        }
        p.setPen(QPen(m_channels[i].m_colour, 1)); // one pixel: no stroking of a wide pen
        if (line.size() == 1)
            p.drawEllipse(line.front(), 2, 2);
        else
            p.drawPolyline(line);
    }
}

void CPlotView::DrawTimeAxis(QPainter& painter, const QRect& area, std::int64_t fromUs,
                             std::int64_t columnUs) const
{
    const int n = area.width();
    const double step = TimeStepSeconds(columnUs, n);
    const double first = std::ceil(double(fromUs + m_wallOffsetUs) / 1e6 / step) * step;
    const QString format = step < 1 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss");
    painter.setPen(palette().text().color());
    for (double t = first;; t += step) {
        const auto x = static_cast<int>(
            (static_cast<std::int64_t>(std::llround(t * 1e6)) - m_wallOffsetUs - fromUs)
            / columnUs);
        if (x >= n)
            break;
        const QString label =
            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(t * 1000)))
                .toString(format);
        painter.drawText(QRect(area.left() + x - 60, area.bottom() + 2, 120, kTimeHeight - 2),
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
        const int y = area.top() + area.height() - 1
                      - static_cast<int>((v - range.m_low) / span * area.height());
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
                          sample
                              ? QString::number(sample->m_value * c.m_factor + c.m_offset, 'g', 8)
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
        m_rightUs = m_dragRightUs
                    - static_cast<std::int64_t>((m_mouse->x() - m_dragFrom->x()) * usPerPixel);
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
            m_fixed[axis] =
                Range{pivot - (pivot - r.m_low) * factor, pivot + (r.m_high - pivot) * factor};
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
