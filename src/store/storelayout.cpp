#include "store/storelayout.h"

#include "schemasql.h"
#include "services/failure.h"
#include "store/sqlitecollation.h"

#include <QSet>

#include <sqlite3.h>

namespace {
const QString kSuffissoVecchia = QStringLiteral("__layout1");

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// A statement's failure, with SQLite's message.
class StoreError
{
public:
    StoreError(int code, QString message) : code(code), message(std::move(message)) {}
    int code;
    QString message;
};

void exec(sqlite3* handle, const QString& sql)
{
    char* message = nullptr;
    const int code = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (code == SQLITE_OK) return;
    const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(handle));
    sqlite3_free(message);
    throw StoreError(code, text);
}

// The rows of a query, every value as text.
QList<QStringList> rows(sqlite3* handle, const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &statement, nullptr);
    QList<QStringList> result;
    while ((code == SQLITE_OK || code == SQLITE_ROW) && (code = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
        result << row;
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(statement);
    if (code != SQLITE_DONE) throw StoreError(code, message);
    return result;
}

// The name of the table that a "CREATE TABLE name (" or "INSERT INTO name (" statement names.
QString tableOf(const QString& statement, int words)
{
    return statement.simplified().section(QLatin1Char(' '), words, words);
}

QStringList columnsOf(sqlite3* handle, const QString& table)
{
    QStringList names;
    for (const QStringList& row : rows(handle, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table))))
        names << row.value(1);
    return names;
}

// Layout 1 to the current one. SQLite cannot change a column's collation in place: each table of the
// schema is renamed, created again as the schema declares it, filled with the old rows (their rowids
// too, so the order of the staged sales stays) and the old one dropped. Views, triggers and indexes go
// first (a view would hold a renamed table) and the schema's own come back at the end.
void rebuild(sqlite3* handle)
{
    for (const QStringList& object :
         rows(handle, QStringLiteral("SELECT type, name FROM sqlite_master WHERE "
                                     "type IN ('view', 'trigger') ORDER BY type")))
        exec(handle,
             QStringLiteral("DROP %1 IF EXISTS %2").arg(object.value(0).toUpper(), quoted(object.value(1))));
    for (const QStringList& index :
         rows(handle,
              QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL")))
        exec(handle, QStringLiteral("DROP INDEX IF EXISTS %1").arg(quoted(index.value(0))));

    QSet<QString> existing;
    for (const QStringList& table :
         rows(handle, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        existing << table.value(0).toLower();
    const QStringList statements = istruzioniSchema();
    QStringList rebuilt;
    for (const QString& statement : statements) {
        if (!statement.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive)) continue;
        const QString table = tableOf(statement, 2);
        if (existing.contains(table.toLower())) {
            exec(handle, QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                             .arg(quoted(table), quoted(table + kSuffissoVecchia)));
            rebuilt << table;
        }
        exec(handle, statement);
    }
    for (const QString& table : rebuilt) {
        const QString old = table + kSuffissoVecchia;
        const QStringList kept = columnsOf(handle, old);
        QStringList columns{QStringLiteral("rowid")};
        for (const QString& column : columnsOf(handle, table))
            if (kept.contains(column, Qt::CaseInsensitive)) columns << quoted(column);
        const QString list = columns.join(QStringLiteral(", "));
        exec(handle,
             QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3").arg(quoted(table), list, quoted(old)));
        exec(handle, QStringLiteral("DROP TABLE %1").arg(quoted(old)));
    }
    for (const QString& statement : statements) {
        const bool seedOfNewTable = statement.startsWith(QLatin1String("INSERT INTO"), Qt::CaseInsensitive) &&
                                    !existing.contains(tableOf(statement, 2).toLower());
        if (seedOfNewTable || statement.startsWith(QLatin1String("CREATE INDEX"), Qt::CaseInsensitive) ||
            statement.startsWith(QLatin1String("CREATE VIEW"), Qt::CaseInsensitive))
            exec(handle, statement);
    }
    exec(handle, QStringLiteral("PRAGMA user_version = %1").arg(kLayoutStore));
}

bool busy(int code)
{
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

// The store refuses to be written, or its side files cannot be made beside it: a read-only file,
// folder or mount.
bool notWritable(sqlite3* handle, int code)
{
    return (code & 0xFF) == SQLITE_READONLY || (code & 0xFF) == SQLITE_CANTOPEN ||
           sqlite3_db_readonly(handle, "main") == 1;
}

QString busyMessage(const QString& database)
{
    return QStringLiteral("Il database \"%1\" è occupato da un altro programma che lo tiene bloccato: "
                          "riprovare quando quel programma ha finito")
        .arg(database);
}
} // namespace

QStringList istruzioniSchema()
{
    QStringList statements;
    QString current;
    for (const QString& line : QString::fromUtf8(kStoreSchemaSql).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))) continue;
        current += (current.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        if (trimmed.endsWith(QLatin1Char(';'))) {
            statements << current;
            current.clear();
        }
    }
    return statements;
}

namespace {
QString messaggioSolaLettura(const QString& database)
{
    return QStringLiteral("Il database \"%1\" non può essere scritto: il file, la sua cartella o il disco "
                          "sono in sola lettura")
        .arg(database);
}
} // namespace

void preparaStore(sqlite3* handle, const QString& database)
{
    int layout = 0;
    try {
        layout = rows(handle, QStringLiteral("PRAGMA user_version")).value(0).value(0).toInt();
        rows(handle, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (sqlite3_db_readonly(handle, "main") == 1)
            throw Failure(FailureCode::Database, messaggioSolaLettura(database));
    } catch (const StoreError& error) {
        if (busy(error.code)) throw Failure(FailureCode::Database, busyMessage(database));
        if (notWritable(handle, error.code))
            throw Failure(FailureCode::Database, messaggioSolaLettura(database));
        throw Failure(FailureCode::Database,
                      QStringLiteral("Il file del database \"%1\" non è un database SQLite leggibile: %2")
                          .arg(database, error.message));
    }
    if (layout > kLayoutStore)
        throw Failure(
            FailureCode::Database,
            QStringLiteral("Il database \"%1\" ha la struttura %2, più recente di quella che questo "
                           "programma conosce (%3)")
                .arg(database)
                .arg(layout)
                .arg(kLayoutStore));
    if (layout != 1) return;
    // The old collation is still needed to read the old tables' indexes while they are rebuilt.
    if (!registraCollazione(handle))
        throw Failure(FailureCode::Database,
                      QStringLiteral("Impossibile registrare il confronto dei testi su SQLite"));
    try {
        exec(handle, QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const StoreError& error) {
        if (busy(error.code)) throw Failure(FailureCode::Database, busyMessage(database));
        throw Failure(
            FailureCode::Database,
            QStringLiteral("Impossibile aggiornare il database \"%1\": %2").arg(database, error.message));
    }
    try {
        // Another program may have upgraded the store while this one waited for the lock.
        if (rows(handle, QStringLiteral("PRAGMA user_version")).value(0).value(0).toInt() == 1)
            rebuild(handle);
        exec(handle, QStringLiteral("COMMIT"));
    } catch (const StoreError& error) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Failure(FailureCode::Database,
                      QStringLiteral("Impossibile aggiornare la struttura del database \"%1\" (nulla è stato "
                                     "modificato): %2")
                          .arg(database, error.message));
    }
}
