#include "tdsprotocol.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace tds {
namespace {
// Texts compared letter case and trailing blanks aside, letters folded for ASCII alone.
int compareText(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    QByteArrayView left(static_cast<const char*>(a), lengthA), right(static_cast<const char*>(b), lengthB);
    while (left.endsWith(' '))
        left.chop(1);
    while (right.endsWith(' '))
        right.chop(1);
    return qstrnicmp(left.data(), left.size(), right.data(), right.size());
}

// Where `stop` first comes outside quotes and brackets from `at` on, or a bracket closes that was open
// before: the end if neither does.
qsizetype scan(const QString& sql, qsizetype at, QChar stop)
{
    int depth = 0;
    for (QChar quote; at < sql.size(); ++at) {
        const QChar c = sql[at];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            quote = c == QLatin1Char('[') ? QLatin1Char(']') : c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if ((c == QLatin1Char(')') && depth-- == 0) || (c == stop && depth == 0)) {
            break;
        }
    }
    return at;
}

// Moves each TOP n to a LIMIT n at the end of its own SELECT: the closing bracket of its sub-query
// or the end of the statement.
QString topToLimit(QString sql)
{
    static const QRegularExpression top(
        QStringLiteral("\\bSELECT(\\s+DISTINCT)?\\s+TOP\\s*\\(?\\s*(\\d+)\\s*\\)?\\s"),
        QRegularExpression::CaseInsensitiveOption);
    for (QRegularExpressionMatch m; (m = top.match(sql)).hasMatch();) {
        sql.insert(scan(sql, m.capturedEnd(), QChar()), QStringLiteral(" LIMIT ") + m.captured(2) + ' ');
        sql.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("SELECT") + m.captured(1) + ' ');
    }
    return sql;
}

// A SQLite text value as a moment, or an invalid one.
QDateTime moment(const QVariant& value)
{
    QString text = value.toString();
    if (text.size() == 10) text += QStringLiteral("T00:00:00");
    if (text.size() > 10 && text[10] == QLatin1Char(' ')) text[10] = QLatin1Char('T');
    QDateTime parsed = QDateTime::fromString(text, Qt::ISODateWithMs);
    return parsed.isValid() ? QDateTime(parsed.date(), parsed.time(), Qt::UTC) : parsed;
}
// Binds every named parameter of the statement; false names the first one without a value.
bool bind(sqlite3_stmt* statement, const Values& values, QString& missing)
{
    for (int i = 1; i <= sqlite3_bind_parameter_count(statement); ++i) {
        const QString name = QString::fromUtf8(sqlite3_bind_parameter_name(statement, i)).toLower();
        const auto found = values.constFind(name);
        if (found == values.constEnd()) {
            missing = name;
            return false;
        }
        const QVariant& v = found.value();
        // A moment as the store writes it, with milliseconds only if it has any.
        const QDateTime t = v.typeId() == QMetaType::QDateTime ? v.toDateTime() : QDateTime();
        const QByteArray text =
            (t.isValid() ? t.toString(t.time().msec() ? "yyyy-MM-dd HH:mm:ss.zzz" : "yyyy-MM-dd HH:mm:ss")
                         : v.toString())
                .toUtf8();
        if (v.isNull())
            sqlite3_bind_null(statement, i);
        else if (v.typeId() == QMetaType::Double)
            sqlite3_bind_double(statement, i, v.toDouble());
        else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
            sqlite3_bind_int64(statement, i, v.toLongLong());
        else
            sqlite3_bind_text(statement, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    return true;
}

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_INTEGER) return qint64(sqlite3_column_int64(statement, column));
    if (type == SQLITE_FLOAT) return sqlite3_column_double(statement, column);
    if (type == SQLITE_NULL) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

// The type SQL Server would declare for a result column: the declared one, narrowed by what it holds.
Type columnType(sqlite3* db, sqlite3_stmt* statement, int column, const QVector<QVector<QVariant>>& rows)
{
    const QString declared = QString::fromUtf8(sqlite3_column_decltype(statement, column)).toUpper();
    const char *type = nullptr, *collation = nullptr;
    const char* table = sqlite3_column_table_name(statement, column);
    const char* origin = sqlite3_column_origin_name(statement, column);
    if (table && origin)
        sqlite3_table_column_metadata(db, sqlite3_column_database_name(statement, column), table, origin,
                                      &type, &collation, nullptr, nullptr, nullptr);
    bool wide = false, real = false, text = false, dates = true;
    int scale = 2;
    for (const QVector<QVariant>& row : rows) {
        const QVariant& v = row[column];
        if (v.isNull()) continue;
        const qint64 whole = v.toLongLong();
        wide = wide || (v.typeId() == QMetaType::LongLong && (whole > INT_MAX || whole < INT_MIN));
        real = real || v.typeId() == QMetaType::Double;
        text = text || v.typeId() == QMetaType::QString;
        dates = dates && moment(v).isValid();
        const QString digits = v.toString();
        if (v.typeId() == QMetaType::Double && digits.contains(QLatin1Char('.')) && !digits.contains('e'))
            scale = qMax(scale, int(digits.size() - digits.indexOf(QLatin1Char('.')) - 1));
    }
    // A text column without a collation holds the store's dates.
    if (declared == QLatin1String("TEXT") && collation && qstrcmp(collation, "BINARY") == 0 && dates)
        return {Type::DateTime};
    if (declared.contains(QLatin1String("INT")) && !real && !text) return {wide ? Type::BigInt : Type::Int};
    if (declared == QLatin1String("NUMERIC") && !text) return {Type::Decimal, qMin(scale, 8)};
    if (declared == QLatin1String("REAL") && !text) return {Type::Float};
    if (!declared.isEmpty() || text) return {Type::Text};
    return {real ? Type::Float : wide ? Type::BigInt : Type::Int};
}

} // namespace

QString toSqlite(const QString& statement, int tranCount)
{
    static const QRegularExpression dateLiteral(QStringLiteral("'(\\d{4})(\\d{2})(\\d{2})'"));
    const auto rule = [](const char* pattern) {
        return QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption);
    };
    static const QRegularExpression count(rule("@@TRANCOUNT\\b")), national(rule("\\bN'")),
        text(rule("\\bAS\\s+N?(VAR)?CHAR\\s*\\(\\s*(\\d+|MAX)\\s*\\)"));
    QString sql = topToLimit(statement)
                      .replace(count, QString::number(tranCount))
                      .replace(national, QStringLiteral("'"))
                      .replace(text, QStringLiteral("AS TEXT"));
    // A quoted yyyymmdd that is a date is SQL Server's unambiguous date literal: the store's dates are ISO.
    QRegularExpressionMatch m;
    for (qsizetype from = 0; (m = dateLiteral.match(sql, from)).hasMatch(); from = m.capturedEnd()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            sql.replace(m.capturedStart(), m.capturedLength(), "'" + date.toString(Qt::ISODate) + "'");
    }
    return sql;
}

QStringList statements(const QString& batch, QChar separator)
{
    QStringList parts;
    for (qsizetype at = 0, end = 0; at < batch.size(); at = end + 1) {
        end = scan(batch, at, separator);
        const QString part = batch.mid(at, end - at).trimmed();
        if (!part.isEmpty()) parts << part;
    }
    return parts;
}

void compareAsSqlServer(sqlite3* db)
{
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, &compareText, nullptr);
}

bool run(sqlite3* db, const QString& sql, const Values& values, Result& result, QString& missing)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
        return false;
    const int columns = sqlite3_column_count(statement);
    int code = bind(statement, values, missing) ? SQLITE_ROW : SQLITE_MISUSE;
    while (code == SQLITE_ROW && (code = sqlite3_step(statement)) == SQLITE_ROW) {
        result.rows.append(QVector<QVariant>());
        for (int i = 0; i < columns; ++i)
            result.rows.last() << columnValue(statement, i);
    }
    for (int i = 0; i < columns && code == SQLITE_DONE; ++i) {
        result.names << QString::fromUtf8(sqlite3_column_name(statement, i));
        result.types << columnType(db, statement, i, result.rows);
    }
    result.changes = columns == 0 ? sqlite3_changes64(db) : result.rows.size();
    sqlite3_finalize(statement);
    return code == SQLITE_DONE;
}

} // namespace tds
