#include "tdssession.h"

#include <QDir>
#include <QRegularExpression>

using tds::Tokens;
using tds::Values;

namespace {
constexpr int kPacketSize = 4096;
constexpr int kBusyMs = 5000;

QString errorText(int number)
{
    switch (number) {
    case 515:
        return "Cannot insert the value NULL into column; column does not allow nulls. INSERT fails.";
    case 8152:
        return "String or binary data would be truncated.";
    case 1205:
        return "Transaction (Process ID 51) was deadlocked on lock resources with another process and has "
               "been chosen as the deadlock victim. Rerun the transaction.";
    case 1222:
        return "Lock request time out period exceeded.";
    case 2627:
        return "Violation of PRIMARY KEY constraint. Cannot insert duplicate key.";
    }
    return QStringLiteral("Error %1 raised on request.").arg(number);
}

int doneCommand(const QString& statement)
{
    const QString verb = statement.section(QLatin1Char(' '), 0, 0).toUpper();
    return verb == "SELECT"   ? 0xC1
           : verb == "INSERT" ? 0xC3
           : verb == "DELETE" ? 0xC4
           : verb == "UPDATE" ? 0xC5
                              : 0;
}
} // namespace

void TdsServerSettings::log(const QString& line)
{
    std::lock_guard lock(mutex);
    if (!logFile.isOpen()) return;
    logFile.write(QString(line).replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), " ").toUtf8() +
                  '\n');
    logFile.flush();
}

int TdsServerSettings::faultFor(const QString& statement)
{
    std::lock_guard lock(mutex);
    for (Fault& fault : faults)
        if (fault.times > 0 && statement.contains(fault.text, Qt::CaseInsensitive) && fault.skip-- <= 0) {
            --fault.times;
            return fault.number;
        }
    return 0;
}

TdsSession::~TdsSession()
{
    if (inTransaction()) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

// The login's database: DIR/<name>.sqlite, or an empty one for master (or any name, if so configured).
bool TdsSession::open(const QString& database)
{
    QString path = QStringLiteral(":memory:");
    m_database = QStringLiteral("master");
    if (!database.isEmpty() && database.compare(m_database, Qt::CaseInsensitive) != 0) {
        path.clear();
        for (const QFileInfo& file :
             QDir(m_settings.folder).entryInfoList({QStringLiteral("*.sqlite")}, QDir::Files))
            if (file.completeBaseName().compare(database, Qt::CaseInsensitive) == 0) {
                path = file.absoluteFilePath();
                m_database = file.completeBaseName();
            }
        if (path.isEmpty() && !m_settings.anyDatabase) return false;
        if (path.isEmpty()) path = QStringLiteral(":memory:"), m_database = database;
    }
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_busy_timeout(m_db, kBusyMs);
    tds::compareAsSqlServer(m_db);
    return true;
}

QByteArray TdsSession::login(const tds::Login& login, bool& accepted)
{
    const bool known =
        m_settings.user.isEmpty() || (login.user == m_settings.user && login.password == m_settings.password);
    accepted = known && open(login.database);
    if (accepted) return tds::loginReply(m_database, kPacketSize);
    Tokens out;
    if (known)
        out.error(4060, 1, 11,
                  QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                      .arg(login.database));
    else
        out.error(18456, 1, 14, QStringLiteral("Login failed for user '%1'.").arg(login.user));
    return out.done(0xFD, tds::Error, 0, 0).bytes;
}

bool TdsSession::fail(int number, const QString& message, Answer& answer)
{
    answer.out.error(number, number == 1205 ? 51 : 1, number == 1205 ? 13 : 16,
                     message.isEmpty() ? errorText(number) : message);
    answer.done(tds::Error, 0, 0);
    // A deadlock victim loses its transaction and its batch; with XACT_ABORT so does any error.
    answer.aborted = number == 1205 || m_xactAbort;
    if (answer.aborted && inTransaction()) end(false, answer.out);
    return !answer.aborted;
}

void TdsSession::sqliteFailure(Answer& answer)
{
    const int code = sqlite3_extended_errcode(m_db);
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int number = code == SQLITE_CONSTRAINT_NOTNULL                                          ? 515
                       : code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE ? 2627
                       : (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED           ? 1222
                       : message.startsWith(QLatin1String("no such table"))                       ? 208
                       : message.startsWith(QLatin1String("no such column"))                      ? 207
                       : message.contains(QLatin1String("syntax error"))                          ? 102
                                                                                                  : 50000;
    fail(number, number == 50000 ? message : errorText(number) + QStringLiteral(" (") + message + ')',
         answer);
}

void TdsSession::begin(Tokens& out)
{
    if (inTransaction()) return;
    sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    ++m_transactions;
    out.envChange(8, Tokens().u64(m_transactions).bytes, {}, false);
}

void TdsSession::end(bool commit, Tokens& out)
{
    if (!inTransaction()) return;
    sqlite3_exec(m_db, commit ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    if (inTransaction()) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    out.envChange(commit ? 9 : 10, {}, Tokens().u64(m_transactions).bytes, false);
}

QVariant TdsSession::evaluate(const QString& expression, const Values& values)
{
    sqlite3_stmt* statement = nullptr;
    QString missing;
    QVariant result;
    const QByteArray sql =
        QStringLiteral("SELECT ").append(tds::toSqlite(expression, inTransaction())).toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK &&
        tds::bind(statement, values, missing) && sqlite3_step(statement) == SQLITE_ROW)
        result = tds::columnValue(statement, 0);
    sqlite3_finalize(statement);
    return result;
}

bool TdsSession::query(const QString& sqlite, const Values& values, Result& result, Answer& answer)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sqlite.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        sqliteFailure(answer);
        return false;
    }
    QString missing;
    if (!tds::bind(statement, values, missing)) {
        sqlite3_finalize(statement);
        return fail(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(missing), answer);
    }
    const int columns = sqlite3_column_count(statement);
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        result.rows.append(QVector<QVariant>());
        for (int i = 0; i < columns; ++i)
            result.rows.last() << tds::columnValue(statement, i);
    }
    for (int i = 0; i < columns && code == SQLITE_DONE; ++i) {
        QVector<QVariant> values;
        for (const QVector<QVariant>& row : std::as_const(result.rows))
            values << row[i];
        result.names << QString::fromUtf8(sqlite3_column_name(statement, i));
        result.types << tds::columnType(m_db, statement, i, values);
    }
    result.changes = columns == 0 ? sqlite3_changes64(m_db) : result.rows.size();
    sqlite3_finalize(statement);
    if (code != SQLITE_DONE) sqliteFailure(answer);
    return code == SQLITE_DONE;
}

bool TdsSession::execute(const QString& statement, const Values& values, Answer& answer)
{
    Result result;
    if (!query(tds::toSqlite(statement, inTransaction() ? 1 : 0), values, result, answer))
        return !answer.aborted;
    const bool counted = !m_noCount && !m_settings.noCount;
    if (!result.names.isEmpty()) {
        resultSet(answer.out, result.names, result.types, result.rows);
    } else if (!m_settings.triggerOn.isEmpty() &&
               statement.contains(m_settings.triggerOn, Qt::CaseInsensitive)) {
        answer.out.done(0xFF, tds::More | (counted ? tds::Count : 0), 0xC3, 1); // a trigger's own insert
    }
    answer.done(counted ? tds::Count : 0, doneCommand(statement), quint64(result.changes));
    return true;
}
