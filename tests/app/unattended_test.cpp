#include "app/loglist.h"
#include "qtprinting.h"
#include "sitefixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Runs standing in for the export and the import: they record their calls and end as told.
struct FakeRuns
{
    QStringList calls;
    EsitoRun catalogOutcome = EsitoRun::Completata;
    EsitoRun salesOutcome = EsitoRun::Completata;
    std::function<void()> duringCatalog;
    std::function<void()> duringSales;

    RunDisponibili runs(bool withSales = true)
    {
        RunDisponibili available;
        available.catalogo = [this](const ContestoRun& context) {
            calls << QStringLiteral("catalogo %1").arg(context.automatico);
            context.display.scriviLog(Pannello::Catalogo, QStringLiteral("Inizio Controlli Catalogo TOTALE"));
            if (duringCatalog) duringCatalog();
            return catalogOutcome;
        };
        if (withSales)
            available.vendite = [this](const ContestoRun& context) {
                calls << QStringLiteral("vendite %1").arg(context.automatico);
                if (duringSales) duringSales();
                return salesOutcome;
            };
        return available;
    }
};

class Unattended : public SiteTest
{
protected:
    QTimer& autoTimer() const { return find<QTimer>("TimerComandiAuto"); }
    QTimer& endTimer() const { return find<QTimer>("TimerEnd"); }

    // TimerEnd's tick; the exit status when it ended the program.
    std::optional<int> endTick()
    {
        try {
            program->comandiRun().tickEnd();
        } catch (const ProgramEnded& end) {
            return end.status;
        }
        return std::nullopt;
    }

    FakeRuns fake;
};

TEST_F(Unattended, NoSwitchTheTickOnlyDisarms)
{
    ASSERT_TRUE(start(QStringLiteral("/A"), fake.runs()));
    ASSERT_TRUE(autoTimer().isActive());
    program->comandiRun().tickComandiAuto();
    EXPECT_FALSE(autoTimer().isActive());
    EXPECT_TRUE(fake.calls.isEmpty());
    EXPECT_FALSE(endTimer().isActive());
}

struct SwitchRunsCase
{
    const char* line;
    const char* calls;
};

class UnattendedSwitches : public Unattended, public ::testing::WithParamInterface<SwitchRunsCase>
{
};

TEST_P(UnattendedSwitches, TheTickStartsTheRunsOfTheSwitches)
{
    ASSERT_TRUE(start(QString::fromUtf8(GetParam().line), fake.runs()));
    program->comandiRun().tickComandiAuto();
    EXPECT_EQ(fake.calls.join(QLatin1Char(',')), QString::fromUtf8(GetParam().calls));
    EXPECT_EQ(endTimer().isActive(), !fake.calls.isEmpty());
    EXPECT_FALSE(autoTimer().isActive());
}

INSTANTIATE_TEST_SUITE_P(Lines, UnattendedSwitches,
                         ::testing::Values(SwitchRunsCase{"/A /C", "catalogo 1"},
                                           SwitchRunsCase{"/A /V", "vendite 1"},
                                           SwitchRunsCase{"/A /C /V", "catalogo 1,vendite 1"},
                                           SwitchRunsCase{"/a/v/c", "catalogo 1,vendite 1"},
                                           SwitchRunsCase{"/A", ""}));

TEST_F(Unattended, RealTimerTicksOnce)
{
    ASSERT_TRUE(start(QStringLiteral("/A /C"), fake.runs()));
    autoTimer().setInterval(10);
    autoTimer().start();
    QTest::qWait(100);
    EXPECT_EQ(fake.calls, QStringList({QStringLiteral("catalogo 1")}));
    EXPECT_FALSE(autoTimer().isActive());
    EXPECT_TRUE(endTimer().isActive());
    endTimer().stop();
}

TEST_F(Unattended, CompletedExportEndsTheProgramWithStatusZero)
{
    ASSERT_TRUE(start(QStringLiteral("/A /C"), fake.runs()));
    program->comandiRun().tickComandiAuto();
    ASSERT_TRUE(endTimer().isActive());
    EXPECT_EQ(endTick(), 0);
}

TEST_F(Unattended, InterruptedExportLeavesTheWindowOpenAndExitStatusOne)
{
    fake.catalogOutcome = EsitoRun::Interrotta;
    ASSERT_TRUE(start(QStringLiteral("/A /C"), fake.runs()));
    window().show();
    program->comandiRun().tickComandiAuto();
    EXPECT_FALSE(endTimer().isActive());
    EXPECT_EQ(find<LogList>("ListLOG1").count(), 1); // its log stays on screen
    EXPECT_EQ(program->comandiRun().statoUscita(), 1);

    EXPECT_TRUE(window().close()); // the close box: the program's status stays 1
    EXPECT_EQ(program->comandiRun().statoUscita(), 1);
    try {
        program->comandiRun().esci();
        FAIL() << "CmdEsci should end the program";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.status, 1);
    }
}

TEST_F(Unattended, ImportRunsAfterAnInterruptedExportAndTheStatusTellsIt)
{
    fake.catalogOutcome = EsitoRun::Interrotta;
    ASSERT_TRUE(start(QStringLiteral("/A /C /V"), fake.runs()));
    program->comandiRun().tickComandiAuto();
    EXPECT_EQ(fake.calls, QStringList({QStringLiteral("catalogo 1"), QStringLiteral("vendite 1")}));
    ASSERT_TRUE(endTimer().isActive());
    EXPECT_EQ(endTick(), 1);
}

TEST_F(Unattended, InterruptedImportStillEndsTheProgram)
{
    fake.salesOutcome = EsitoRun::Interrotta;
    ASSERT_TRUE(start(QStringLiteral("/A /V"), fake.runs()));
    program->comandiRun().tickComandiAuto();
    ASSERT_TRUE(endTimer().isActive());
    EXPECT_EQ(endTick(), 1);
}

TEST_F(Unattended, TimerEndWaitsForTheRunInProgress)
{
    // With both switches the export arms TimerEnd before the import begins; its ticks during the import
    // are ignored and the timer stays armed.
    ASSERT_TRUE(start(QStringLiteral("/A /C /V"), fake.runs()));
    int ticksDuringImport = 0;
    fake.duringSales = [&] {
        EXPECT_TRUE(endTimer().isActive());
        endTimer().setInterval(5);
        QObject counter;
        QObject::connect(&endTimer(), &QTimer::timeout, &counter, [&] { ++ticksDuringImport; });
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60)
            QApplication::processEvents(); // as a run lets events through
        EXPECT_EQ(endTick(), std::nullopt);
    };
    program->comandiRun().tickComandiAuto();
    EXPECT_GT(ticksDuringImport, 0);
    EXPECT_TRUE(endTimer().isActive());
    endTimer().stop();
    EXPECT_EQ(endTick(), 0); // the first tick after the import ends the program
}

TEST_F(Unattended, OperatorRunsAreNotUnattended)
{
    ASSERT_TRUE(start(QStringLiteral("/A"), fake.runs()));
    window().show();
    QTest::mouseClick(&find<QPushButton>("cmdCreaCatalogoTot"), Qt::LeftButton);
    QTest::mouseClick(&find<QPushButton>("cmdImpVendite"), Qt::LeftButton);
    EXPECT_EQ(fake.calls, QStringList({QStringLiteral("catalogo 0"), QStringLiteral("vendite 0")}));
    EXPECT_FALSE(endTimer().isActive());
    EXPECT_EQ(program->comandiRun().statoUscita(), 0);
}

TEST_F(Unattended, NoRunStartsInsideAnother)
{
    ASSERT_TRUE(start(QStringLiteral("/A"), fake.runs()));
    window().show();
    bool closed = true;
    fake.duringCatalog = [&] {
        QTest::mouseClick(&find<QPushButton>("cmdCreaCatalogoTot"), Qt::LeftButton);
        QTest::mouseClick(&find<QPushButton>("cmdImpVendite"), Qt::LeftButton);
        closed = window().close();
    };
    QTest::mouseClick(&find<QPushButton>("cmdCreaCatalogoTot"), Qt::LeftButton);
    EXPECT_EQ(fake.calls, QStringList({QStringLiteral("catalogo 0")}));
    EXPECT_FALSE(closed); // the close box waits for the run
    EXPECT_TRUE(window().isVisible());
}

TEST_F(Unattended, CloseRefusedWhileTheWindowIsBusy)
{
    ASSERT_TRUE(start(QStringLiteral("/A")));
    window().show();
    window().impostaOccupato(true);
    EXPECT_FALSE(window().close());
    window().impostaOccupato(false);
    EXPECT_TRUE(window().close());
}

TEST_F(Unattended, SalesButtonWithoutTheImportDoesNothing)
{
    ASSERT_TRUE(start(QStringLiteral("/A /V"), fake.runs(false)));
    window().show();
    const QByteArray log = readBytes(QStringLiteral("LOG.Dat"));
    QTest::mouseClick(&find<QPushButton>("cmdImpVendite"), Qt::LeftButton);
    program->comandiRun().tickComandiAuto();
    EXPECT_TRUE(fake.calls.isEmpty());
    EXPECT_EQ(find<LogList>("ListLOG3").count(), 0);
    EXPECT_EQ(readBytes(QStringLiteral("LOG.Dat")), log);
    EXPECT_FALSE(endTimer().isActive());
}

TEST_F(Unattended, UpdateButtonChangesNothing)
{
    ASSERT_TRUE(start(QStringLiteral("/A"), fake.runs()));
    window().show();
    const QByteArray stored = readBytes(QStringLiteral("term.ini"));
    const QByteArray log = readBytes(QStringLiteral("LOG.Dat"));
    const QString title = window().windowTitle();
    QTest::mouseClick(&find<QPushButton>("cmdCreaAggiornamento"), Qt::LeftButton);
    EXPECT_TRUE(fake.calls.isEmpty());
    EXPECT_EQ(find<LogList>("ListLOG2").count(), 0);
    EXPECT_EQ(window().windowTitle(), title);
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(readBytes(QStringLiteral("term.ini")), stored);
    EXPECT_EQ(readBytes(QStringLiteral("LOG.Dat")), log);
    EXPECT_FALSE(endTimer().isActive());
}
} // namespace
