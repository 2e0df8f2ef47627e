#pragma once

#include "services/rundisplay.h"

class FrmMain;
class RunTimings;

// The main window as the runs see it: the time-stamped lines, bars and dots of its run panels, its title,
// its busy state and its modal boxes. The window itself knows nothing of the runs.
class DisplayFinestra : public RunDisplay
{
public:
    // `timings`, when given, is told what the panel's lines cost and when the window goes busy.
    explicit DisplayFinestra(FrmMain& window, RunTimings* timings = nullptr)
        : m_window(window), m_timings(timings)
    {
    }

    void scriviLog(Pannello panel, const QString& text) override;
    void scriviLogRighe(Pannello panel, const QStringList& lines) override;
    void azzeraPannello(Pannello panel) override;
    void impostaMassimo(Pannello panel, int maximum) override;
    void avanzaProgresso(Pannello panel) override;
    void svuotaAttivita(Pannello panel) override;
    void impostaTitolo(const QString& title) override;
    void impostaOccupato(bool busy) override;
    void lasciaPassareEventi() override;
    bool chiediSiNo(const QString& title, const QString& text) override;
    void avvisa(IconaMessaggio icon, const QString& title, const QString& text) override;

private:
    FrmMain& m_window;
    RunTimings* m_timings;
    PassoEventi m_events;
};
