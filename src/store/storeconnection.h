#pragma once

#include "connectionsettings.h"
#include "sqldialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// The engine a server name stands for: "sqlite:" followed by a folder is the embedded store (each
// database is <folder>/<database>.sqlite, "master" is the folder itself); anything else is SQL Server.
Motore motoreDelServer(const QString& serverName);

// One connection to the store (or, with database "master", to the server's catalog), private to its
// owner and closed when it is destroyed. Every run and service reaches the store through this class.
class StoreConnection
{
public:
    // Opens the connection. Throws Failure (FailureCode::Database) with the driver's message when the
    // connection cannot be opened; login and command limits in seconds (0: no limit).
    StoreConnection(const ImpostazioniConnessione& settings, int loginTimeoutSeconds, int commandTimeoutSeconds);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    bool isOpen() const;
    const SqlDialect& dialetto() const { return m_dialect; }

    // Runs a statement: forward-only, numbers handed over as exact decimal text, values bound in order
    // to "?" placeholders. Throws Failure (FailureCode::Database) with the driver's message on error.
    // Several results may be open at once on one connection (the runs read a list while querying).
    QSqlQuery esegui(const QString& sql, const QVariantList& values = {});

    QSqlDatabase database() const;

private:
    QString m_name;
    SqlDialect m_dialect;
};
