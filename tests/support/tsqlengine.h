#pragma once

#include "services/connectionsettings.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The real T-SQL engine of the SQL Server tests (scripts/tsql-engine serve) as a child process: started
// on first use, once for the whole test executable, and stopped when the executable ends. Each test makes
// databases of its own on it.
class TsqlEngine
{
public:
    // The engine; started() tells whether it answered, error() why not.
    static TsqlEngine& instance();

    bool started() const { return m_port > 0; }
    const QString& error() const { return m_error; }
    // "127.0.0.1,PORT", as the server setting of a connection.
    QString serverName() const { return QStringLiteral("127.0.0.1,%1").arg(m_port); }
    const QString& user() const { return m_user; }
    const QString& password() const { return m_password; }
    ImpostazioniConnessione settings(const QString& database) const;

    // A database name not used yet on this engine.
    QString newName();
    // A new database holding the embedded store's rows (tavira-store carica); "" when that failed, with
    // the tool's words in `why`.
    QString load(const QString& storeFile, QString* why = nullptr);
    // The database's store tables into a new embedded store file (tavira-store scarica).
    bool download(const QString& database, const QString& storeFile, QString* why = nullptr);
    // A batch run on the database through a connection of its own: "" when done, else the error.
    QString exec(const QString& database, const QString& sql);

    void stop();

private:
    TsqlEngine();
    QString tool(const QStringList& arguments, bool& ok);

    QProcess m_process;
    int m_port = 0;
    int m_names = 0;
    QString m_user, m_password, m_error;
};
