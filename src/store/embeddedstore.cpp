#include "store/embeddedstore.h"

#include "schemasql.h"
#include "services/connectionsettings.h"
#include "services/failure.h"
#include "store/connectionregistry.h"
#include "store/odbcstring.h"
#include "store/sqlitecollation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

#include <sqlite3.h>

namespace {
const QString kSuffix = QStringLiteral(".sqlite");

void runSchema(const QString& filePath)
{
    QString name;
    std::unique_ptr<QSqlDatabase> database = aggiungiConnessione(QStringLiteral("QSQLITE"), name);
    try {
        // The file exists (empty) already: mode=rw never creates another one.
        database->setDatabaseName(QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded) +
                                  QStringLiteral("?mode=rw"));
        database->setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!database->open())
            throw Failure(FailureCode::Database, QStringLiteral("Impossibile creare lo store %1: %2")
                                                     .arg(filePath, database->lastError().text()));
        sqlite3* handle = handleSqlite(*database);
        if (!handle)
            throw Failure(FailureCode::Database, QStringLiteral("Connessione SQLite non disponibile"));
        const QByteArray script =
            QByteArrayLiteral("BEGIN;\n") + QByteArray(kStoreSchemaSql) + QByteArrayLiteral("\nCOMMIT;");
        char* message = nullptr;
        if (sqlite3_exec(handle, script.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(message ? message : "errore sconosciuto");
            sqlite3_free(message);
            sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
            throw Failure(FailureCode::Database,
                          QStringLiteral("Schema dello store non creato: %1").arg(reason));
        }
    } catch (...) {
        rimuoviConnessione(database, name);
        throw;
    }
    rimuoviConnessione(database, name);
}
} // namespace

void creaStoreVuoto(const QString& filePath)
{
    // Created exclusively: a file that appears meanwhile is never taken over (nor later removed).
    QFile file(filePath);
    if (file.exists() || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Failure(FailureCode::PathFileAccess,
                      file.exists()
                          ? QStringLiteral("Il file %1 esiste già").arg(QDir::toNativeSeparators(filePath))
                          : QStringLiteral("Impossibile creare il file %1: %2")
                                .arg(QDir::toNativeSeparators(filePath), file.errorString()));
    file.close();
    try {
        runSchema(QFileInfo(filePath).absoluteFilePath());
    } catch (...) {
        QFile::remove(filePath);
        throw;
    }
}

ImpostazioniConnessione impostazioniFileStore(const QString& filePath)
{
    const QFileInfo info(filePath);
    const QString fileName = info.fileName();
    if (!fileName.endsWith(kSuffix, Qt::CaseInsensitive) || fileName.size() == kSuffix.size())
        throw ConnessioneRifiutata(
            FailureCode::Database,
            QStringLiteral("Il nome del file dello store deve terminare con .sqlite: %1")
                .arg(QDir::toNativeSeparators(filePath)));
    ImpostazioniConnessione settings;
    settings.server = QStringLiteral("sqlite:") + info.absolutePath();
    settings.database = fileName.left(fileName.size() - kSuffix.size());
    return settings;
}
