#include "store/gruppovendite.h"

#include "store/connessionestore.h"

namespace {
const QString kSavepoint = QStringLiteral("SAVEPOINT vendita");
const QString kRelease = QStringLiteral("RELEASE vendita");
const QString kRollbackTo = QStringLiteral("ROLLBACK TO vendita");
} // namespace

GruppoVendite::GruppoVendite(ConnessioneStore& connection)
    : m_connection(connection), m_grouped(connection.motore() == Motore::Embedded)
{
}

GruppoVendite::~GruppoVendite() = default;

void GruppoVendite::puntoDiRipristino(const QString& statement)
{
    m_connection.eseguiRicordata(statement).finish();
}

void GruppoVendite::inizia()
{
    if (!m_transaction) m_transaction.emplace(m_connection);
    if (m_grouped) puntoDiRipristino(kSavepoint);
}

void GruppoVendite::verificaAttiva()
{
    if (m_transaction) m_transaction->verificaAttiva();
}

bool GruppoVendite::completa()
{
    if (!m_grouped) return false;
    puntoDiRipristino(kRelease);
    return true;
}

void GruppoVendite::scarta()
{
    if (m_grouped) {
        puntoDiRipristino(kRollbackTo);
        puntoDiRipristino(kRelease);
    } else {
        m_transaction.reset();
    }
}

bool GruppoVendite::annulla()
{
    try {
        if (m_grouped && m_transaction) {
            m_transaction->verificaAttiva(); // otherwise the sales before it are gone as well
            scarta();
            salva();
            return true;
        }
    } catch (const std::exception&) {
        // The whole unit is undone below: its sales stay pending.
    }
    m_transaction.reset();
    return false;
}

void GruppoVendite::salva()
{
    if (!m_transaction) return;
    m_transaction->conferma();
    m_transaction.reset();
}
