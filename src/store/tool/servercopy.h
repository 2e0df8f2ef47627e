#pragma once

#include "services/connectionsettings.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The store's tables between an embedded store file and a SQL Server database, in both directions, for
// a technician (a shop's database taken home to look at, a demo store put on a server) and for the
// tests. Both say what they copied, table by table, on `out`.

// The tables copied, in the order they are loaded.
const QStringList& tabelleStore();

// The T-SQL batches that create the store's objects on SQL Server (the script's GO separators taken out).
QStringList scriptStoreSqlServer();

// Creates the database `server.database` with the store's objects and copies every row of the embedded
// store into it. Throws Failure naming the table and row that failed; the database is then dropped, so
// that no half-made one is left. A database of that name is replaced only with `replace`.
void caricaSuServer(const QString& storeFile, const ImpostazioniConnessione& server, bool replace,
                    QTextStream& out);

// Copies the store tables of `server.database` into a new embedded store file. Throws Failure naming the
// table and row that failed; no file is left then. An existing file is replaced only with `replace`.
void scaricaDaServer(const ImpostazioniConnessione& server, const QString& storeFile, bool replace,
                     QTextStream& out);

// A free name beside the target for building a store file; it takes the target's name only when complete.
QString nomeDiLavoro(const QFileInfo& target);
