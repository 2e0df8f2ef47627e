#pragma once

#include <QStringList>

class ConnessioneStore;

// The names of every database of the server, in the server's order: column DATABASE_NAME of
// "sp_databases" on SQL Server; on the embedded store the base names of the folder's .sqlite files,
// sorted by name. `master` is a connection to the server's catalog.
QStringList nomiDatabaseDelServer(ConnessioneStore& master);

// The store databases among those names: the names whose upper-case form begins with CORVUS or TAVIRA,
// in upper case, in the same order.
QStringList databaseDelNegozio(const QStringList& names);
