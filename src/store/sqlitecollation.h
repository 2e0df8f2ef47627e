#pragma once

class QSqlDatabase;
struct sqlite3;

// The SQLite handle behind an open Qt SQLite connection, or null for another driver.
sqlite3* handleSqlite(const QSqlDatabase& database);

// The collation NOCASE_RTRIM that the store schema declares on its text columns: two texts are equal
// when they differ only in letter case (any alphabet, as SQL Server's case-insensitive collations) and
// in trailing blanks; otherwise they sort by their case-folded form.
int confrontaTesti(const char* a, int lengthA, const char* b, int lengthB);

// Registers the collation on one SQLite connection; false when SQLite refuses.
bool registraCollazione(sqlite3* handle);

// Registers it on every SQLite connection this process opens from now on, including those that other
// libraries in the process open with the same SQLite (an ODBC driver for SQLite, for instance).
void registraCollazioneOvunque();
