#include "store/odbcstring.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
void refuse(const QString& what, const QString& reason)
{
    throw ConnessioneRifiutata(FailureCode::Database,
                               QStringLiteral("%1 %2: connessione non tentata").arg(what, reason));
}

QString quoted(const QString& value, const QString& what, ValoriDriver rule)
{
    if (value.contains(QChar(0))) refuse(what, QStringLiteral("contiene un carattere nullo"));
    switch (rule) {
    case ValoriDriver::GraffeRaddoppiate:
        break;
    case ValoriDriver::GraffeSemplici:
        if (value.contains(QLatin1Char('}')))
            refuse(what,
                   QStringLiteral(
                       "contiene il carattere \"}\", che il driver FreeTDS non trasmette correttamente"));
        break;
    case ValoriDriver::Nudi:
        for (QChar c : {QLatin1Char(';'), QLatin1Char('{'), QLatin1Char('}')})
            if (value.contains(c))
                refuse(what,
                       QStringLiteral("contiene il carattere \"%1\", che il driver ODBC in uso non trasmette")
                           .arg(c));
        if (value != value.trimmed())
            refuse(what,
                   QStringLiteral("inizia o finisce con spazi, che il driver ODBC in uso non trasmette"));
        return value;
    }
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

// Microsoft's drivers from version 18 on encrypt by default and check the server's certificate, which a
// shop server's self-signed one fails.
bool encryptsByDefault(const QString& driver)
{
    static const QRegularExpression name(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = name.match(driver.trimmed());
    return match.hasMatch() && match.captured(1).toInt() >= 18;
}

// True when the further keys of the environment name that key themselves (Microsoft's drivers take the
// first of two equal keys, so the program's own would win).
bool namesKey(const QString& extra, const QString& key)
{
    for (const QString& pair : extra.split(QLatin1Char(';')))
        if (pair.section(QLatin1Char('='), 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool allDigits(const QString& text)
{
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}
} // namespace

QString driverOdbc()
{
    const QString chosen = qEnvironmentVariable("ESPORTA_IMPORTA_ODBC_DRIVER").trimmed();
    if (!chosen.isEmpty()) return chosen;
#ifdef Q_OS_WIN
    return QStringLiteral("ODBC Driver 18 for SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

bool isFreeTds(const QString& driver)
{
    return driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive) ||
           driver.contains(QLatin1String("libtdsodbc"), Qt::CaseInsensitive);
}

ValoriDriver valoriDelDriver(const QString& driver)
{
    if (isFreeTds(driver)) return ValoriDriver::GraffeSemplici;
    if (driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive)) return ValoriDriver::Nudi;
    return ValoriDriver::GraffeRaddoppiate;
}

QString stringaOdbc(const ImpostazioniConnessione& settings, const QString& driver)
{
    const ValoriDriver rule = valoriDelDriver(driver);
    const bool freeTds = isFreeTds(driver);
    const QString server = settings.server.trimmed();
    const QString database = settings.database.trimmed();

    QStringList keys;
    // The driver's name itself is always braced: the driver manager reads it, not the driver.
    keys << QStringLiteral("DRIVER=") +
                quoted(driver, QStringLiteral("Il nome del driver ODBC"),
                       rule == ValoriDriver::Nudi ? ValoriDriver::GraffeRaddoppiate : rule);

    const qsizetype comma = server.lastIndexOf(QLatin1Char(','));
    const QString port = comma < 0 ? QString() : server.mid(comma + 1).trimmed();
    if (freeTds && allDigits(port)) {
        keys << QStringLiteral("Server=") +
                    quoted(server.left(comma).trimmed(), QStringLiteral("Il nome del server"), rule);
        keys << QStringLiteral("Port=") + port;
    } else {
        keys << QStringLiteral("Server=") + quoted(server, QStringLiteral("Il nome del server"), rule);
    }
    if (!database.isEmpty())
        keys << QStringLiteral("Database=") + quoted(database, QStringLiteral("Il nome del database"), rule);
    keys << QStringLiteral("UID=") + quoted(settings.utente, QStringLiteral("Il nome utente"), rule);
    keys << QStringLiteral("PWD=") + quoted(settings.password, QStringLiteral("La password"), rule);

    if (freeTds) {
        keys << QStringLiteral("ClientCharset=UTF-8"); // Qt reads FreeTDS's text as UTF-8
        keys << QStringLiteral("TDS_Version=7.4");
    }

    const QString extra = qEnvironmentVariable("ESPORTA_IMPORTA_ODBC_EXTRA").trimmed();
    // As the older drivers did: encrypted when the server asks for it, the login always protected.
    if (encryptsByDefault(driver) && !namesKey(extra, QStringLiteral("Encrypt")))
        keys << QStringLiteral("Encrypt=Optional");
    if (!extra.isEmpty()) keys << extra;
    return keys.join(QLatin1Char(';'));
}
