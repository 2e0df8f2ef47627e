#include "sales/documents/salvataggiovendite.h"

#include "services/rundisplay.h"
#include "store/connessionestore.h"

namespace {
// How long the sales on the embedded store gather before they are saved together. Fewer commits write
// fewer pages again and wait less for the disk, but a larger commit holds the window longer: measured
// here, 40 ms is both the fastest and well within the window's wait.
constexpr qint64 kFinestraMs = 40;
} // namespace

SalvataggioVendite::SalvataggioVendite(ConnessioneStore& connection, ScriviLogVendite scriviLog,
                                       std::function<void()> lasciaPassareEventi)
    : m_connection(connection), m_scriviLog(std::move(scriviLog)),
      m_lasciaPassareEventi(std::move(lasciaPassareEventi)),
      m_grouped(connection.motore() == Motore::Embedded)
{
    m_sinceSaved.start();
}

SalvataggioVendite::~SalvataggioVendite() = default;

void SalvataggioVendite::inizia()
{
    if (!m_transaction) m_transaction.emplace(m_connection);
    if (m_grouped) esegui(m_savepoint, QStringLiteral("SAVEPOINT vendita"));
}

void SalvataggioVendite::verificaAttiva()
{
    if (m_transaction) m_transaction->verificaAttiva();
}

void SalvataggioVendite::conferma(const QStringList& logLines)
{
    m_logDue += logLines;
    if (m_grouped) {
        esegui(m_release, QStringLiteral("RELEASE vendita"));
        if (m_sinceSaved.elapsed() < kFinestraMs) {
            if (m_lasciaPassareEventi && m_events.dovuto()) m_lasciaPassareEventi();
            return;
        }
    }
    salva();
}

void SalvataggioVendite::scarta()
{
    if (m_grouped) {
        esegui(m_rollback, QStringLiteral("ROLLBACK TO vendita"));
        esegui(m_release, QStringLiteral("RELEASE vendita"));
    } else {
        m_transaction.reset();
    }
}

void SalvataggioVendite::annulla()
{
    try {
        if (m_grouped && m_transaction) {
            m_transaction->verificaAttiva(); // otherwise the sales before it are gone as well
            scarta();
            salva();
            return;
        }
    } catch (const std::exception&) {
        // The whole group is undone below: its sales stay pending and their lines unwritten.
    }
    m_transaction.reset();
    m_logDue.clear();
}

void SalvataggioVendite::esegui(std::optional<QSqlQuery>& slot, const QString& sql)
{
    if (!slot) slot = m_connection.prepara(sql);
    m_connection.eseguiPreparata(*slot);
    slot->finish();
}

void SalvataggioVendite::chiudi()
{
    salva();
}

void SalvataggioVendite::salva()
{
    if (m_transaction) {
        m_transaction->conferma();
        m_transaction.reset();
    }
    m_sinceSaved.restart();
    const QStringList lines = std::exchange(m_logDue, {});
    if (lines.isEmpty()) return;
    m_scriviLog(lines); // the window's events run with them
    m_events.passati();
}
