#include "store/sqldialect.h"

QString SqlDialect::selectTop(int n, const QString& rest) const
{
    if (m_engine == Motore::SqlServer) return QStringLiteral("SELECT top %1 ").arg(n) + rest;
    return QStringLiteral("SELECT ") + rest + QStringLiteral(" LIMIT %1").arg(n);
}

QString SqlDialect::letteraleData(const QDate& date) const
{
    if (m_engine == Motore::SqlServer)
        return QLatin1Char('\'') + date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('\'');
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00'");
}

QString SqlDialect::avanzaContatore() const
{
    if (m_engine == Motore::SqlServer) return QStringLiteral("{call Contatore_update(?, ?)}");
    return QStringLiteral(
        "UPDATE Contatori SET Valore = Valore + 1 WHERE NomeContatore = ? RETURNING Valore");
}

QString SqlDialect::elencoDatabase() const
{
    if (m_engine == Motore::SqlServer) return QStringLiteral("sp_databases");
    return {};
}
