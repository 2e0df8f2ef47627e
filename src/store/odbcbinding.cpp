#include "store/odbcbinding.h"

#include <QDateTime>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace {
struct Declared
{
    SQLSMALLINT cType;
    SQLSMALLINT sqlType;
    SQLULEN size;
    SQLSMALLINT digits;
};

template <typename T> QByteArray bytesOf(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

// The value's bytes in the C type the driver is told, and how it is declared to the server.
Declared convert(const QVariant& value, QByteArray& data)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        data = bytesOf<unsigned char>(value.toBool() ? 1 : 0);
        return {SQL_C_BIT, SQL_BIT, 1, 0};
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
        data = bytesOf<SQLINTEGER>(SQLINTEGER(value.toInt()));
        return {SQL_C_SLONG, SQL_INTEGER, 10, 0};
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
        data = bytesOf<SQLBIGINT>(SQLBIGINT(value.toLongLong()));
        return {SQL_C_SBIGINT, SQL_BIGINT, 19, 0};
    case QMetaType::Double:
    case QMetaType::Float:
        data = bytesOf<double>(value.toDouble());
        return {SQL_C_DOUBLE, SQL_DOUBLE, 15, 0};
    case QMetaType::QDate: {
        const QDate day = value.toDate();
        data =
            bytesOf(DATE_STRUCT{SQLSMALLINT(day.year()), SQLUSMALLINT(day.month()), SQLUSMALLINT(day.day())});
        return {SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0};
    }
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        const QDate day = moment.date();
        const QTime time = moment.time();
        TIMESTAMP_STRUCT stamp{};
        stamp.year = SQLSMALLINT(day.year());
        stamp.month = SQLUSMALLINT(day.month());
        stamp.day = SQLUSMALLINT(day.day());
        stamp.hour = SQLUSMALLINT(time.hour());
        stamp.minute = SQLUSMALLINT(time.minute());
        stamp.second = SQLUSMALLINT(time.second());
        stamp.fraction = SQLUINTEGER(time.msec()) * 1000000u;
        data = bytesOf(stamp);
        return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3};
    }
    case QMetaType::QByteArray:
        data = value.toByteArray();
        return {SQL_C_BINARY, SQL_VARBINARY, SQLULEN(qMax<qsizetype>(1, data.size())), 0};
    default: {
        const QString text = value.toString();
        data = QByteArray(reinterpret_cast<const char*>(text.utf16()),
                          text.size() * qsizetype(sizeof(char16_t)));
        const SQLULEN characters = SQLULEN(qMax<qsizetype>(1, text.size()));
        const SQLSMALLINT type = characters > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        return {SQL_C_WCHAR, type, characters, 0};
    }
    }
}
} // namespace

bool OdbcBinding::bind(void* statement, const QVariantList& values)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver's wide characters are UTF-16");
    m_data.assign(size_t(values.size()), QByteArray());
    m_lengths = QByteArray(values.size() * qsizetype(sizeof(SQLLEN)), '\0');
    SQLLEN* lengths = reinterpret_cast<SQLLEN*>(m_lengths.data());
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant& value = values.at(i);
        QByteArray& data = m_data[size_t(i)];
        const Declared declared = convert(value, data);
        // As Qt binds them: a null text is NULL, an empty one is a text.
        const bool null =
            value.isNull() || (value.metaType().id() == QMetaType::QString && value.toString().isNull());
        SQLLEN* length = lengths + i;
        *length = null ? SQL_NULL_DATA : SQLLEN(data.size());
        if (data.isEmpty()) data = QByteArray(1, '\0'); // a buffer to point at, even for no bytes
        const SQLRETURN result = SQLBindParameter(SQLHSTMT(statement), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT,
                                                  declared.cType, declared.sqlType, declared.size,
                                                  declared.digits, data.data(), SQLLEN(data.size()), length);
        if (!SQL_SUCCEEDED(result)) return false;
    }
    return true;
}

void OdbcBinding::release(void* statement)
{
    SQLFreeStmt(SQLHSTMT(statement), SQL_RESET_PARAMS);
}
