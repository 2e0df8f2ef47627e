#pragma once

class QSqlDatabase;
struct sqlite3;

// The SQLite handle behind an open Qt SQLite connection, or null for another driver.
sqlite3* handleSqlite(const QSqlDatabase& database);

// The collation NOCASE_RTRIM that layout 1 of the store declared on its text columns (the current layout
// uses SQLite's built-in NOCASE, see schema.sql): two texts are equal when they differ only in letter
// case (any alphabet) and in trailing blanks; otherwise they sort by their case-folded form. The program
// registers it only to read such a store while rebuilding it (storelayout.h).
int confrontaTesti(const char* a, int lengthA, const char* b, int lengthB);

// Registers the collation on one SQLite connection; false when SQLite refuses.
bool registraCollazione(sqlite3* handle);

// Registers it on every SQLite connection this process opens from now on, including those that other
// libraries in the process open with the same SQLite (an ODBC driver for SQLite, for instance).
void registraCollazioneOvunque();
