// The statements that the server runs itself rather than hand to SQLite: variables, options,
// transactions, procedures, and the system procedures that carry bound statements.
#include "tdssession.h"

#include <QDir>
#include <QRegularExpression>
#include <QtEndian>

using tds::Parameter;
using tds::Tokens;
using tds::Values;

namespace {
const auto kNoCase =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

QRegularExpressionMatch matched(const char* pattern, const QString& text)
{
    return QRegularExpression(QLatin1String(pattern), kNoCase).match(text);
}

// A literal or variable given to EXEC.
QVariant argument(const QString& text, const Values& values)
{
    if (text.startsWith(QLatin1Char('@'))) return values.value(text.toLower());
    const QRegularExpressionMatch quoted = matched("^N?'(.*)'$", text);
    if (quoted.hasMatch()) return quoted.captured(1).replace(QStringLiteral("''"), QStringLiteral("'"));
    bool whole = false;
    const qint64 number = text.toLongLong(&whole);
    if (whole) return number;
    return text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0 ? QVariant()
                                                                         : QVariant(text.toDouble());
}

} // namespace

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

bool TdsSession::control(const QString& statement, Values& values, Answer& answer, bool& handled)
{
    handled = true;
    QRegularExpressionMatch m;
    if ((m = matched("^DECLARE\\s+(@\\w+)\\s+[\\w\\s(),]+?(?:\\s*=\\s*(.+))?$", statement)).hasMatch()) {
        values.insert(m.captured(1).toLower(),
                      m.captured(2).isEmpty() ? QVariant() : evaluate(m.captured(2), values));
    } else if ((m = matched("^SET\\s+(@\\w+)\\s*=\\s*(.+)$", statement)).hasMatch()) {
        values.insert(m.captured(1).toLower(), evaluate(m.captured(2), values));
    } else if ((m = matched("^SET\\s+([\\w\\s,]+?)\\s+(ON|OFF)$", statement)).hasMatch()) {
        const bool on = m.captured(2).compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
        for (const QString& option : m.captured(1).split(QLatin1Char(','))) {
            const QString name = option.trimmed().toUpper();
            if (name == QLatin1String("NOCOUNT")) m_noCount = on;
            if (name == QLatin1String("XACT_ABORT")) m_xactAbort = on;
            if (name == QLatin1String("IMPLICIT_TRANSACTIONS")) m_implicit = on;
        }
        answer.done(0, 0, 0);
    } else if (matched("^SET\\s", statement).hasMatch()) {
        answer.done(0, 0, 0); // other options change nothing here
    } else if ((m = matched("^USE\\s+\\[?(\\w+)\\]?$", statement)).hasMatch()) {
        if (!open(m.captured(1), answer.out)) return fail(911, "Database does not exist.", answer);
        answer.done(0, 0, 0);
    } else if ((m = matched(
                    "^(?:IF\\s+@@TRANCOUNT\\s*>\\s*0\\s+)?(BEGIN|COMMIT|ROLLBACK)(?:\\s+TRAN\\w*|\\s+WORK)?"
                    "(\\s+BEGIN\\s+TRAN\\w*)?$",
                    statement))
                   .hasMatch()) {
        const QString verb = m.captured(1).toUpper();
        if (verb == QLatin1String("BEGIN") || !m.captured(2).isEmpty()) {
            if (verb != QLatin1String("BEGIN")) end(verb == QLatin1String("COMMIT"), answer.out);
            begin(answer.out);
        } else {
            end(verb == QLatin1String("COMMIT"), answer.out);
        }
        answer.done(0, 0, 0);
    } else if (matched("^EXEC(UTE)?\\s", statement).hasMatch() || matched("^\\w+$", statement).hasMatch()) {
        return exec(statement, values, answer);
    } else {
        handled = false;
    }
    return true;
}

bool TdsSession::exec(const QString& statement, Values& values, Answer& answer)
{
    const QRegularExpressionMatch m = matched("^(?:EXEC(?:UTE)?\\s+)?(\\w+)\\s*(.*)$", statement);
    QVector<Parameter> parameters;
    QStringList targets; // the batch's variable each parameter returns into, if any
    for (const QString& part : tds::statements(m.captured(2), QLatin1Char(','))) {
        const QRegularExpressionMatch a = matched("^(?:(@\\w+)\\s*=\\s*)?(.+?)(\\s+OUT(PUT)?)?$", part);
        parameters << Parameter{a.captured(1), !a.captured(3).isEmpty(), {}, argument(a.captured(2), values)};
        targets << (a.captured(3).isEmpty() ? QString() : a.captured(2).toLower());
    }
    const bool goOn = procedure(m.captured(1), parameters, answer);
    for (int i = 0; i < parameters.size(); ++i)
        if (!targets[i].isEmpty()) values.insert(targets[i], parameters[i].value);
    answer.out.u8(0x79).u32(0); // the return status
    answer.lastDone = answer.out.bytes.size();
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
        answer.out.done(0xFF, tds::More | tds::Count, 0xC1, quint64(rows.size()));
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

// A statement of sp_executesql, sp_prepexec or sp_execute with its values: those without a name take
// the names of the declarations in order.
QByteArray TdsSession::runPrepared(const QString& statement, const QString& declaration,
                                   const QVector<Parameter>& parameters, Answer& answer)
{
    // The declaration names each parameter with its type as the client declared it (length included).
    QStringList names, types;
    const QRegularExpression declared(QStringLiteral("(@\\w+)\\s+(\\w+(?:\\s*\\([^)]*\\))?)"));
    for (auto it = declared.globalMatch(declaration); it.hasNext();) {
        const auto match = it.next();
        names << match.captured(1);
        types << match.captured(2);
    }
    Values values;
    QStringList logged;
    for (int i = 0; i < parameters.size(); ++i) {
        Parameter p = parameters[i];
        if (p.name.isEmpty()) p.name = names.value(i);
        if (i < types.size()) p.type = types.at(i);
        values.insert(p.name.toLower(), p.value);
        logged << tds::describe(p);
    }
    m_settings.log(logged.isEmpty() ? statement
                                    : statement + QStringLiteral(" -- ") + logged.join(QStringLiteral(", ")));
    for (const QString& part : tds::statements(statement))
        if (!run(part, values, answer)) break;
    return {};
}

QByteArray TdsSession::call(const tds::Call& call)
{
    Answer answer;
    answer.inProc = true;
    const QVector<Parameter>& p = call.parameters;
    const QString name = call.name.toLower();
    QVector<Parameter> returned;
    const auto text = [&p](int i) { return i < p.size() ? p[i].value.toString() : QString(); };
    if (name == QLatin1String("sp_executesql")) {
        runPrepared(text(0), text(1), p.mid(2), answer);
    } else if (name == QLatin1String("sp_prepare") || name == QLatin1String("sp_prepexec")) {
        const int handle = m_nextHandle++;
        m_prepared.insert(handle, {text(2), text(1)});
        if (name == QLatin1String("sp_prepexec"))
            runPrepared(text(2), text(1), p.mid(3), answer);
        else
            m_settings.log(QStringLiteral("sp_prepare ") + text(2) + QStringLiteral(" -- ") + text(1));
        returned << Parameter{p.value(0).name, true, {}, handle};
    } else if (name == QLatin1String("sp_execute")) {
        const auto found = m_prepared.constFind(int(p.value(0).value.toLongLong()));
        if (found == m_prepared.constEnd())
            fail(8179, QStringLiteral("Could not find prepared statement with handle %1.").arg(text(0)),
                 answer);
        else
            runPrepared(found->first, found->second, p.mid(1), answer);
    } else if (name == QLatin1String("sp_cursoropen")) {
        // Qt opens its set-up statements as cursors; one without rows needs no cursor to keep.
        if (matched("^\\s*SELECT\\b", text(1)).hasMatch())
            fail(16937, QStringLiteral("A server cursor is not allowed on a SELECT here."), answer);
        else
            runPrepared(text(1), {}, {}, answer);
        for (int i : {0, 2, 3, 4})
            if (i < p.size()) returned << Parameter{p[i].name, true, {}, i == 0 ? QVariant(0) : p[i].value};
    } else if (name.startsWith(QLatin1String("sp_cursor"))) {
        m_settings.log(QStringLiteral("EXEC ") + call.name); // options and closing of a cursor never kept
    } else if (name == QLatin1String("sp_unprepare")) {
        m_prepared.remove(int(p.value(0).value.toLongLong()));
    } else {
        QVector<Parameter> parameters = p;
        QStringList logged;
        for (const Parameter& parameter : p)
            logged << tds::describe(parameter);
        m_settings.log(QStringLiteral("EXEC ") + call.name + QLatin1Char(' ') +
                       logged.join(QStringLiteral(", ")));
        if (!faulted(QStringLiteral("EXEC ") + call.name, answer) && procedure(call.name, parameters, answer))
            for (const Parameter& parameter : parameters)
                if (parameter.output) returned << parameter;
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
