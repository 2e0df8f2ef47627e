#pragma once

#include "tdsprotocol.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

// Between T-SQL and the SQLite store: the statement text, values in and out, the text comparison.
namespace tds {

// The T-SQL the program writes, as SQLite reads it: TOP n becomes LIMIT n, 'yyyymmdd' date literals
// ISO dates, N'' plain literals, @@TRANCOUNT the number given, casts to character types casts to TEXT.
QString toSqlite(const QString& statement, int tranCount);
// The statements of a batch, split at semicolons outside quotes (or the parts of a list at commas).
QStringList statements(const QString& batch, QChar separator = QLatin1Char(';'));
// Makes NOCASE, the collation of the store's text columns, also ignore trailing blanks, as SQL
// Server's default collation does. Letters are still folded for ASCII alone, so every index built
// with the built-in NOCASE keeps its order (texts differing only in trailing blanks aside).
void compareAsSqlServer(sqlite3* db);

// A name → value table of a batch's variables or a call's parameters (names lower case, with "@").
using Values = QHash<QString, QVariant>;
// Binds every named parameter of the statement; false names the first one without a value.
bool bind(sqlite3_stmt* statement, const Values& values, QString& missing);
QVariant columnValue(sqlite3_stmt* statement, int column);
// The type SQL Server would declare for a result column holding `values`.
Type columnType(sqlite3* db, sqlite3_stmt* statement, int column, const QVector<QVariant>& values);

} // namespace tds
