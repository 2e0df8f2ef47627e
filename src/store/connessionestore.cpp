#include "store/connessionestore.h"

#include "services/failure.h"
#include "services/programfolder.h"
#include "services/textfile.h"
#include "store/asyncopen.h"
#include "store/backgroundcheckpoint.h"
#include "store/connectionregistry.h"
#include "store/odbcbinding.h"
#include "store/odbcstring.h"
#include "store/sqlitecollation.h"
#include "store/storelayout.h"
#include "store/storerow.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>
#include <QUrl>

#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <limits>

namespace {
const QString kEmbeddedPrefix = QStringLiteral("sqlite:");

Failure databaseFailure(const QString& context, const QSqlError& error)
{
    const QString reason = error.text().trimmed();
    return Failure(FailureCode::Database,
                   reason.isEmpty() ? context : context + QStringLiteral(": ") + reason);
}

// A statement's failure, told apart when another writer caused it (see ConflittoStore). `states` are
// the statement's ODBC states, when the driver's statement is at hand.
[[noreturn]] void throwStatementFailure(const QString& sql, const QSqlError& error,
                                        const QStringList& states = {})
{
    if (eConflitto(error.nativeErrorCode(), states))
        throw ConflittoStore(FailureCode::Database, databaseFailure(sql, error).description());
    throw databaseFailure(sql, error);
}

// The longest wait for a SQL Server login: its limit and two seconds more (5 s for the usual 3 s).
int attesaAperturaMs(int loginTimeoutSeconds)
{
    return (qMin(loginTimeoutSeconds, 3600) + 2) * 1000;
}

bool isMaster(const QString& database)
{
    return database.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0;
}

int busyTimeoutMs(int seconds)
{
    if (seconds <= 0) return std::numeric_limits<int>::max();
    return seconds > std::numeric_limits<int>::max() / 1000 ? std::numeric_limits<int>::max()
                                                            : seconds * 1000;
}

// The SQLite that Qt's driver uses must be the one this program registers its collation with.
void checkSameSqlite(const QSqlDatabase& database)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT sqlite_version()")) || !query.next())
        throw databaseFailure(QStringLiteral("Il file non è un database SQLite leggibile"),
                              query.lastError());
    if (query.value(0).toString() != QString::fromLatin1(sqlite3_libversion()))
        throw Failure(FailureCode::Database,
                      QStringLiteral("Il driver SQLite di Qt usa SQLite %1, il programma SQLite %2")
                          .arg(query.value(0).toString(), QString::fromLatin1(sqlite3_libversion())));
}

// Every commit is on disk before it returns, and costs as little waiting for the disk as that allows:
// the write-ahead log with a full sync writes each commit once, in order, and syncs it once (the
// rollback journal copies every page first and syncs several times), and a power cut loses no commit.
// The mode stays with the file and the sqlite3 shell reads it as it is. Should another program hold
// the store so that the mode cannot change now, the store stays in its rollback journal, just as
// durable, and the change is made at a later opening.
void scritturaDurevole(sqlite3* handle)
{
    sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    // The undo copies of a savepoint (a sale being made) stay in memory instead of a temporary file:
    // they only ever undo a savepoint, never recover from a crash.
    if (sqlite3_exec(handle, "PRAGMA synchronous=FULL; PRAGMA temp_store=MEMORY", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
        throw Failure(FailureCode::Database, QStringLiteral("Impossibile impostare la scrittura sicura: %1")
                                                 .arg(QString::fromUtf8(sqlite3_errmsg(handle))));
}
// The driver's statement behind a prepared ODBC query. Qt hands it out as a plain SQLHANDLE (a void*,
// whatever name the type is given).
SQLHANDLE istruzioneOdbc(const QSqlQuery& query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        throw Failure(FailureCode::Database, QStringLiteral("Il driver ODBC non fornisce l'istruzione"));
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

// The ODBC states (SQLSTATE) of the statement's diagnostics, read before anything else is asked of it.
QStringList statiOdbc(SQLHANDLE statement)
{
    QStringList states;
    SQLCHAR state[6];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1; record <= 16; ++record) {
        if (!SQL_SUCCEEDED(
                SQLGetDiagRecA(SQL_HANDLE_STMT, statement, record, state, &native, nullptr, 0, &length)))
            break;
        states << QString::fromLatin1(reinterpret_cast<const char*>(state), 5);
    }
    return states;
}

// The states of a failed prepared query, when it has a driver's statement.
QStringList statiDellaQuery(const QSqlQuery& query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>()) return {};
    return statiOdbc(*static_cast<const SQLHANDLE*>(handle.constData()));
}
} // namespace

Motore motoreDelServer(const QString& serverName)
{
    return serverName.trimmed().startsWith(kEmbeddedPrefix, Qt::CaseInsensitive) ? Motore::Embedded
                                                                                 : Motore::SqlServer;
}

QString cartellaStoreEmbedded(const QString& serverName)
{
    const QString rest = serverName.trimmed().mid(kEmbeddedPrefix.size()).trimmed();
    if (rest.isEmpty()) return QDir::cleanPath(cartellaProgramma());
    return QDir::cleanPath(QDir(cartellaProgramma()).absoluteFilePath(rest));
}

QString fileDatabaseEmbedded(const QString& folder, const QString& database)
{
    const QString name = database.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':')) || name.contains(QChar(0)))
        throw ConnessioneRifiutata(FailureCode::Database,
                                   QStringLiteral("\"%1\" non è un nome di database valido").arg(database));
    const QString fileName = name + QStringLiteral(".sqlite");
    const QString exact = QDir(folder).filePath(fileName);
    if (QFileInfo(exact).isFile()) return exact;
    const QString found = trovaFileNellaCartella(folder, fileName);
    return found.isEmpty() ? exact : QDir(folder).filePath(found);
}

ConnessioneStore::ConnessioneStore(const ImpostazioniConnessione& settings, int loginTimeoutSeconds,
                                   int commandTimeoutSeconds)
    : m_dialect(motoreDelServer(settings.server)), m_settings(settings),
      m_commandTimeout(commandTimeoutSeconds)
{
    try {
        if (m_dialect.motore() == Motore::Embedded)
            apriEmbedded(loginTimeoutSeconds);
        else
            apriSqlServer(loginTimeoutSeconds);
        m_database->setNumericalPrecisionPolicy(precisione());
    } catch (...) {
        m_checkpoint.reset();
        rimuoviConnessione(m_database, m_name);
        throw;
    }
}

ConnessioneStore::~ConnessioneStore()
{
    m_statements.clear();
    m_checkpoint.reset(); // before its connection closes
    rimuoviConnessione(m_database, m_name);
}

void ConnessioneStore::apriEmbedded(int loginTimeoutSeconds)
{
    const QString folder = cartellaStoreEmbedded(m_settings.server);
    const bool master = isMaster(m_settings.database.trimmed());
    QString target;
    QString options;
    if (master) {
        // The server's catalog is the folder: the connection itself holds nothing.
        if (!QFileInfo(folder).isDir())
            throw Failure(FailureCode::Database,
                          QStringLiteral("La cartella dello store \"%1\" non esiste").arg(folder));
        target = QStringLiteral(":memory:");
    } else {
        const QString path = fileDatabaseEmbedded(folder, m_settings.database);
        if (!QFileInfo(path).isFile())
            throw Failure(FailureCode::Database,
                          QStringLiteral("Il database \"%1\" non esiste (file %2 non trovato)")
                              .arg(m_settings.database.trimmed(), QDir::toNativeSeparators(path)));
        // mode=rw: a file that disappears meanwhile is not created empty in its place.
        target = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                 QStringLiteral("?mode=rw");
        options = QStringLiteral("QSQLITE_OPEN_URI;");
    }
    // Opening waits for a store that another program holds locked no longer than the login limit; the
    // statements afterwards wait up to the command limit.
    options += QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs(loginTimeoutSeconds));

    m_database = aggiungiConnessione(QStringLiteral("QSQLITE"), m_name);
    m_database->setDatabaseName(target);
    m_database->setConnectOptions(options);
    if (!m_database->open())
        throw databaseFailure(
            QStringLiteral("Impossibile aprire il database \"%1\"").arg(m_settings.database.trimmed()),
            m_database->lastError());
    checkSameSqlite(*m_database);
    sqlite3* handle = handleSqlite(*m_database);
    if (!handle) throw Failure(FailureCode::Database, QStringLiteral("Connessione SQLite non disponibile"));
    if (!master) {
        preparaStore(handle, m_settings.database.trimmed()); // upgrades an older layout
        scritturaDurevole(handle);
        m_checkpoint = std::make_unique<BackgroundCheckpoint>(handle);
    }
    sqlite3_busy_timeout(handle, busyTimeoutMs(m_commandTimeout));
}

void ConnessioneStore::apriSqlServer(int loginTimeoutSeconds)
{
    const QString connectionString = stringaOdbc(m_settings, driverOdbc()); // refuses unsafe values
    const QString unreachable =
        QStringLiteral("Impossibile connettersi al server \"%1\"").arg(m_settings.server.trimmed());
    // FreeTDS applies the login limit to each read, not to the whole login: a server answering one byte
    // at a time would hold this thread in the driver for minutes. So the login is first proven on a
    // worker within the limit; the connection itself is then opened here, since a Qt connection belongs
    // to the thread that opens it.
    if (loginTimeoutSeconds > 0 && !suLavoroDiProva()) {
        const RisultatoProva proof =
            provaConnessione(m_settings, loginTimeoutSeconds, attesaAperturaMs(loginTimeoutSeconds), {});
        if (proof.esito == EsitoProva::Rifiutata)
            throw ConnessioneRifiutata(FailureCode::Database, proof.descrizione);
        if (proof.esito != EsitoProva::Aperta)
            throw Failure(FailureCode::Database,
                          proof.descrizione.isEmpty()
                              ? unreachable
                              : unreachable + QStringLiteral(": ") + proof.descrizione);
    }
    m_database = aggiungiConnessione(QStringLiteral("QODBC"), m_name);
    // Qt would append a separate user and password unescaped: both travel inside the string instead.
    m_database->setDatabaseName(connectionString);
    if (loginTimeoutSeconds > 0)
        m_database->setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(loginTimeoutSeconds));
    if (!m_database->open()) throw databaseFailure(unreachable, m_database->lastError());
    // Only SQL Server knows these options (the tests' SQLite ODBC driver stands in for other drivers).
    if (m_database->driver()->dbmsType() == QSqlDriver::MSSqlServer) impostaSessione();
}

// The session's options, sent as a plain batch so that they hold for the connection, and read back:
// a statement that fails inside a unit of work undoes the whole unit at once, so that the unit is never
// saved in pieces (XACT_ABORT); a statement waits for another session's lock a bounded time, then fails
// as a conflict (LOCK_TIMEOUT); quoted names are names (QUOTED_IDENTIFIER, which the store's
// "Quantità" needs). The temporary table marks the unit of work that Transazione begins.
void ConnessioneStore::impostaSessione()
{
    const QString failed = QStringLiteral("Impossibile impostare le opzioni della sessione");
    eseguiLotto(QStringLiteral("SET XACT_ABORT ON; SET QUOTED_IDENTIFIER ON; SET LOCK_TIMEOUT %1; "
                               "CREATE TABLE #TransazioneAperta (Numero int NOT NULL PRIMARY KEY)")
                    .arg(kAttesaBlocchiMs));
    QSqlQuery check = esegui(QStringLiteral("SELECT @@OPTIONS, @@LOCK_TIMEOUT"));
    if (!rigaSuccessiva(check)) throw Failure(FailureCode::Database, failed);
    constexpr int kXactAbort = 16384, kQuotedIdentifier = 256;
    const int options = check.value(0).toInt();
    if (!(options & kXactAbort) || !(options & kQuotedIdentifier) ||
        check.value(1).toInt() != kAttesaBlocchiMs)
        throw Failure(FailureCode::Database, failed + QStringLiteral(" (@@OPTIONS %1, @@LOCK_TIMEOUT %2)")
                                                          .arg(options)
                                                          .arg(check.value(1).toInt()));
    check.finish();
    m_sessione = true;
}

QSql::NumericalPrecisionPolicy ConnessioneStore::precisione() const
{
    // SQLite hands over a number exactly as stored. Through ODBC, Qt reads a number in high precision as
    // text no longer than the column's declared size, and the driver writes a float with more digits
    // than that (14.79 as 14.789999999999999): the read fails and the value is lost. Read as doubles,
    // every number comes through, and the store's readers take a double at its 15 significant digits.
    return m_dialect.motore() == Motore::Embedded ? QSql::HighPrecision : QSql::LowPrecisionDouble;
}

bool ConnessioneStore::aperta() const
{
    return m_database && m_database->isOpen();
}

QSqlDatabase ConnessioneStore::database() const
{
    return m_database ? *m_database : QSqlDatabase();
}

void ConnessioneStore::impostaTimeoutComandi(int seconds)
{
    if (seconds != m_commandTimeout) m_statements.clear(); // prepared again, so they take the new limit
    m_commandTimeout = seconds;
    if (m_dialect.motore() == Motore::Embedded && m_database)
        if (sqlite3* handle = handleSqlite(*m_database)) sqlite3_busy_timeout(handle, busyTimeoutMs(seconds));
}

void ConnessioneStore::ampliaCache()
{
    if (m_dialect.motore() != Motore::Embedded || !m_database) return;
    if (sqlite3* handle = handleSqlite(*m_database))
        sqlite3_exec(handle, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
}

void ConnessioneStore::applicaTimeoutComandi(QSqlQuery& query) const
{
    if (m_dialect.motore() != Motore::SqlServer || m_commandTimeout <= 0) return;
    // Qt's ODBC driver keeps the statement it prepared for the execution: the limit set on it holds.
    SQLHANDLE statement = istruzioneOdbc(query);
    if (!statement || !SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
                                                    reinterpret_cast<SQLPOINTER>(SQLULEN(m_commandTimeout)),
                                                    SQL_IS_UINTEGER)))
        throw Failure(FailureCode::Database,
                      QStringLiteral("Impossibile impostare il tempo limite del comando sul driver ODBC"));
}

QSqlQuery ConnessioneStore::prepara(const QString& sql)
{
    if (!aperta())
        throw Failure(FailureCode::Database, QStringLiteral("La connessione al database è chiusa"));
    QSqlQuery query(*m_database);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(precisione());
    if (!query.prepare(sql)) throwStatementFailure(sql, query.lastError());
    applicaTimeoutComandi(query);
    return query;
}

int ConnessioneStore::scrivi(const QString& sql, const QVariantList& values)
{
    QSqlQuery& query = eseguiRicordata(sql, values);
    // A trigger's own counts come before the statement's: the statement's is the last one.
    int count = query.numRowsAffected();
    while (query.nextResult())
        if (!query.isSelect()) count = query.numRowsAffected();
    const QSqlError error = query.lastError();
    const QStringList states = error.isValid() ? statiDellaQuery(query) : QStringList();
    query.finish();
    if (error.isValid()) throwStatementFailure(sql, error, states);
    return count;
}

void ConnessioneStore::eseguiPreparata(QSqlQuery& query)
{
    if (!query.exec()) throwStatementFailure(query.lastQuery(), query.lastError(), statiDellaQuery(query));
}

void ConnessioneStore::eseguiLotto(const QString& sql)
{
    if (!aperta())
        throw Failure(FailureCode::Database, QStringLiteral("La connessione al database è chiusa"));
    QSqlQuery batch(*m_database);
    batch.setForwardOnly(true); // executed directly: no server cursor
    if (!batch.exec(sql)) throwStatementFailure(sql, batch.lastError(), statiDellaQuery(batch));
    while (batch.nextResult()) {
    }
    const QSqlError error = batch.lastError();
    if (error.isValid() && error.type() != QSqlError::NoError)
        throwStatementFailure(sql, error, statiDellaQuery(batch));
}

QSqlQuery& ConnessioneStore::eseguiRicordata(const QString& sql, const QVariantList& values)
{
    auto found = m_statements.constFind(sql);
    if (found == m_statements.constEnd())
        found = m_statements.insert(sql, std::make_shared<QSqlQuery>(prepara(sql)));
    QSqlQuery& query = *found.value();
    eseguiConValori(query, values);
    return query;
}

QSqlQuery ConnessioneStore::esegui(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = prepara(sql);
    eseguiConValori(query, values);
    return query;
}

void ConnessioneStore::eseguiConValori(QSqlQuery& query, const QVariantList& values)
{
    if (m_dialect.motore() == Motore::Embedded || values.isEmpty()) {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        eseguiPreparata(query);
        return;
    }
    SQLHANDLE statement = istruzioneOdbc(query);
    OdbcBinding binding;
    if (!binding.bind(statement, values))
        throw Failure(
            FailureCode::Database,
            QStringLiteral("Impossibile passare i valori al driver ODBC: %1").arg(query.lastQuery()));
    const bool done = query.exec();
    const QStringList states = done ? QStringList() : statiOdbc(statement); // before the release clears them
    OdbcBinding::release(statement);
    if (!done) throwStatementFailure(query.lastQuery(), query.lastError(), states);
}
