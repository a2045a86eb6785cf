#pragma once

#include "core/plot/ColumnCache.h"

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The picture of the plot: channels drawn from their histories over a span of time that
// follows the newest sample, or is held where the user panned or zoomed to (drag: pan,
// wheel: time, Ctrl+wheel: values; F or End follows again, A gives the value axes back
// their automatic range). A cursor under the mouse reads every channel at its time. Each
// column of pixels is drawn from the history's summary of the samples it covers, so a span
// of an hour costs no more than a span of a second.
class CPlotView : public QWidget
{
    Q_OBJECT
public:
    struct Channel
    {
        QString m_name;
        QColor m_colour;
        QString m_unit;
        double m_factor = 1;
        double m_offset = 0;
        int m_axis = 0; // 0 left, 1 right
        const PlotHistory* m_history = nullptr;
    };
    struct Range
    {
        double m_low = 0;
        double m_high = 1;
        bool operator==(const Range&) const = default;
    };

    static constexpr std::int64_t kDefaultSpanUs = 60'000'000;

    explicit CPlotView(QWidget* parent = nullptr);

    void SetChannels(std::vector<Channel> channels);
    // Steady microseconds (tests give their own); wallOffsetUs turns them into wall time.
    void SetClock(std::function<std::int64_t()> nowUs, std::int64_t wallOffsetUs);

    bool IsFollowing() const { return m_following; }
    void Follow();
    std::int64_t SpanUs() const { return m_spanUs; }
    void SetSpanUs(std::int64_t spanUs);
    // The time at the right edge: now while following.
    std::int64_t RightUs() const;
    // Where the view shows [from, to] and stops following.
    void Show(std::int64_t fromUs, std::int64_t toUs);
    // The value axis' range: fixed, or (nothing) automatic.
    void SetFixedRange(int axis, std::optional<Range> range);
    std::optional<Range> FixedRange(int axis) const { return m_fixed[axis]; }

Q_SIGNALS:
    void followingChanged(bool following);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect PlotArea() const;
    bool UsesAxis(int axis) const;
    std::int64_t TimeAt(int x) const;
    void StopFollowing();
    static double TimeStepSeconds(std::int64_t columnUs, int columns);
    // Draws columns from on into the kept picture.
    void DrawColumns(const std::vector<std::vector<PlotColumn>>& drawn, int from,
                     std::int64_t fromUs, std::int64_t columnUs);
    void DrawTimeAxis(QPainter& painter, const QRect& area, std::int64_t fromUs,
                      std::int64_t columnUs) const;
    void DrawValueAxis(QPainter& painter, const QRect& area, int axis, const Range& range) const;
    void DrawCursor(QPainter& painter, const QRect& area) const;

    std::vector<Channel> m_channels;
    // Per channel: the columns already taken, so that a picture that follows takes only what
    // is new from the history.
    std::vector<ColumnCache> m_columns;
    std::function<std::int64_t()> m_now;
    std::int64_t m_wallOffsetUs = 0;
    bool m_following = true;
    std::int64_t m_spanUs = kDefaultSpanUs;
    std::int64_t m_rightUs = 0; // while held
    std::optional<Range> m_fixed[2];
    Range m_shown[2]; // the ranges of the last picture, for zooming from them
    std::optional<QPoint> m_dragFrom;
    std::int64_t m_dragRightUs = 0;
    std::optional<QPoint> m_mouse;
    QPixmap m_picture; // the plot area's columns as last drawn
    std::int64_t m_pictureEndUs = 0;
    std::int64_t m_pictureColumnUs = 0;
    Range m_pictureRanges[2];
};
