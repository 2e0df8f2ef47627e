#include "catalog/bench/headlessdisplay.h"

#include "services/activitylog.h"

#include <QCoreApplication>

#include <sys/resource.h>

DisplaySenzaSchermo::DisplaySenzaSchermo(ImpostazioniConnessione settings, bool logToFile)
    : m_settings(std::move(settings)), m_logToFile(logToFile)
{
}

void DisplaySenzaSchermo::scriviLog(Pannello panel, const QString& text)
{
    scriviLogRighe(panel, {text});
}

void DisplaySenzaSchermo::scriviLogRighe(Pannello, const QStringList& lines)
{
    if (m_logToFile) ScriviLog(lines);
    lasciaPassareEventi();
}

void DisplaySenzaSchermo::lasciaPassareEventi()
{
    const qint64 gap = m_sinceLastPass.nsecsElapsed();
    if (gap > m_longestGap) {
        m_longestGap = gap;
        m_longestGapPass = m_passes + 1;
    }
    QCoreApplication::processEvents();
    ++m_passes;
    m_sinceLastPass.restart();
}

void DisplaySenzaSchermo::inizia()
{
    m_sinceLastPass.start();
}

void DisplaySenzaSchermo::termina()
{
    const qint64 gap = m_sinceLastPass.nsecsElapsed();
    if (gap > m_longestGap) {
        m_longestGap = gap;
        m_longestGapPass = m_passes + 1;
    }
}

long picoMemoriaKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
