#include "tdsprotocol.h"

#include <QDateTime>
#include <QStringDecoder>
#include <QtEndian>

#include <cmath>
#include <cstring>

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
        if (at + bytes > body.size()) {
            failed = true;
            at = body.size();
            return 0;
        }
        quint64 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | uchar(body[at + i]);
        at += bytes;
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

qint64 signedValue(quint64 v, int bytes)
{
    if (bytes >= 8) return qint64(v);
    const quint64 sign = quint64(1) << (bytes * 8 - 1);
    return (v & sign) ? qint64(v) - qint64(sign << 1) : qint64(v);
}

QDateTime fromDays(qint64 days1900, qint64 msecs)
{
    return QDateTime(kEpoch1900.addDays(days1900), QTime(0, 0).addMSecs(int(msecs)), Qt::UTC);
}

// A variable-length value: maxlen 0xFFFF announces a value in chunks (PLP).
QVariant varying(Reader& r, bool collated, int type)
{
    const int maxLength = int(r.le(2));
    if (collated) r.take(5);
    QByteArray data;
    if (maxLength == 0xFFFF) {
        if (r.le(8) == ~quint64(0)) return QVariant(QMetaType::fromType<QString>());
        for (int chunk = 0; chunk < 100000 && !r.failed; ++chunk) {
            const qsizetype length = qsizetype(r.le(4));
            if (length == 0) break;
            data += r.take(length);
        }
    } else {
        const int length = int(r.le(2));
        if (length == 0xFFFF) return QVariant(QMetaType::fromType<QString>());
        data = r.take(length);
    }
    if (type == 0xE7 || type == 0xEF) return wide(data);
    if (type == 0xA5 || type == 0xAD) return data;
    QStringDecoder windows1252("windows-1252"); // the code page of the collation the server announces
    return windows1252.isValid() ? QString(windows1252(data)) : QString::fromLatin1(data);
}

QVariant scaled(Reader& r, Parameter& p, int type)
{
    const int scale = type == 0x29 || type == 0x2A || type == 0x2B ? int(r.le(1)) : 0;
    const int length = int(r.le(1));
    if (length == 0) return {};
    if (type == 0x28) return QDate(1, 1, 1).addDays(qint64(r.le(3)));
    const int timeBytes = length - (type == 0x29 ? 0 : 3) - (type == 0x2B ? 2 : 0);
    const double seconds = double(r.le(timeBytes)) / std::pow(10.0, scale);
    const QTime time = QTime(0, 0).addMSecs(int(std::llround(seconds * 1000)));
    p.type = type == 0x29 ? QStringLiteral("time") : QStringLiteral("datetime2");
    if (type == 0x29) return time;
    const QDate date = QDate(1, 1, 1).addDays(qint64(r.le(3)));
    if (type == 0x2B) r.le(2);
    return QDateTime(date, time, Qt::UTC);
}

// Fixed-size numbers, dates and money, with `length` bytes of value.
QVariant fixed(Reader& r, Parameter& p, int type, int length)
{
    switch (type) {
    case 0x26: {
        const qint64 v = signedValue(r.le(length), length);
        p.type = length == 8 ? "bigint" : length == 2 ? "smallint" : length == 1 ? "tinyint" : "int";
        return length == 1 ? qint64(quint8(v)) : v;
    }
    case 0x68:
        p.type = QStringLiteral("bit");
        return r.le(1) != 0;
    case 0x6D: {
        const quint64 bits = r.le(length);
        p.type = length == 4 ? "real" : "float";
        if (length == 4) {
            float f;
            const quint32 b = quint32(bits);
            std::memcpy(&f, &b, 4);
            return double(f);
        }
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case 0x6E: {
        p.type = QStringLiteral("money");
        const qint64 high = length == 8 ? signedValue(r.le(4), 4) : 0;
        const qint64 v = length == 8 ? (high << 32) | qint64(r.le(4)) : signedValue(r.le(4), 4);
        return double(v) / 10000.0;
    }
    case 0x6F:
        p.type = QStringLiteral("datetime");
        if (length == 4) {
            const qint64 days = qint64(r.le(2));
            return fromDays(days, qint64(r.le(2)) * 60000);
        }
        {
            const qint64 days = signedValue(r.le(4), 4);
            return fromDays(days, std::llround(double(r.le(4)) * 10.0 / 3.0));
        }
    }
    r.failed = true;
    return {};
}

QVariant decimal(Reader& r, Parameter& p)
{
    r.le(1); // maximum length
    const int precision = int(r.le(1)), scale = int(r.le(1));
    p.type = QStringLiteral("decimal(%1,%2)").arg(precision).arg(scale);
    const int length = int(r.le(1));
    if (length == 0) return {};
    const bool positive = r.le(1) != 0;
    long double magnitude = 0, unit = 1;
    for (int i = 1; i < length; ++i, unit *= 256)
        magnitude += unit * (long double)(r.le(1));
    const long double v = (positive ? magnitude : -magnitude) / std::pow(10.0L, scale);
    return scale == 0 ? QVariant(qint64(v)) : QVariant(double(v));
}

QVariant readValue(Reader& r, Parameter& p)
{
    const int type = int(r.le(1));
    static const struct
    {
        int type, length, as;
    } kFixed[] = {{0x30, 1, 0x26}, {0x34, 2, 0x26}, {0x38, 4, 0x26}, {0x7F, 8, 0x26}, {0x32, 1, 0x68},
                  {0x3B, 4, 0x6D}, {0x3E, 8, 0x6D}, {0x3C, 8, 0x6E}, {0x7A, 4, 0x6E}, {0x3D, 8, 0x6F},
                  {0x3A, 4, 0x6F}};
    for (const auto& f : kFixed)
        if (f.type == type) return fixed(r, p, f.as, f.length);
    switch (type) {
    case 0x1F:
        p.type = QStringLiteral("sql_variant");
        return {};
    case 0x26: case 0x68: case 0x6D: case 0x6E: case 0x6F: {
        const int maxLength = int(r.le(1)), length = int(r.le(1));
        if (length > 0) return fixed(r, p, type, length);
        p.type = type == 0x26 ? (maxLength == 8 ? "bigint" : "int")
                 : type == 0x68 ? "bit" : type == 0x6D ? "float" : type == 0x6E ? "money" : "datetime";
        return {};
    }
    case 0x6A: case 0x6C:
        return decimal(r, p);
    case 0x28: case 0x29: case 0x2A: case 0x2B:
        p.type = QStringLiteral("date");
        return scaled(r, p, type);
    case 0xE7: case 0xEF: case 0xA7: case 0xAF: case 0xA5: case 0xAD: {
        const char* names[] = {"nvarchar", "nchar", "varchar", "char", "varbinary", "binary"};
        const int which[] = {0xE7, 0xEF, 0xA7, 0xAF, 0xA5, 0xAD};
        for (int i = 0; i < 6; ++i)
            if (which[i] == type) p.type = QLatin1String(names[i]);
        return varying(r, type != 0xA5 && type != 0xAD, type);
    }
    case 0x63: case 0x23: case 0x22: {
        r.le(4);
        if (type != 0x22) r.take(5);
        p.type = type == 0x63 ? "ntext" : type == 0x23 ? "text" : "image";
        const quint64 length = r.le(4);
        if (length == 0xFFFFFFFF) return {};
        const QByteArray data = r.take(qsizetype(length));
        return type == 0x63 ? QVariant(wide(data)) : type == 0x23 ? QVariant(QString::fromLatin1(data))
                                                                 : QVariant(data);
    }
    }
    r.failed = true;
    return {};
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
    switch (kind) {
    case Int: return t.u8(0x26).u8(4);
    case BigInt: return t.u8(0x26).u8(8);
    case Bit: return t.u8(0x68).u8(1);
    case Float: return t.u8(0x6D).u8(8);
    case Decimal: return t.u8(0x6A).u8(9).u8(19).u8(scale);
    case DateTime: return t.u8(0x6F).u8(8);
    case Text: return t.u8(0xE7).u16(8000).raw(kCollation);
    }
    return t;
}

Tokens& Type::value(Tokens& t, const QVariant& v) const
{
    if (v.isNull()) return kind == Text ? t.u16(0xFFFF) : t.u8(0);
    switch (kind) {
    case Int: return t.u8(4).u32(quint32(v.toLongLong()));
    case BigInt: return t.u8(8).u64(quint64(v.toLongLong()));
    case Bit: return t.u8(1).u8(v.toBool() ? 1 : 0);
    case Float: {
        const double d = v.toDouble();
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        return t.u8(8).u64(bits);
    }
    case Decimal: {
        const double d = v.toDouble();
        const quint64 magnitude = quint64(std::llround(std::fabs(d) * std::pow(10.0, scale)));
        return t.u8(9).u8(d < 0 ? 0 : 1).u64(magnitude);
    }
    case DateTime: {
        const QDateTime moment = v.toDateTime();
        const qint64 ms = moment.time().msecsSinceStartOfDay();
        return t.u8(8).u32(quint32(kEpoch1900.daysTo(moment.date()))).u32(quint32(std::llround(ms * 0.3)));
    }
    case Text: {
        const QString text = v.toString().left(4000);
        return t.u16(int(text.size() * 2)).ucs2(text);
    }
    }
    return t;
}

qsizetype afterHeaders(const QByteArray& body)
{
    return body.size() >= 4 ? qMin<qsizetype>(qFromLittleEndian<quint32>(body.constData()), body.size())
                            : body.size();
}

QString ucs2At(const QByteArray& body, qsizetype at, qsizetype chars)
{
    if (at < 0 || chars < 0 || at + chars * 2 > body.size()) return QString();
    return wide(body.mid(at, chars * 2));
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
    static const char* const kSystem[] = {"",          "sp_cursor",      "sp_cursoropen",  "sp_cursorprepare",
                                          "sp_cursorexecute", "sp_cursorprepexec", "sp_cursorunprepare",
                                          "sp_cursorfetch", "sp_cursoroption", "sp_cursorclose",
                                          "sp_executesql", "sp_prepare",     "sp_execute",     "sp_prepexec",
                                          "sp_prepexecrpc", "sp_unprepare"};
    Reader r{body, afterHeaders(body)};
    const int length = int(r.le(2));
    if (length == 0xFFFF) {
        const int id = int(r.le(2));
        call.name = id < 16 ? QString::fromLatin1(kSystem[id]) : QString();
    } else {
        call.name = wide(r.take(qsizetype(length) * 2));
    }
    r.le(2); // option flags
    for (int guard = 0; guard < 2100 && r.at < body.size() && !r.failed; ++guard) {
        Parameter p;
        p.name = wide(r.take(qsizetype(r.le(1)) * 2));
        p.output = (r.le(1) & 0x01) != 0;
        p.value = readValue(r, p);
        call.parameters << p;
    }
    return !r.failed;
}

QByteArray preLoginReply()
{
    // VERSION, ENCRYPTION (not supported: no TLS at all), INSTOPT, THREADID (empty), MARS (off).
    const QByteArray data[] = {QByteArray("\x10\x00\x07\xD0\x00\x00", 6), QByteArray(1, '\x02'),
                               QByteArray(1, '\0'), QByteArray(), QByteArray(1, '\0')};
    Tokens header, payload;
    int offset = 5 * 5 + 1;
    for (int option = 0; option < 5; ++option) {
        header.u8(option).u8(offset >> 8).u8(offset & 0xFF);
        header.u8(int(data[option].size() >> 8)).u8(int(data[option].size() & 0xFF));
        payload.raw(data[option]);
        offset += int(data[option].size());
    }
    header.u8(0xFF);
    return header.bytes + payload.bytes;
}

QByteArray loginReply(const QString& database, int packetSize)
{
    const auto text = [](const QString& s) { return Tokens().ucs2(s).bytes; };
    Tokens t;
    t.envChange(1, text(database), text(QStringLiteral("master")), true);
    t.u8(0xE3).u16(8).u8(7).u8(5).raw(kCollation).u8(0);
    t.envChange(2, text(QStringLiteral("us_english")), {}, true);
    const QString product = QStringLiteral("Microsoft SQL Server");
    t.u8(0xAD).u16(1 + 4 + 1 + int(product.size()) * 2 + 4).u8(1).raw(QByteArray("\x74\x00\x00\x04", 4));
    t.bVarchar(product).raw(QByteArray("\x10\x00\x07\xD0", 4));
    t.envChange(4, text(QString::number(packetSize)), text(QString::number(packetSize)), true);
    return t.done(0xFD, 0, 0, 0).bytes;
}

QString describe(const Parameter& p)
{
    QString value = p.value.isNull() ? QStringLiteral("NULL") : p.value.toString();
    if (p.value.typeId() == QMetaType::QString)
        value = QStringLiteral("N'") + value.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    return p.name + QLatin1Char(' ') + p.type + (p.output ? QStringLiteral(" OUTPUT") : QString()) +
           QStringLiteral(" = ") + value;
}

} // namespace tds
