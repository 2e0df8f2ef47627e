#pragma once

#include "app/core/runregister.h"
#include "services/rundisplay.h"

#include <functional>

class FrmMain;

// The runs the program offers: the catalog export and the sales import. A run left empty (as tests may
// leave it) makes its button and its switch start nothing.
struct RunDisponibili
{
    using Run = std::function<EsitoRun(const ContestoRun& context)>;

    Run catalogo; // cmdCreaCatalogoTot
    Run vendite;  // cmdImpVendite

    static RunDisponibili delProgramma();
};

// The run buttons, the unattended start (TimerComandiAuto), the unattended end (TimerEnd) and the exit
// (CmdEsci and the close box).
class ComandiRun
{
public:
    ComandiRun(FrmMain& window, const ModoAutomatico& flags, RegistroRun& runs, RunDisponibili available);

    // A start button. A run never starts while another one is in progress.
    void esegui(Pannello panel);

    // TimerComandiAuto: disarms itself, then the export when AutoCatalogo is set, then the import when
    // AutoVendite is set, whatever the export's outcome.
    void tickComandiAuto();

    // TimerEnd: ends the program, unless a run is in progress (the timer then stays armed).
    void tickEnd();

    // CmdEsci: ends the program at once.
    void esci();

    // The close box: refused while a run or a command is in progress.
    bool puoChiudere() const;

    // 0, or 1 when an unattended run was interrupted.
    int statoUscita() const { return m_runs.statoUscita(); }

private:
    void eseguiRun(Pannello panel, const RunDisponibili::Run& run, bool automatico,
                   bool endEvenIfInterrupted);

    FrmMain& m_window;
    const ModoAutomatico& m_flags;
    RegistroRun& m_runs;
    RunDisponibili m_available;
};
