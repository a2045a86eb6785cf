// The plot's picture kept and moved while it follows: after every step it must be the
// picture a view drawing everything afresh makes of the same samples.
#include "app/plot/PlotView.h"
#include "core/plot/PlotHistory.h"

#include <QImage>
#include <QTest>

#include <cmath>

class tst_PlotView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keptPictureEqualsAFreshOne_data();
    void keptPictureEqualsAFreshOne();
};

void tst_PlotView::keptPictureEqualsAFreshOne_data()
{
    QTest::addColumn<int>("stepMs");   // how far the clock moves between pictures
    QTest::addColumn<int>("aheadMs");  // samples that far ahead of the clock
    QTest::addColumn<bool>("twoAxes"); // a channel on the right axis
    QTest::newRow("a frame every 33 ms") << 33 << 0 << false;
    QTest::newRow("samples beyond the right edge") << 33 << 25 << false;
    QTest::newRow("a pause longer than the picture") << 2500 << 0 << true;
    QTest::newRow("less than a column") << 3 << 0 << true;
}

void tst_PlotView::keptPictureEqualsAFreshOne()
{
    QFETCH(int, stepMs);
    QFETCH(int, aheadMs);
    QFETCH(bool, twoAxes);
    // 1000 samples a second over 2 s in 200 columns: every chunk spans many columns, so a
    // fresh picture and a kept one place every sample alike.
    std::int64_t now = 5'000'000;
    std::vector<PlotHistory> histories(2);
    auto make = [&](CPlotView& view) {
        view.SetClock([&now] { return now; }, 0);
        view.SetChannels(
            {{QStringLiteral("a"), Qt::blue, {}, 1, 0, 0, &histories[0]},
             {QStringLiteral("b"), Qt::red, {}, 2, 1, twoAxes ? 1 : 0, &histories[1]}});
        view.SetSpanUs(2'000'000);
        view.SetFixedRange(0, CPlotView::Range{-120, 120});
        view.SetFixedRange(1, CPlotView::Range{-250, 250});
        view.resize(200 + 2 * 64, 160);
    };
    CPlotView kept;
    make(kept);
    std::int64_t next = 3'000'000;
    for (int step = 0; step < 40; ++step) {
        now += std::int64_t{stepMs} * 1000;
        for (; next <= now + std::int64_t{aheadMs} * 1000; next += 1000) {
            const double t = double(next) / 1e6;
            histories[0].Append(next, std::round(100 * std::sin(t * 7)));
            histories[1].Append(next, std::round(100 * std::cos(t * 3)) / 10);
        }
        const QImage picture = kept.grab().toImage();
        CPlotView fresh;
        make(fresh);
        const QImage other = fresh.grab().toImage();
        QCOMPARE(picture, other);
    }
}

QTEST_MAIN(tst_PlotView)
#include "tst_PlotView.moc"
