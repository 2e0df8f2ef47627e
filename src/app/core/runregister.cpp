#include "app/core/runregister.h"

bool RegistroRun::inizia()
{
    if (m_inCorso) return false;
    m_inCorso = true;
    return true;
}

void RegistroRun::termina()
{
    m_inCorso = false;
}

void RegistroRun::registraEsitoAutomatico(Pannello run, bool completata)
{
    m_esiti[run] = completata;
}

int RegistroRun::statoUscita() const
{
    for (const auto& [run, completata] : m_esiti)
        if (!completata) return 1;
    return 0;
}
