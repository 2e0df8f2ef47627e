#pragma once

#include <QString>

// The embedded store: a SQLite file with the store schema (the tables, view, counters and indexes the
// program uses), readable with the sqlite3 shell (dates as ISO-8601 text).

// Creates an empty store at that path. Throws Failure when the file exists or cannot be created.
void creaStoreVuoto(const QString& filePath);
