#include "store/transazione.h"

#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/sqlitecollation.h"

#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include <atomic>

namespace {
// On SQL Server each unit of work leaves its number in the session's temporary table: the row is there
// while the unit the program began is open, and goes when the server undoes it, even should a driver
// open another transaction on its own afterwards.
const QString kMarca = QStringLiteral("INSERT INTO #TransazioneAperta (Numero) VALUES (?)");
const QString kVerifica = QStringLiteral(
    "SELECT @@TRANCOUNT, (SELECT COUNT(*) FROM #TransazioneAperta WHERE Numero = ?)");
std::atomic<int> s_numeri{0};

Failure transactionFailure(const QString& what, const QSqlError& error)
{
    const QString reason = error.text().trimmed();
    return Failure(FailureCode::Database, reason.isEmpty() ? what : what + QStringLiteral(": ") + reason);
}
} // namespace

Transazione::Transazione(ConnessioneStore& connection) : m_connection(connection)
{
    if (m_connection.motore() == Motore::Embedded) {
        m_connection.esegui(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        QSqlDatabase database = m_connection.database();
        if (!database.transaction())
            throw transactionFailure(QStringLiteral("Impossibile iniziare la transazione"),
                                     database.lastError());
        m_open = true; // undone when the mark fails
        m_numero = ++s_numeri;
        m_connection.scrivi(kMarca, {m_numero});
    }
    m_open = true;
}

Transazione::~Transazione()
{
    if (!m_open) return;
    try {
        if (m_connection.motore() == Motore::Embedded) {
            // SQLite may have undone it already; a second ROLLBACK would only be refused.
            if (sqlite3* handle = handleSqlite(m_connection.database());
                handle && !sqlite3_get_autocommit(handle))
                m_connection.esegui(QStringLiteral("ROLLBACK"));
        } else {
            m_connection.database().rollback();
        }
    } catch (const std::exception&) {
        // Nothing more can be done: a connection that cannot undo is closed by its owner, and the
        // server then undoes what it never saw confirmed.
    }
}

void Transazione::verificaAttiva()
{
    bool active = true;
    if (m_connection.motore() == Motore::Embedded) {
        sqlite3* handle = handleSqlite(m_connection.database());
        active = handle && !sqlite3_get_autocommit(handle);
    } else {
        QSqlQuery& query = m_connection.eseguiRicordata(kVerifica, {m_numero});
        active = query.next() && query.value(0).toInt() > 0 && query.value(1).toInt() == 1;
        query.finish();
    }
    if (!active)
        throw Failure(FailureCode::Database,
                      QStringLiteral("La transazione è stata annullata dal database prima della conferma"));
}

void Transazione::conferma()
{
    if (m_connection.motore() == Motore::Embedded) {
        verificaAttiva();
        m_connection.esegui(QStringLiteral("COMMIT"));
    } else {
        verificaAttiva();
        QSqlDatabase database = m_connection.database();
        if (!database.commit())
            throw transactionFailure(QStringLiteral("Impossibile confermare la transazione"),
                                     database.lastError());
    }
    m_open = false;
}
