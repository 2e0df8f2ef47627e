#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <sqlite3.h>

// The TDS 7.4 wire format as the test server needs it: token writers, the client's login and its
// procedure calls with their typed parameters; and the SQLite side of the statements (tdssql.cpp).
namespace tds {

// Little-endian writers of a token stream.
struct Tokens
{
    QByteArray bytes;
    Tokens& u8(int v) { return raw(QByteArray(1, char(v))); }
    Tokens& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Tokens& u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Tokens& u64(quint64 v) { return u32(quint32(v)).u32(quint32(v >> 32)); }
    Tokens& raw(const QByteArray& b)
    {
        bytes.append(b);
        return *this;
    }
    Tokens& ucs2(const QString& s);
    Tokens& bVarchar(const QString& s) { return u8(int(s.size())).ucs2(s); }
    Tokens& usVarchar(const QString& s) { return u16(int(s.size())).ucs2(s); }
    // DONE (0xFD), DONEPROC (0xFE) or DONEINPROC (0xFF); TDS 7.2 and later count rows in 64 bits.
    Tokens& done(int token, int status, int command, quint64 rows)
    {
        return u8(token).u16(status).u16(command).u64(rows);
    }
    Tokens& envChange(int type, const QByteArray& value, const QByteArray& old, bool text);
    Tokens& error(int number, int state, int severity, const QString& message);
};

enum Done { More = 0x01, Error = 0x02, Count = 0x10, Attention = 0x20 };

// A value's type as the server declares it in a result or a returned parameter.
struct Type
{
    enum Kind { Int, BigInt, Float, Decimal, DateTime, Text } kind = Int;
    int scale = 0;
    Tokens& declare(Tokens& t) const;
    Tokens& value(Tokens& t, const QVariant& v) const;
};

struct Parameter
{
    QString name;
    QVariant value;
};

struct Call
{
    QString name; // the procedure's name, system procedures by their name too
    QVector<Parameter> parameters;
};

struct Login
{
    QString user, password, database;
};

Login readLogin(const QByteArray& body);
// Where a request's own content starts, after the headers that every 7.2+ batch and call begins with.
qsizetype afterHeaders(const QByteArray& body);
// False when the call holds a parameter of a type the server does not read.
bool readCall(const QByteArray& body, Call& call);
QByteArray preLoginReply();
QByteArray loginReply(const QString& database); // packets of 4096 bytes
// A request refused whole: its error and the closing DONE.
QByteArray refusal(int number, int severity, const QString& message);

// Between T-SQL and the SQLite store: the statement text, values in and out, the text comparison.

// The T-SQL the program writes, as SQLite reads it: TOP n becomes LIMIT n, 'yyyymmdd' date literals
// ISO dates, N'' plain literals, @@TRANCOUNT the number given, casts to (N)(VAR)CHAR casts to TEXT.
QString toSqlite(const QString& statement, int tranCount);
// The statements of a batch, split at semicolons outside quotes (or the parts of a list at commas).
QStringList statements(const QString& batch, QChar separator = QLatin1Char(';'));
// Makes NOCASE, the collation of the store's text columns, also ignore trailing blanks, as SQL
// Server's default collation does. Letters are still folded for ASCII alone, so every index built
// with the built-in NOCASE keeps its order (texts differing only in trailing blanks aside).
void compareAsSqlServer(sqlite3* db);

// A name → value table of a batch's variables or a call's parameters (names lower case, with "@").
using Values = QHash<QString, QVariant>;
struct Result
{
    QStringList names;
    QVector<Type> types;
    QVector<QVector<QVariant>> rows;
    qint64 changes = 0;
};
// Runs one statement to its end: its rows with the types SQL Server would declare for them, or the rows
// it changed. False on SQLite's error, or with `missing` naming a parameter without a value.
bool run(sqlite3* db, const QString& sql, const Values& values, Result& result, QString& missing);
// A result's columns and rows, as the tokens of an answer.
void resultSet(Tokens& out, const Result& result);

} // namespace tds
