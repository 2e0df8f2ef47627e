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

QFileInfoList databases(const QString& folder)
{
    return QDir(folder).entryInfoList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name);
}
} // namespace

void TdsServerSettings::log(const QString& line)
{
    std::lock_guard lock(mutex);
    if (!logFile.isOpen()) return;
    static const QRegularExpression lineEnds(QStringLiteral("[\\r\\n]+"));
    logFile.write(QString(line).replace(lineEnds, QStringLiteral(" ")).toUtf8() + '\n');
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

// The login's database is DIR/<name>.sqlite, or an empty one for master (or any name, if so configured).
QByteArray TdsSession::login(const tds::Login& login, bool& accepted)
{
    accepted = false;
    if (!m_settings.user.isEmpty() &&
        (login.user != m_settings.user || login.password != m_settings.password))
        return tds::refusal(18456, 14, QStringLiteral("Login failed for user '%1'.").arg(login.user));
    QString database = login.database.isEmpty() ? QStringLiteral("master") : login.database;
    QString path = QStringLiteral(":memory:");
    for (const QFileInfo& file : databases(m_settings.folder))
        if (file.completeBaseName().compare(database, Qt::CaseInsensitive) == 0) {
            path = file.absoluteFilePath();
            database = file.completeBaseName();
        }
    if (path.startsWith(QLatin1Char(':')) && !m_settings.anyDatabase &&
        database.compare(QLatin1String("master"), Qt::CaseInsensitive) != 0)
        return tds::refusal(
            4060, 11,
            QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                .arg(database));
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_busy_timeout(m_db, kBusyMs);
    tds::compareAsSqlServer(m_db);
    accepted = true;
    return tds::loginReply(database);
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

// One statement on SQLite; a failure is answered with SQL Server's number for it.
bool TdsSession::query(const QString& sqlite, const Values& values, tds::Result& result, Answer& answer)
{
    QString missing;
    if (tds::run(m_db, sqlite, values, result, missing)) return true;
    const int code = sqlite3_extended_errcode(m_db);
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int number = !missing.isEmpty()                                                         ? 137
                       : code == SQLITE_CONSTRAINT_NOTNULL                                        ? 515
                       : code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE ? 2627
                       : (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED           ? 1222
                       : message.startsWith(QLatin1String("no such table"))                       ? 208
                       : message.startsWith(QLatin1String("no such column"))                      ? 207
                       : message.contains(QLatin1String("syntax error"))                          ? 102
                                                                                                  : 50000;
    fail(number,
         number == 137     ? QStringLiteral("Must declare the scalar variable \"%1\".").arg(missing)
         : number == 50000 ? message
                           : errorText(number) + QStringLiteral(" (") + message + ')',
         answer);
    return false;
}

bool TdsSession::evaluate(const QString& expression, const Values& values, QVariant& value, Answer& answer)
{
    tds::Result result;
    if (!query(QStringLiteral("SELECT ") + tds::toSqlite(expression, inTransaction()), values, result,
               answer))
        return false;
    value = result.rows.value(0).value(0);
    return true;
}

bool TdsSession::run(const QString& statement, Values& values, Answer& answer)
{
    if (const int fault = m_settings.faultFor(statement)) return fail(fault, {}, answer);
    QRegularExpressionMatch m;
    if ((m = matched("^(?:DECLARE|SET)\\s+(@\\w+)(?:\\s+[\\w\\s(),]+?)?(?:\\s*=\\s*(.+))?$", statement))
            .hasMatch()) // without a value, NULL
        return evaluate(m.captured(2).isEmpty() ? QStringLiteral("NULL") : m.captured(2), values,
                        values[m.captured(1).toLower()], answer) ||
               !answer.aborted;
    if ((m = matched("^SET\\s+(.+?)(?:\\s+(ON|OFF))?$", statement)).hasMatch()) {
        const bool on = m.captured(2).toUpper() == QLatin1String("ON");
        for (const QString& option : m.captured(1).toUpper().split(QLatin1Char(','))) {
            if (option.trimmed() == QLatin1String("NOCOUNT")) m_noCount = on;
            if (option.trimmed() == QLatin1String("XACT_ABORT")) m_xactAbort = on;
        }
        answer.done(0, 0, 0);
        return true;
    }
    if (matched("^EXEC(UTE)?\\s", statement).hasMatch() || matched("^\\w+$", statement).hasMatch())
        return exec(statement, values, answer);
    tds::Result result;
    if (!query(tds::toSqlite(statement, inTransaction() ? 1 : 0), values, result, answer))
        return !answer.aborted;
    const bool counted = !m_noCount && !m_settings.noCount;
    if (!result.names.isEmpty())
        tds::resultSet(answer.out, result);
    else if (!m_settings.triggerOn.isEmpty() && statement.contains(m_settings.triggerOn, Qt::CaseInsensitive))
        answer.out.done(0xFF, tds::More | (counted ? tds::Count : 0), 0xC3, 1); // a trigger's own insert
    answer.done(counted ? tds::Count : 0, doneCommand(statement), quint64(result.changes));
    return true;
}

// EXEC of a procedure, its arguments any expressions, its OUTPUT arguments variables of the batch. The
// procedures are sp_databases and the store's Contatore_update: one statement adds one to the named
// counter and returns the new value (NULL stays NULL, an unknown name gives NULL).
bool TdsSession::exec(const QString& statement, Values& values, Answer& answer)
{
    static const QStringList kCounter{QStringLiteral("@nomecontatore"), QStringLiteral("@valore")};
    const QRegularExpressionMatch m = matched("^(?:EXEC(?:UTE)?\\s+)?(\\w+)\\s*(.*)$", statement);
    const QString name = m.captured(1).toLower();
    Values arguments;
    QHash<QString, QString> outputs; // parameter → the batch's variable it returns into
    const QStringList parts = tds::statements(m.captured(2), QLatin1Char(','));
    for (int i = 0; i < parts.size(); ++i) {
        const QRegularExpressionMatch a = matched("^(?:(@\\w+)\\s*=\\s*)?(.+?)(\\s+OUT(PUT)?)?$", parts[i]);
        const QString parameter = a.captured(1).isEmpty() ? kCounter.value(i) : a.captured(1).toLower();
        if (!evaluate(a.captured(2), values, arguments[parameter], answer)) return !answer.aborted;
        if (!a.captured(3).isEmpty()) outputs.insert(parameter, a.captured(2).toLower());
    }
    tds::Result result;
    if (name == QLatin1String("sp_databases")) {
        result = {
            {"DATABASE_NAME", "DATABASE_SIZE", "REMARKS"}, {{tds::Type::Text}, {}, {tds::Type::Text}}, {}};
        for (const QFileInfo& file : databases(m_settings.folder))
            result.rows.append({file.completeBaseName(), qint64(file.size() / 1024), QVariant()});
        tds::resultSet(answer.out, result);
        answer.done(tds::Count, 0xC1, quint64(result.rows.size()));
    } else if (name != QLatin1String("contatore_update")) {
        return fail(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(name), answer);
    } else if (query(QStringLiteral("UPDATE Contatori SET Valore = Valore + 1 WHERE NomeContatore = "
                                    "@nomecontatore RETURNING Valore"),
                     arguments, result, answer)) {
        arguments.insert(kCounter[1], result.rows.value(0).value(0));
    } else {
        return !answer.aborted;
    }
    for (auto it = outputs.cbegin(); it != outputs.cend(); ++it)
        values.insert(it.value(), arguments.value(it.key()));
    answer.out.u8(0x79).u32(0); // the return status
    answer.out.done(0xFE, tds::More, 0xE0, 0);
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
        values.insert(p.name.toLower(), p.value);
        QString value = p.value.isNull() ? QStringLiteral("NULL") : p.value.toString();
        if (p.value.typeId() == QMetaType::QString)
            value = QStringLiteral("N'") + value.replace('\'', QStringLiteral("''")) + QLatin1Char('\'');
        logged << p.name + QLatin1Char(' ') + match.captured(2) + QStringLiteral(" = ") + value;
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
        returned << Parameter{p.value(0).name, m_nextHandle++};
    } else if (call.name == QLatin1String("sp_cursoropen")) { // Qt's set-up statements, no rows to keep
        runPrepared(text(1), {}, {}, answer);
        for (int i : {0, 2, 3, 4})
            if (i < p.size()) returned << Parameter{p[i].name, i == 0 ? QVariant(0) : p[i].value};
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
