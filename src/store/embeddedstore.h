#pragma once

#include "services/connectionsettings.h"

#include <QString>

// The embedded store: a SQLite file with the store schema (the tables, view, counters and indexes the
// program uses), which the sqlite3 shell and other SQLite tools open, query and change without any
// extension (dates as ISO-8601 text). A store of an older layout is upgraded when the program opens it
// (storelayout.h).

// Creates an empty store at that path. Throws Failure when the file exists or cannot be created.
void creaStoreVuoto(const QString& filePath);

// The settings that reach the store file at that path through ConnessioneStore: server "sqlite:" and
// the file's folder, database the file name without ".sqlite". Throws ConnessioneRifiutata when the
// name does not end in ".sqlite".
ImpostazioniConnessione impostazioniFileStore(const QString& filePath);
