#include "sales/documents/salvataggiovendite.h"

#include "store/connessionestore.h"

namespace {
// How long the sales on the embedded store gather before they are saved together, counted from the
// last burst of log lines (or from the start): the window waits at most this long (plus one sale and
// one commit) between two passes of its events.
constexpr qint64 kFinestraMs = 40;
} // namespace

SalvataggioVendite::SalvataggioVendite(ConnessioneStore& connection, ScriviLogVendite scriviLog)
    : m_connection(connection), m_scriviLog(std::move(scriviLog)),
      m_grouped(connection.motore() == Motore::Embedded)
{
    m_sinceLog.start();
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
        if (m_sinceLog.elapsed() < kFinestraMs) return;
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
    const QStringList lines = std::exchange(m_logDue, {});
    if (lines.isEmpty()) return;
    m_scriviLog(lines);
    m_sinceLog.restart();
}
