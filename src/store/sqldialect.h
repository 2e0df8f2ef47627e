#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

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

    // A date (midnight) as a value that the server cannot misread whatever its language, to compare
    // with dataDi(): the quoted 'yyyymmdd' on SQL Server; julianday('yyyy-mm-dd') on SQLite.
    QString letteraleData(const QDate& date) const;

    // A date column as a value that compares and sorts as a moment: the column itself on SQL Server;
    // julianday(column) on SQLite, whose dates are texts in several ISO-8601 forms ('2026-06-11',
    // '2026-06-11T00:00:00', '2026-06-11 00:00:00.000' are one moment; as texts they are not).
    QString dataDi(const QString& column) const;

    // The condition "column equals value" for texts, without regard to letter case and trailing
    // blanks as SQL Server compares them ('S1' and 's1 ' are equal). `value` is an SQL expression,
    // a "?" placeholder by default. On SQLite both sides are trimmed of trailing blanks and compared
    // with NOCASE, the form the store's text indexes are built on, so such a lookup uses them. On SQL
    // Server the value is made varchar: the driver sends text as nvarchar, and a varchar column
    // compared with an nvarchar value is converted row by row instead of sought in its index.
    QString testoUguale(const QString& column, const QString& value = QStringLiteral("?")) const;

    // The column as a condition's operand that the planner does not look up through an index of its
    // own: "+column" on SQLite, whose planner would otherwise pick a far larger index; the column
    // itself on SQL Server.
    QString senzaIndice(const QString& column) const;

    // A moment (a day and its wall-clock time) as a value to bind to a date-and-time column: the
    // store's ISO text "yyyy-mm-dd hh:mm:ss" on SQLite; a date-time that no time zone moves on SQL
    // Server.
    QVariant valoreMomento(const QDate& day, const QTime& time) const;

    // Advances a named counter and hands back its new value: on SQL Server a batch calling the stored
    // procedure Contatore_update and selecting its output last, the name bound to its one "?"; on SQLite
    // one UPDATE of the counters table returning the new value as its only row, the step bound first
    // and the name second, so one statement can advance a counter by several.
    QString avanzaContatore() const;

    // The server's list of databases, column DATABASE_NAME: "sp_databases" on SQL Server. Empty on
    // SQLite, whose databases are the files of the store folder (see databaselist.h).
    QString elencoDatabase() const;

private:
    Motore m_engine;
};
