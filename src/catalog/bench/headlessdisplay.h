#pragma once

#include "services/rundisplay.h"

#include <QElapsedTimer>

// The window of a run without a screen, for the benchmark: log lines go to the activity log as the
// real window sends them, the event loop runs where the window's would, and the longest time between
// two passes of the event loop (from the start of the run to its end) is kept.
class DisplaySenzaSchermo : public RunDisplay
{
public:
    DisplaySenzaSchermo(ImpostazioniConnessione settings, bool logToFile);

    void scriviLog(Pannello panel, const QString& text) override;
    void scriviLogRighe(Pannello panel, const QStringList& lines) override;
    void azzeraPannello(Pannello) override {}
    void impostaMassimo(Pannello, int) override {}
    void avanzaProgresso(Pannello) override { ++m_steps; }
    void svuotaAttivita(Pannello) override {}
    void impostaTitolo(const QString&) override {}
    void impostaOccupato(bool) override {}
    void lasciaPassareEventi() override;
    bool chiediSiNo(const QString&, const QString&) override { return true; }
    void avvisa(IconaMessaggio, const QString&, const QString&) override {}
    const ImpostazioniConnessione& impostazioniConnessione() const { return m_settings; }

    void inizia();  // the run starts: the clock of the first gap
    void termina(); // the run has ended: the last gap closes

    qint64 intervalloMassimoNs() const { return m_longestGap; }
    int passaggioDopoIntervallo() const { return m_longestGapPass; } // the pass that ended the longest gap
    int passaggi() const { return m_passes; }
    int passi() const { return m_steps; }

private:
    ImpostazioniConnessione m_settings;
    bool m_logToFile;
    QElapsedTimer m_sinceLastPass;
    qint64 m_longestGap = 0;
    int m_longestGapPass = 0;
    int m_passes = 0;
    int m_steps = 0;
};

// The process's peak resident memory so far, in kB (the benchmarks run on Linux).
long picoMemoriaKb();
