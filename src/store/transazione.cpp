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
const QString kMarca =
    QStringLiteral("INSERT INTO #TransazioneAperta (Numero) VALUES (?); SELECT @@TRANCOUNT AS Aperte");
const QString kVerifica =
    QStringLiteral("SELECT @@TRANCOUNT, (SELECT COUNT(*) FROM #TransazioneAperta WHERE Numero = ?)");
std::atomic<int> s_numeri{0};

// A unit the server has undone by itself cannot be rolled back through the driver, and Qt then leaves
// the connection with its automatic commit off: the driver would take the next unit's begin for one
// already open, and run its writes one by one, each saved at once. Given a transaction to end, the
// driver ends it, and Qt gives the connection its automatic commit back.
void chiudiNelDriver(ConnessioneStore& connection)
{
    QSqlDatabase database = connection.database();
    if (database.rollback()) return;
    connection.eseguiLotto(QStringLiteral("IF @@TRANCOUNT = 0 BEGIN TRANSACTION"));
    database.rollback();
}

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
        // A driver that still takes itself to be inside a unit the server ended begins nothing: it is
        // given its automatic commit back and asked once more.
        for (int attempt = 1;; ++attempt) {
            QSqlDatabase database = m_connection.database();
            if (!database.transaction())
                throw transactionFailure(QStringLiteral("Impossibile iniziare la transazione"),
                                         database.lastError());
            m_open = true; // undone when the mark fails
            if (!m_connection.marcaTransazioni() || marca()) break;
            chiudiNelDriver(m_connection);
            if (attempt == 2)
                throw Failure(
                    FailureCode::Database,
                    QStringLiteral("Impossibile iniziare la transazione: il driver non l'ha aperta"));
        }
    }
    m_open = true;
}

// Leaves the unit's mark; false when the server holds no open transaction after it.
bool Transazione::marca()
{
    m_numero = ++s_numeri;
    QSqlQuery& mark = m_connection.eseguiRicordata(kMarca, {m_numero});
    int open = 0;
    do {
        if (mark.isSelect() && mark.next()) open = mark.value(0).toInt();
    } while (mark.nextResult());
    mark.finish();
    return open > 0;
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
            chiudiNelDriver(m_connection);
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
        if (m_connection.marcaTransazioni()) {
            QSqlQuery& query = m_connection.eseguiRicordata(kVerifica, {m_numero});
            active = query.next() && query.value(0).toInt() > 0 && query.value(1).toInt() == 1;
            query.finish();
        } else {
            QSqlQuery query = m_connection.esegui(QStringLiteral("SELECT @@TRANCOUNT"));
            active = query.next() && query.value(0).toInt() > 0;
        }
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
        if (!database.commit()) {
            const QSqlError error = database.lastError();
            try {
                chiudiNelDriver(m_connection);
                m_open = false;
            } catch (const std::exception&) {
                // Left to the destructor.
            }
            throw transactionFailure(QStringLiteral("Impossibile confermare la transazione"), error);
        }
    }
    m_open = false;
}
