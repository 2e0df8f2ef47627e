#pragma once

#include "app/core/runregister.h"

#include <QString>

#include <optional>

class FrmMain;

// Start-up: the load procedure of the main window, run once before the window is first shown. It
// checks the site configuration, fills the window, tests the connection, shows and writes back the
// settings of the three exchanges, passes the access gate unless "/A" is given, reads "/C" and "/V"
// and arms TimerComandiAuto.
class Avvio
{
public:
    Avvio(FrmMain& window, ModoAutomatico& flags);

    // A missing site configuration or a refused password ends the program from here (status 1).
    // True when start-up went through and TimerComandiAuto is armed; false when an unexpected failure
    // was reported (the remaining steps are skipped and no unattended run will start).
    bool esegui(const QString& commandLine);

private:
    // The steps in order; the exit status when the program is to end.
    std::optional<int> passi(const QString& commandLine);
    bool configurazioneLetta();
    void mostraImpostazioniScambi();

    FrmMain& m_window;
    ModoAutomatico& m_flags;
};
