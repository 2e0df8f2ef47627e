#include "services/progress.h"

#include <gtest/gtest.h>

namespace {
// Runs `steps` steps on a bar of that maximum and returns the last title percentage shown (-1: none).
int lastPercentage(float maximum, int steps)
{
    PanelProgress progress;
    progress.maximum = maximum;
    int shown = -1;
    for (int i = 0; i < steps; ++i)
        if (const auto percentage = progress.advance(22)) shown = *percentage;
    return shown;
}
} // namespace

TEST(PanelProgress, PercentageEveryTenthStepHalfToEven)
{
    EXPECT_EQ(lastPercentage(25, 10), 40);
    EXPECT_EQ(lastPercentage(25, 20), 80);
    EXPECT_EQ(lastPercentage(25, 25), 80);
    EXPECT_EQ(lastPercentage(80, 10), 12); // 12.5 goes to the even neighbour
    EXPECT_EQ(lastPercentage(8, 8), -1);   // step 10 never comes
    EXPECT_EQ(lastPercentage(26, 10), 38);
    EXPECT_EQ(lastPercentage(26, 20), 77);
}

TEST(PanelProgress, DotsEmptyOncePastTheLimit)
{
    for (const int limit : {22, 27}) {
        PanelProgress progress;
        progress.maximum = 10000;
        for (int pulse = 1; pulse <= limit; ++pulse)
            for (int i = 0; i < 10; ++i)
                progress.advance(limit);
        EXPECT_EQ(progress.dots, QString(limit, QLatin1Char('.')));
        for (int i = 0; i < 10; ++i)
            progress.advance(limit);
        EXPECT_EQ(progress.dots, QString()) << limit;
    }
}

TEST(PanelProgress, Titles)
{
    EXPECT_EQ(titoloInizioRun(), QStringLiteral("(0%) Esporta Importa in 'Vetrina'"));
    EXPECT_EQ(titoloPercentuale(40), QStringLiteral("(40 %) Esporta Importa in 'Vetrina'"));
}
