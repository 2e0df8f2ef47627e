#include "store/sqldialect.h"

#include <QDateTime>
#include <QTimeZone>

QString SqlDialect::selectTop(int n, const QString& rest) const
{
    if (m_engine == Motore::SqlServer) return QStringLiteral("SELECT top %1 ").arg(n) + rest;
    return QStringLiteral("SELECT ") + rest + QStringLiteral(" LIMIT %1").arg(n);
}

QString SqlDialect::letteraleData(const QDate& date) const
{
    if (m_engine == Motore::SqlServer)
        return QLatin1Char('\'') + date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('\'');
    return QStringLiteral("julianday('") + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("')");
}

QString SqlDialect::dataDi(const QString& column) const
{
    if (m_engine == Motore::SqlServer) return column;
    return QStringLiteral("julianday(") + column + QLatin1Char(')');
}

QString SqlDialect::testoUguale(const QString& column, const QString& value) const
{
    if (m_engine == Motore::SqlServer)
        return QStringLiteral("%1 = CAST(%2 AS varchar(8000))").arg(column, value);
    return QStringLiteral("rtrim(%1) COLLATE NOCASE = rtrim(%2)").arg(column, value);
}

QString SqlDialect::senzaIndice(const QString& column) const
{
    if (m_engine == Motore::SqlServer) return column;
    return QLatin1Char('+') + column;
}

QVariant SqlDialect::valoreMomento(const QDate& day, const QTime& time) const
{
    if (m_engine == Motore::Embedded)
        return day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
               time.toString(QStringLiteral("HH:mm:ss"));
    return QDateTime(day, time, QTimeZone::utc());
}

QString SqlDialect::avanzaContatore() const
{
    // On SQL Server the output is read as the batch's last result column: a NULL then arrives with its
    // null indicator, which an output parameter bound by the driver would not carry. No SET NOCOUNT: it
    // would outlast the batch and hide the counts of later updates on the connection.
    if (m_engine == Motore::SqlServer)
        return QStringLiteral("DECLARE @Valore int; SET @Valore = 0; "
                              "EXEC Contatore_update @NomeContatore = ?, @Valore = @Valore OUTPUT; "
                              "SELECT @Valore AS Valore");
    return QStringLiteral("UPDATE Contatori SET Valore = Valore + ? WHERE ") +
           testoUguale(QStringLiteral("NomeContatore")) + QStringLiteral(" RETURNING Valore");
}

QString SqlDialect::elencoDatabase() const
{
    if (m_engine == Motore::SqlServer) return QStringLiteral("sp_databases");
    return {};
}
