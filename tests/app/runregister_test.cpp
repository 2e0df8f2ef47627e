#include "app/core/runregister.h"

#include <gtest/gtest.h>

namespace {
TEST(RunRegister, ExitStatusOfTheUnattendedRuns)
{
    RegistroRun none;
    EXPECT_EQ(none.statoUscita(), 0);

    RegistroRun completed;
    completed.registraEsitoAutomatico(Pannello::Catalogo, true);
    completed.registraEsitoAutomatico(Pannello::Vendite, true);
    EXPECT_EQ(completed.statoUscita(), 0);

    RegistroRun oneInterrupted;
    oneInterrupted.registraEsitoAutomatico(Pannello::Catalogo, false);
    oneInterrupted.registraEsitoAutomatico(Pannello::Vendite, true);
    EXPECT_EQ(oneInterrupted.statoUscita(), 1);

    RegistroRun rerun; // a run repeated after an interruption counts with its last outcome
    rerun.registraEsitoAutomatico(Pannello::Catalogo, false);
    rerun.registraEsitoAutomatico(Pannello::Catalogo, true);
    EXPECT_EQ(rerun.statoUscita(), 0);
}

TEST(RunRegister, OneRunAtATime)
{
    RegistroRun runs;
    {
        const RunInCorso outer(runs);
        EXPECT_TRUE(outer.avviato());
        EXPECT_TRUE(runs.runInCorso());
        {
            const RunInCorso inner(runs);
            EXPECT_FALSE(inner.avviato());
        }
        EXPECT_TRUE(runs.runInCorso()); // the refused inner run does not end the outer one
    }
    EXPECT_FALSE(runs.runInCorso());
}

TEST(RunRegister, EndedAlsoWhenLeftByAnException)
{
    RegistroRun runs;
    try {
        const RunInCorso run(runs);
        throw 1;
    } catch (int) {
    }
    EXPECT_FALSE(runs.runInCorso());
}
} // namespace
