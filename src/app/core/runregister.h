#pragma once

#include "services/rundisplay.h"

#include <map>

// What the program knows about its runs: whether one is in progress (the end-of-program timer and the
// close box wait for it) and how the unattended runs ended, for the exit status a scheduler reads.
class RegistroRun
{
public:
    bool runInCorso() const { return m_inCorso; }

    // Marks a run as started; false when one is already in progress (a run never starts inside another).
    bool inizia();
    void termina();

    // The outcome of an unattended run. The last outcome of each kind of run counts.
    void registraEsitoAutomatico(Pannello run, bool completata);

    // 0 when every unattended run completed (or none ran), 1 when one was interrupted.
    int statoUscita() const;

private:
    bool m_inCorso = false;
    std::map<Pannello, bool> m_esiti;
};

// Keeps a run marked as in progress for its whole scope, however it is left.
class RunInCorso
{
public:
    explicit RunInCorso(RegistroRun& register_) : m_register(register_), m_started(register_.inizia()) {}
    ~RunInCorso()
    {
        if (m_started) m_register.termina();
    }
    RunInCorso(const RunInCorso&) = delete;
    RunInCorso& operator=(const RunInCorso&) = delete;

    bool avviato() const { return m_started; }

private:
    RegistroRun& m_register;
    bool m_started;
};

// The unattended flags AutoCatalogo and AutoVendite: set by start-up from "/C" and "/V", read by the
// runs (no message boxes, TimerEnd armed at their end).
struct ModoAutomatico
{
    bool autoCatalogo = false;
    bool autoVendite = false;
};
