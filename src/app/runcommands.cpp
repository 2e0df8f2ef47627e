#include "app/runcommands.h"

#include "app/frmmain.h"
#include "app/runtimings.h"
#include "app/windowdisplay.h"
#include "catalog/catalogexport.h"
#include "sales/importavendite.h"
#include "services/programexit.h"

#include <QTimer>

#include <cstdio>
#include <optional>

RunDisponibili RunDisponibili::delProgramma()
{
    RunDisponibili available;
    available.catalogo = esportaCatalogoTotale;
    available.vendite = importaVendite;
    return available;
}

ComandiRun::ComandiRun(FrmMain& window, const ModoAutomatico& flags, RegistroRun& runs,
                       RunDisponibili available)
    : m_window(window), m_flags(flags), m_runs(runs), m_available(std::move(available))
{
}

void ComandiRun::esegui(Pannello panel)
{
    switch (panel) {
    case Pannello::Catalogo:
        // An unattended export ends the program only when it completed.
        eseguiRun(panel, m_available.catalogo, m_flags.autoCatalogo, false);
        break;
    case Pannello::Vendite:
        // An unattended import ends the program also when it was interrupted.
        eseguiRun(panel, m_available.vendite, m_flags.autoVendite, true);
        break;
    case Pannello::Aggiornamento:
        break; // the update file has its settings but no run
    }
}

void ComandiRun::eseguiRun(Pannello panel, const RunDisponibili::Run& run, bool automatico,
                           bool endEvenIfInterrupted)
{
    if (!run) return;
    const RunInCorso inProgress(m_runs);
    if (!inProgress.avviato()) return;
    std::optional<RunTimings> timings;
    if (RunTimings::requested())
        timings.emplace(panel == Pannello::Catalogo ? QStringLiteral("catalogo") : QStringLiteral("vendite"));
    DisplayFinestra display(m_window, timings ? &*timings : nullptr);
    const bool completed =
        run(ContestoRun{display, m_window.impostazioniConnessione(), automatico}) == EsitoRun::Completata;
    if (timings) {
        std::fprintf(stderr, "%s\n", qPrintable(timings->finish()));
        std::fflush(stderr);
    }
    if (!automatico) return;
    m_runs.registraEsitoAutomatico(panel, completed);
    if (completed || endEvenIfInterrupted) m_window.timerEnd().start();
}

void ComandiRun::tickComandiAuto()
{
    m_window.timerComandiAuto().stop();
    if (m_flags.autoCatalogo) esegui(Pannello::Catalogo);
    if (m_flags.autoVendite) esegui(Pannello::Vendite);
}

void ComandiRun::tickEnd()
{
    if (m_runs.runInCorso()) return;
    terminaProgramma(m_runs.statoUscita());
}

void ComandiRun::esci()
{
    terminaProgramma(m_runs.statoUscita());
}

bool ComandiRun::puoChiudere() const
{
    return !m_runs.runInCorso() && !m_window.occupato();
}
