#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

// The TDS 7.4 wire format as the test server needs it: token writers, the client's login and its
// procedure calls with their typed parameters.
namespace tds {

// Little-endian writers of a token stream.
struct Tokens
{
    QByteArray bytes;
    Tokens& u8(int v)
    {
        bytes.append(char(v));
        return *this;
    }
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
    bool output = false;
    QString type; // as the call declares it in T-SQL
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
QByteArray loginReply(const QString& database, int packetSize);
// A parameter as it goes to the log: "@P1 int = 5", texts quoted N'...'.
QString describe(const Parameter& p);

} // namespace tds
