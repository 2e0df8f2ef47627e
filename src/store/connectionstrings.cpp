#include "store/connectionstrings.h"

namespace {
QString& currentString()
{
    static QString text;
    return text;
}
} // namespace

QString StringaConnessioneMaster(const QString& server, const QString& user, const QString& password)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=") + user +
           QStringLiteral(";Password=") + password + QStringLiteral(";Initial Catalog=master;Data Source=") +
           server;
}

QString StringaConnessione(const QString& server, const QString& user, const QString& password,
                           const QString& database)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=") + user +
           QStringLiteral(";Password=") + password + QStringLiteral(";Initial Catalog= ") + database +
           QStringLiteral(";Data Source=") + server;
}

QString stringaConnessioneCorrente()
{
    return currentString();
}

void impostaStringaConnessioneCorrente(const QString& text)
{
    currentString() = text;
}
