#include "app/loglist.h"
#include "app/runtimings.h"
#include "qtprinting.h"

#include <QApplication>
#include <QEventLoop>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
TEST(RunTimings, PanelRatioComparesTheLastThousandLinesWithTheFirst)
{
    RunTimings timings(QStringLiteral("vendite"));
    timings.linesShown(RunTimings::kSample - 1, 1000 * (RunTimings::kSample - 1));
    EXPECT_DOUBLE_EQ(timings.panelRatio(), 0) << "not enough lines to compare";
    // Lines arrive in pairs too: each has half the pair's cost. The first thousand cost 1000 ns each, the
    // last thousand 3000 ns, whatever came between.
    timings.linesShown(2, 2000);
    for (int i = 0; i < 2 * RunTimings::kSample; ++i)
        timings.linesShown(1, 9000);
    for (int i = 0; i < RunTimings::kSample / 2; ++i)
        timings.linesShown(2, 6000);
    EXPECT_EQ(timings.lines(), 4 * RunTimings::kSample + 1);
    EXPECT_DOUBLE_EQ(timings.panelRatio(), 3.0);
    EXPECT_TRUE(timings.finish().contains(QStringLiteral("panel_ratio=3.00")));
}

TEST(RunTimings, APauseIsWorkBetweenTwoPassesNotAWaitForEvents)
{
    RunTimings timings(QStringLiteral("vendite"));
    QApplication::processEvents();
    QThread::msleep(60); // work without letting the events through
    QApplication::processEvents();
    const qint64 worked = timings.longestPauseNs();
    EXPECT_GE(worked, 60'000'000);

    // Waiting for a timer that comes 400 ms later keeps the window responsive: it is no pause.
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::processEvents();
    timings.finish();
    EXPECT_LT(timings.longestPauseNs(), 400'000'000);
}

TEST(LogList, AWideLineCanBeScrolledIntoViewAndIsForgottenWhenCleared)
{
    LogList list;
    list.resize(200, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.addLine(QStringLiteral("breve"));
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    const QString wide(200, QLatin1Char('='));
    list.addLine(wide);
    list.viewport()->repaint();
    EXPECT_GE(list.horizontalScrollBar()->maximum() + list.viewport()->width(),
              list.fontMetrics().horizontalAdvance(wide));
    list.setCurrentRow(1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(list.firstVisibleRow(), 0);
}
} // namespace
