#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// The layout of the embedded store's tables (kept in PRAGMA user_version) and its upgrade.
//   1: text columns declared with the program's own collation NOCASE_RTRIM, which standard SQLite tools
//      do not know ("no such collation sequence" on any use of a text index);
//   2: SQLite's built-in NOCASE, trailing blanks trimmed by the program's comparisons (schema.sql).
inline constexpr int kLayoutStore = 2;

// The statements of the schema script, in order, comments left out.
QStringList istruzioniSchema();

// Readies a freshly opened store file for the program. Reads it once: a store that another program
// holds locked beyond the connection's busy limit fails as busy, a file that SQLite cannot read fails as
// unreadable. A store of layout 1 is rebuilt into the current layout in place, in one transaction with
// every row copied (nothing changes when the rebuild fails); a layout newer than this program's is
// refused. Files that are not stores of this program (user_version 0) are left as they are. Throws
// Failure (FailureCode::Database) with a message naming `database`; a store that can be read but not
// written (a read-only file, folder or disk) is told as such.
void preparaStore(sqlite3* handle, const QString& database);
