#pragma once

#include "services/connectionsettings.h"
#include "store/conflittostore.h"
#include "store/sqldialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

class BackgroundCheckpoint;

// The engine a server name stands for: "sqlite:" followed by a folder is the embedded store (each
// database is <folder>/<database>.sqlite, "master" is the folder itself); anything else is SQL Server.
Motore motoreDelServer(const QString& serverName);

// The embedded store's folder named by such a server name: absolute, or relative to the program folder
// (the program folder itself when nothing follows "sqlite:").
QString cartellaStoreEmbedded(const QString& serverName);

// The file of an embedded store database: <database>.sqlite in the folder, found without regard to
// letter case (the chooser lists names in upper case). Throws ConnessioneRifiutata for a name that is
// not a plain file name (empty, a path, "." or ".."), never reaching outside the folder.
QString fileDatabaseEmbedded(const QString& folder, const QString& database);

// One connection to the store (or, with database "master", to the server's catalog), private to its
// owner and closed when it is destroyed. Every run and service reaches the store through this class.
class ConnessioneStore
{
public:
    // Opens the connection. Throws Failure (FailureCode::Database) with the driver's message when the
    // connection cannot be opened; login and command limits in seconds (0: no limit). On SQL Server the
    // whole login gives up about two seconds after its limit, however slowly the server answers.
    ConnessioneStore(const ImpostazioniConnessione& settings, int loginTimeoutSeconds,
                     int commandTimeoutSeconds);
    ~ConnessioneStore();
    ConnessioneStore(const ConnessioneStore&) = delete;
    ConnessioneStore& operator=(const ConnessioneStore&) = delete;

    bool aperta() const;
    const SqlDialect& dialetto() const { return m_dialect; }
    Motore motore() const { return m_dialect.motore(); }
    const ImpostazioniConnessione& impostazioni() const { return m_settings; }

    // The command limit of every later statement, in seconds (0: no limit). On SQL Server it is the
    // statement's query time-out; on SQLite the longest wait for a lock held by another program.
    void impostaTimeoutComandi(int seconds);
    int timeoutComandi() const { return m_commandTimeout; }

    // Runs a statement: forward-only, numbers handed over as exact decimal text, values bound in order
    // to "?" placeholders. Throws Failure (FailureCode::Database) with the driver's message on error.
    // Step its rows with rigaSuccessiva (store/storerow.h), which tells a failed read from the end of
    // the data. Read a list to its end before the next statement: SQL Server connections without
    // several active result sets hold one open result at a time.
    QSqlQuery esegui(const QString& sql, const QVariantList& values = {});

    // The same in two steps: a prepared forward-only, high-precision query with the command limit
    // applied, then its execution.
    QSqlQuery prepara(const QString& sql);
    void eseguiPreparata(QSqlQuery& query);

    // A statement run again and again: prepared on its first use and kept by the connection (prepared
    // afresh once the command limit changes), run with its values bound in order. Use the result at
    // once and finish it: the reference holds only until the next statement.
    QSqlQuery& eseguiRicordata(const QString& sql, const QVariantList& values = {});

    // A plain batch of statements without values, sent as it is (never through a server cursor or a
    // prepared call, which would undo a SET when they return), read to the end of its results. For the
    // session's options and for scripts.
    void eseguiLotto(const QString& sql);

    // How long a statement waits for a lock that another session holds, on SQL Server: past it the
    // statement fails as a conflict (ConflittoStore) and the unit of work is undone.
    static constexpr int kAttesaBlocchiMs = 5000;
    // Whether the session holds the temporary table that marks a unit of work (SQL Server only).
    bool marcaTransazioni() const { return m_sessione; }

    // A write (kept as above) run to the end of everything the store answers, so that an error raised
    // after its row count (by a trigger) is not missed. Gives the rows the statement itself changed,
    // -1 when the store does not say (NOCOUNT).
    int scrivi(const QString& sql, const QVariantList& values = {});

    QSqlDatabase database() const;

    // On the embedded store, up to 16 MB of the store's pages are kept in memory from now on instead of
    // SQLite's 2 MB, for work that reads all over a large store: every page missed is read again from
    // the file. Nothing changes on SQL Server.
    void ampliaCache();

private:
    QSql::NumericalPrecisionPolicy precisione() const;
    void apriEmbedded(int loginTimeoutSeconds);
    void apriSqlServer(int loginTimeoutSeconds);
    void applicaTimeoutComandi(QSqlQuery& query) const;
    void impostaSessione();
    // Runs the prepared query with its values: bound by Qt on the embedded store, by OdbcBinding on
    // SQL Server.
    void eseguiConValori(QSqlQuery& query, const QVariantList& values);

    QString m_name;
    SqlDialect m_dialect;
    ImpostazioniConnessione m_settings;
    int m_commandTimeout = 0;
    std::unique_ptr<QSqlDatabase> m_database;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_statements; // kept statements, by text
    std::unique_ptr<BackgroundCheckpoint> m_checkpoint;      // embedded store only
    bool m_sessione = false;                                 // SQL Server: the session's options set
};
