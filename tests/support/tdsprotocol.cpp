#include "tdsprotocol.h"

#include <QDateTime>
#include <QtEndian>

#include <bit>
#include <cmath>

namespace tds {
namespace {
const QByteArray kCollation("\x09\x04\xD0\x00\x34", 5); // Latin1_General_CI_AS
const QDate kEpoch1900(1900, 1, 1);

// Reads a request's body; every read past its end yields zeros and marks the reader failed.
struct Reader
{
    const QByteArray& body;
    qsizetype at = 0;
    bool failed = false;
    quint64 le(int bytes)
    {
        const QByteArray b = take(bytes);
        quint64 v = 0;
        for (qsizetype i = b.size() - 1; i >= 0; --i)
            v = (v << 8) | uchar(b[i]);
        return v;
    }
    QByteArray take(qsizetype count)
    {
        if (count < 0 || at + count > body.size()) {
            failed = true;
            return {};
        }
        at += count;
        return body.mid(at - count, count);
    }
};

QString wide(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

// NVARCHAR up to 4,000 characters (longer ones come in chunks, which are not read), or NTEXT.
QVariant text(Reader& r, int type)
{
    const int size = type == 0x63 ? 4 : 2;
    const quint64 null = type == 0x63 ? 0xFFFFFFFF : 0xFFFF, maxLength = r.le(size);
    r.failed = r.failed || (type == 0xE7 && maxLength == 0xFFFF); // nvarchar(max): chunks
    r.take(5);                                                    // the collation
    const quint64 length = r.le(size);
    return length == null ? QVariant(QMetaType::fromType<QString>()) : wide(r.take(qsizetype(length)));
}

// A parameter's value as FreeTDS sends bound values: INTN, BITN, FLTN, DATE, DATETIME2, NVARCHAR, NTEXT.
QVariant readValue(Reader& r)
{
    const int type = int(r.le(1));
    if (type == 0xE7 || type == 0x63) return text(r, type);
    if (!QByteArray("\x26\x68\x6D\x28\x2A").contains(char(type))) r.failed = true;
    const int scale = type == 0x2A ? int(r.le(1)) : 0;
    const int length = int(r.le(1)), size = type == 0x28 || type == 0x2A ? length : int(r.le(1));
    if (size == 0) return {};
    const quint64 bits = r.le(type == 0x2A ? size - 3 : type == 0x28 ? 0 : size);
    if (type == 0x28 || type == 0x2A) { // days since 0001-01-01, time in units of 10^-scale seconds
        const QTime time = QTime(0, 0).addMSecs(int(std::llround(double(bits) / std::pow(10.0, scale - 3))));
        const QDate date = QDate(1, 1, 1).addDays(qint64(r.le(3)));
        return type == 0x28 ? QVariant(date) : QVariant(QDateTime(date, time, Qt::UTC));
    }
    if (type == 0x68) return bits != 0;
    if (type == 0x26) {
        const quint64 sign = size == 8 ? 0 : quint64(1) << (size * 8 - 1);
        return size == 1 || !(bits & sign) ? qint64(bits) : qint64(bits) - qint64(sign << 1);
    }
    if (size == 8) return std::bit_cast<double>(bits);
    return double(std::bit_cast<float>(quint32(bits)));
}
} // namespace

Tokens& Tokens::ucs2(const QString& s)
{
    return raw(QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2));
}

Tokens& Tokens::envChange(int type, const QByteArray& value, const QByteArray& old, bool text)
{
    const int unit = text ? 2 : 1;
    u8(0xE3).u16(int(1 + 2 + value.size() + old.size())).u8(type);
    return u8(int(value.size() / unit)).raw(value).u8(int(old.size() / unit)).raw(old);
}

Tokens& Tokens::error(int number, int state, int severity, const QString& message)
{
    const QString server = QStringLiteral("tds-testserver");
    u8(0xAA).u16(int(4 + 1 + 1 + 2 + message.size() * 2 + 1 + server.size() * 2 + 1 + 4));
    return u32(quint32(number)).u8(state).u8(severity).usVarchar(message).bVarchar(server).u8(0).u32(1);
}

Tokens& Type::declare(Tokens& t) const
{
    static const char* const kDeclared[] = {"\x26\x04",     "\x26\x08", "\x6D\x08",
                                            "\x6A\x09\x13", "\x6F\x08", "\xE7\x40\x1F"};
    t.raw(QByteArray(kDeclared[kind]));
    return kind == Decimal ? t.u8(scale) : kind == Text ? t.raw(kCollation) : t;
}

Tokens& Type::value(Tokens& t, const QVariant& v) const
{
    if (v.isNull()) return kind == Text ? t.u16(0xFFFF) : t.u8(0);
    const QDateTime moment = kind == DateTime ? v.toDateTime() : QDateTime();
    const QString text = kind == Text ? v.toString().left(4000) : QString(); // nvarchar(4000): longer cut
    switch (kind) {
    case Int:
        return t.u8(4).u32(quint32(v.toLongLong()));
    case BigInt:
        return t.u8(8).u64(quint64(v.toLongLong()));
    case Float:
        return t.u8(8).u64(std::bit_cast<quint64>(v.toDouble()));
    case Decimal:
        return t.u8(9)
            .u8(v.toDouble() < 0 ? 0 : 1)
            .u64(std::llround(std::fabs(v.toDouble()) * std::pow(10.0, scale)));
    case DateTime:
        return t.u8(8)
            .u32(quint32(kEpoch1900.daysTo(moment.date())))
            .u32(quint32(std::llround(moment.time().msecsSinceStartOfDay() * 0.3)));
    case Text:
        return t.u16(int(text.size() * 2)).ucs2(text);
    }
    return t;
}

qsizetype afterHeaders(const QByteArray& body)
{
    return body.size() >= 4 ? qMin<qsizetype>(qFromLittleEndian<quint32>(body.constData()), body.size())
                            : body.size();
}

Login readLogin(const QByteArray& body)
{
    const auto field = [&body](int index) {
        const qsizetype at = 36 + 4 * index;
        if (at + 4 > body.size()) return QByteArray();
        const int offset = qFromLittleEndian<quint16>(body.constData() + at);
        const int chars = qFromLittleEndian<quint16>(body.constData() + at + 2);
        return body.mid(offset, qsizetype(chars) * 2);
    };
    QByteArray password = field(2);
    for (char& c : password) {
        const uchar b = uchar(c) ^ 0xA5;
        c = char(((b & 0x0F) << 4) | (b >> 4));
    }
    return {wide(field(1)), wide(password), wide(field(8))};
}

bool readCall(const QByteArray& body, Call& call)
{
    Reader r{body, afterHeaders(body)};
    // FreeTDS calls the system procedures by number; any other number is not read.
    const int length = int(r.le(2)), id = length == 0xFFFF ? int(r.le(2)) : 0;
    call.name = id == 2    ? QStringLiteral("sp_cursoropen")
                : id == 13 ? QStringLiteral("sp_prepexec")
                : id == 15 ? QStringLiteral("sp_unprepare")
                           : wide(r.take(qsizetype(length) * 2));
    r.le(2); // option flags
    for (int guard = 0; guard < 2100 && r.at < body.size() && !r.failed; ++guard) {
        const QString name = wide(r.take(qsizetype(r.le(1)) * 2));
        r.le(1); // status flags
        call.parameters << Parameter{name, readValue(r)};
    }
    return !r.failed;
}

QByteArray preLoginReply()
{
    // VERSION, ENCRYPTION (not supported: no TLS at all), INSTOPT, THREADID (empty), MARS (off).
    return QByteArray::fromHex("00001A00060100200001020021000103002200000400220001FF100007D00000020000");
}

QByteArray loginReply(const QString& database)
{
    const auto text = [](const QString& s) { return Tokens().ucs2(s).bytes; };
    Tokens t;
    t.envChange(1, text(database), text(QStringLiteral("master")), true);
    t.u8(0xE3).u16(8).u8(7).u8(5).raw(kCollation).u8(0);
    t.envChange(2, text(QStringLiteral("us_english")), {}, true);
    const QString product = QStringLiteral("Microsoft SQL Server");
    t.u8(0xAD).u16(1 + 4 + 1 + int(product.size()) * 2 + 4).u8(1).raw(QByteArray("\x74\x00\x00\x04", 4));
    t.bVarchar(product).raw(QByteArray("\x10\x00\x07\xD0", 4));
    t.envChange(4, text(QStringLiteral("4096")), text(QStringLiteral("4096")), true); // the packet size
    return t.done(0xFD, 0, 0, 0).bytes;
}

QByteArray refusal(int number, int severity, const QString& message)
{
    return Tokens().error(number, 1, severity, message).done(0xFD, Error, 0, 0).bytes;
}

void resultSet(Tokens& out, const Result& result)
{
    out.u8(0x81).u16(int(result.names.size()));
    for (int i = 0; i < result.names.size(); ++i)
        result.types[i].declare(out.u32(0).u16(0x0001)).bVarchar(result.names[i]);
    for (const QVector<QVariant>& row : result.rows) {
        out.u8(0xD1);
        for (int i = 0; i < row.size(); ++i)
            result.types[i].value(out, row[i]);
    }
}

} // namespace tds
