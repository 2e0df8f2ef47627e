#pragma once

#include <QDate>
#include <QString>

// The store's query texts are written for SQL Server. The embedded engine (SQLite) gets the equivalent
// of each from this small table.
enum class Motore { SqlServer, Embedded };

class SqlDialect
{
public:
    explicit SqlDialect(Motore engine) : m_engine(engine) {}

    Motore motore() const { return m_engine; }

    // "SELECT top n " + rest on SQL Server; "SELECT " + rest + " LIMIT n" on SQLite. `rest` is the
    // column list onwards ("IDUscita,... from Uscite Where ... order by ...").
    QString selectTop(int n, const QString& rest) const;

    // A date (midnight) as a quoted literal that the server cannot misread whatever its language:
    // 'yyyymmdd' on SQL Server; 'yyyy-mm-dd 00:00:00' on SQLite, which compares its ISO-8601 texts
    // as text, so the day itself at 00:00 is not later than the literal.
    QString letteraleData(const QDate& date) const;

    // Advances a named counter and hands back its new value: the stored procedure Contatore_update
    // called with the name (input) and the value (output) on SQL Server; on SQLite one UPDATE of the
    // counters table with the name bound, returning the new value as its only row.
    QString avanzaContatore() const;

    // The server's list of databases, column DATABASE_NAME: "sp_databases" on SQL Server. Empty on
    // SQLite, whose databases are the files of the store folder (see databaselist.h).
    QString elencoDatabase() const;

private:
    Motore m_engine;
};
