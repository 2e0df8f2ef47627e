#include "sales/documents/salvataggiovendite.h"

#include "services/rundisplay.h"

namespace {
// How long the sales gather before they are saved together, where the store lets them. Fewer commits
// write fewer pages again and wait less for the disk, but a larger commit holds the window longer:
// measured here, 40 ms is both the fastest and well within the window's wait.
constexpr qint64 kFinestraMs = 40;
} // namespace

SalvataggioVendite::SalvataggioVendite(ConnessioneStore& connection, ScriviLogVendite scriviLog,
                                       std::function<void()> lasciaPassareEventi)
    : m_group(connection), m_scriviLog(std::move(scriviLog)),
      m_lasciaPassareEventi(std::move(lasciaPassareEventi))
{
    m_sinceSaved.start();
}

void SalvataggioVendite::inizia()
{
    m_group.inizia();
}

void SalvataggioVendite::verificaAttiva()
{
    m_group.verificaAttiva();
}

void SalvataggioVendite::conferma(const QStringList& logLines)
{
    m_logDue += logLines;
    if (m_group.completa() && m_sinceSaved.elapsed() < kFinestraMs) {
        if (m_lasciaPassareEventi && m_events.dovuto()) m_lasciaPassareEventi();
        return;
    }
    salva();
}

void SalvataggioVendite::scarta()
{
    m_group.scarta();
}

void SalvataggioVendite::annulla()
{
    if (m_group.annulla())
        scriviDovute();
    else
        m_logDue.clear(); // those sales stay pending
}

void SalvataggioVendite::chiudi()
{
    salva();
}

void SalvataggioVendite::salva()
{
    m_group.salva();
    scriviDovute();
}

void SalvataggioVendite::scriviDovute()
{
    m_sinceSaved.restart();
    const QStringList lines = std::exchange(m_logDue, {});
    if (lines.isEmpty()) return;
    m_scriviLog(lines); // the window's events run with them
    m_events.passati();
}
