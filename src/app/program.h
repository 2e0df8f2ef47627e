#pragma once

#include "app/core/runregister.h"
#include "app/frmmain.h"
#include "app/runcommands.h"
#include "app/settingscommands.h"
#include "app/startup.h"

#include <QString>

// The program as a whole: the main window with its start-up, its commands and its runs, wired
// together.
class Programma
{
public:
    explicit Programma(RunDisponibili available = RunDisponibili::delProgramma());

    // Start-up with the command-line text (the arguments after the program's name).
    bool avvia(const QString& commandLine);

    FrmMain& finestra() { return m_window; }
    const ModoAutomatico& modoAutomatico() const { return m_flags; }
    ComandiRun& comandiRun() { return m_runCommands; }

private:
    FrmMain m_window;
    ModoAutomatico m_flags;
    RegistroRun m_runs;
    Avvio m_startup;
    ComandiImpostazioni m_settingsCommands;
    ComandiRun m_runCommands;
};

// The whole program inside an existing QApplication: the error report, start-up, the window, the event
// loop. Returns the exit status.
int eseguiProgramma();
