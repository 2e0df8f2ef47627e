// A client connection's session on the store: the statements it runs itself (variables, options,
// procedures, the system procedures that carry bound statements) and those it hands to SQLite.
#include "tdssession.h"

#include <QDir>
#include <QRegularExpression>
#include <QtEndian>

using tds::Parameter;
using tds::Tokens;
using tds::Values;

namespace {
constexpr int kBusyMs = 5000;

QString errorText(int number)
{
    static const QHash<int, QString> kTexts{
        {515, "Cannot insert the value NULL into column; column does not allow nulls. INSERT fails."},
        {8152, "String or binary data would be truncated."},
        {1205,
         "Transaction (Process ID 51) was deadlocked on lock resources with another process and has been "
         "chosen as the deadlock victim. Rerun the transaction."},
        {1222, "Lock request time out period exceeded."},
        {2627, "Violation of PRIMARY KEY constraint. Cannot insert duplicate key."}};
    return kTexts.value(number, QStringLiteral("Error %1 raised on request.").arg(number));
}

int doneCommand(const QString& statement)
{
    static const QHash<QString, int> kCommands{
        {"SELECT", 0xC1}, {"INSERT", 0xC3}, {"DELETE", 0xC4}, {"UPDATE", 0xC5}};
    return kCommands.value(statement.section(QLatin1Char(' '), 0, 0).toUpper());
}

QRegularExpressionMatch matched(const char* pattern, const QString& text)
{
    return QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption |
                                                          QRegularExpression::DotMatchesEverythingOption)
        .match(text);
}
// Columns of a result set and its rows, as the TDS tokens of an answer.
void resultSet(Tokens& out, const QStringList& names, const QVector<tds::Type>& types,
               const QVector<QVector<QVariant>>& rows)
{
    out.u8(0x81).u16(int(names.size()));
    for (int i = 0; i < names.size(); ++i)
        types[i].declare(out.u32(0).u16(0x0001)).bVarchar(names[i]);
    for (const QVector<QVariant>& row : rows) {
        out.u8(0xD1);
        for (int i = 0; i < row.size(); ++i)
            types[i].value(out, row[i]);
    }
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
    if (accepted) return tds::loginReply(m_database);
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

bool TdsSession::run(const QString& statement, Values& values, Answer& answer)
{
    if (const int fault = m_settings.faultFor(statement)) return fail(fault, {}, answer);
    QRegularExpressionMatch m;
    if ((m = matched("^(?:DECLARE|SET)\\s+(@\\w+)(?:\\s+[\\w\\s(),]+?)?(?:\\s*=\\s*(.+))?$", statement))
            .hasMatch()) {
        values.insert(m.captured(1).toLower(), evaluate(m.captured(2), values)); // no value: NULL
    } else if (matched("^SET\\s", statement).hasMatch()) {
        m = matched("^SET\\s+([\\w\\s,]+?)\\s+(ON|OFF)$", statement);
        const bool on = m.captured(2).toUpper() == QLatin1String("ON");
        for (const QString& option : m.captured(1).toUpper().split(QLatin1Char(','))) {
            if (option.trimmed() == QLatin1String("NOCOUNT")) m_noCount = on;
            if (option.trimmed() == QLatin1String("XACT_ABORT")) m_xactAbort = on;
        }
        answer.done(0, 0, 0);
    } else if (matched("^EXEC(UTE)?\\s", statement).hasMatch() || matched("^\\w+$", statement).hasMatch()) {
        return exec(statement, values, answer);
    } else {
        return execute(statement, values, answer);
    }
    return true;
}

// EXEC of a procedure, its arguments any expressions, its OUTPUT arguments variables of the batch.
bool TdsSession::exec(const QString& statement, Values& values, Answer& answer)
{
    const QRegularExpressionMatch m = matched("^(?:EXEC(?:UTE)?\\s+)?(\\w+)\\s*(.*)$", statement);
    QVector<Parameter> parameters;
    QStringList targets; // the batch's variable each parameter returns into, if any
    for (const QString& part : tds::statements(m.captured(2), QLatin1Char(','))) {
        const QRegularExpressionMatch a = matched("^(?:(@\\w+)\\s*=\\s*)?(.+?)(\\s+OUT(PUT)?)?$", part);
        parameters << Parameter{a.captured(1), !a.captured(3).isEmpty(), {}, evaluate(a.captured(2), values)};
        targets << (a.captured(3).isEmpty() ? QString() : a.captured(2).toLower());
    }
    const bool goOn = procedure(m.captured(1), parameters, answer);
    for (int i = 0; i < parameters.size(); ++i)
        if (!targets[i].isEmpty()) values.insert(targets[i], parameters[i].value);
    answer.out.u8(0x79).u32(0); // the return status
    answer.out.done(0xFE, tds::More, 0xE0, 0);
    return goOn;
}

bool TdsSession::procedure(const QString& name, QVector<Parameter>& parameters, Answer& answer)
{
    const auto at = [&parameters](const char* wanted, int position) -> Parameter* {
        for (Parameter& p : parameters)
            if (p.name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) return &p;
        return position < parameters.size() && parameters[position].name.isEmpty() ? &parameters[position]
                                                                                   : nullptr;
    };
    if (name.compare(QLatin1String("sp_databases"), Qt::CaseInsensitive) == 0) {
        QVector<QVector<QVariant>> rows;
        for (const QFileInfo& file :
             QDir(m_settings.folder).entryInfoList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name))
            rows.append({file.completeBaseName(), qint64(file.size() / 1024), QVariant()});
        resultSet(answer.out, {"DATABASE_NAME", "DATABASE_SIZE", "REMARKS"},
                  {{tds::Type::Text}, {tds::Type::Int}, {tds::Type::Text}}, rows);
        answer.done(tds::Count, 0xC1, quint64(rows.size()));
    } else if (name.compare(QLatin1String("Contatore_update"), Qt::CaseInsensitive) == 0) {
        // As the store's procedure: one statement adds one to the named counter and returns the new
        // value (NULL stays NULL, an unknown name gives NULL).
        Parameter* counter = at("@NomeContatore", 0);
        Parameter* value = at("@Valore", 1);
        Result result;
        if (!query(QStringLiteral("UPDATE Contatori SET Valore = Valore + 1 WHERE NomeContatore = @nome "
                                  "RETURNING Valore"),
                   {{QStringLiteral("@nome"), counter ? counter->value : QVariant()}}, result, answer))
            return false;
        if (value) value->value = result.rows.isEmpty() ? QVariant() : result.rows[0][0];
    } else {
        return fail(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(name), answer);
    }
    return true;
}

// The statements of sp_prepexec or sp_cursoropen with their values, which take the names of the
// declarations in order, logged with the types the declaration gives them.
void TdsSession::runPrepared(const QString& statement, const QString& declaration,
                             const QVector<Parameter>& parameters, Answer& answer)
{
    Values values;
    QStringList logged;
    const QRegularExpression declared(QStringLiteral("(@\\w+)\\s+(\\w+(?:\\s*\\([^)]*\\))?)"));
    auto it = declared.globalMatch(declaration);
    for (Parameter p : parameters) {
        const QRegularExpressionMatch match = it.hasNext() ? it.next() : QRegularExpressionMatch();
        if (p.name.isEmpty()) p.name = match.captured(1);
        p.type = match.captured(2);
        values.insert(p.name.toLower(), p.value);
        logged << tds::describe(p);
    }
    m_settings.log(logged.isEmpty() ? statement
                                    : statement + QStringLiteral(" -- ") + logged.join(QStringLiteral(", ")));
    for (const QString& part : tds::statements(statement))
        if (!run(part, values, answer)) break;
}

QByteArray TdsSession::call(const tds::Call& call)
{
    Answer answer;
    const QVector<Parameter>& p = call.parameters;
    QVector<Parameter> returned;
    const auto text = [&p](int i) { return p.value(i).value.toString(); };
    if (call.name == QLatin1String("sp_prepexec")) { // how every statement comes, prepared and run at once
        runPrepared(text(2), text(1), p.mid(3), answer);
        returned << Parameter{p.value(0).name, true, {}, m_nextHandle++};
    } else if (call.name == QLatin1String("sp_cursoropen")) { // Qt's set-up statements, no rows to keep
        runPrepared(text(1), {}, {}, answer);
        for (int i : {0, 2, 3, 4})
            if (i < p.size()) returned << Parameter{p[i].name, true, {}, i == 0 ? QVariant(0) : p[i].value};
    } else if (call.name != QLatin1String("sp_unprepare")) { // nothing kept to drop
        fail(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(call.name), answer);
    }
    answer.out.u8(0x79).u32(0); // the return status
    for (int i = 0; i < returned.size(); ++i) {
        const Parameter& r = returned[i];
        const tds::Type type{r.value.typeId() == QMetaType::QString ? tds::Type::Text : tds::Type::Int};
        type.declare(answer.out.u8(0xAC).u16(i).bVarchar(r.name).u8(0x01).u32(0).u16(0x0001));
        type.value(answer.out, r.value);
    }
    answer.out.done(0xFE, answer.aborted ? tds::Error : 0, 0xE0, 0);
    return answer.out.bytes;
}

QByteArray TdsSession::transactionRequest(const QByteArray& body)
{
    // Begin (5), commit (7) or rollback (8) of the transaction manager; the last two may begin anew.
    const qsizetype at = tds::afterHeaders(body);
    const int request = at + 2 <= body.size() ? qFromLittleEndian<quint16>(body.constData() + at) : 0;
    Tokens out;
    if (request == 7 || request == 8) {
        const auto byte = [&body](qsizetype i) { return i < body.size() ? uchar(body[i]) : 0; };
        end(request == 7, out);
        if (byte(at + 2 + 1 + 2 * qsizetype(byte(at + 2))) & 0x01) begin(out);
    } else if (request == 5) {
        begin(out);
    }
    m_settings.log(QStringLiteral("-- transaction request %1").arg(request));
    return out.done(0xFD, 0, 0, 0).bytes;
}
