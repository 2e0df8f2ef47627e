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

// A variable-length value: maxlen 0xFFFF announces a value in chunks (PLP).
QVariant varying(Reader& r, int type)
{
    const bool binary = type == 0xA5 || type == 0xAD;
    const int maxLength = int(r.le(2));
    if (!binary) r.take(5); // the collation
    QByteArray data;
    if (maxLength == 0xFFFF) {
        if (r.le(8) == ~quint64(0)) return QVariant(QMetaType::fromType<QString>());
        for (qsizetype length = qsizetype(r.le(4)); length > 0 && !r.failed; length = qsizetype(r.le(4)))
            data += r.take(length);
    } else {
        const int length = int(r.le(2));
        if (length == 0xFFFF) return QVariant(QMetaType::fromType<QString>());
        data = r.take(length);
    }
    if (type == 0xE7 || type == 0xEF) return wide(data);
    if (binary) return data;
    QStringDecoder windows1252("windows-1252"); // the code page of the collation the server announces
    return windows1252.isValid() ? QString(windows1252(data)) : QString::fromLatin1(data);
}

// DATE, TIME and DATETIME2: days since 0001-01-01, time in units of 10^-scale seconds.
QVariant dateOrTime(Reader& r, int type)
{
    const int scale = type == 0x28 ? 0 : int(r.le(1));
    const int length = int(r.le(1));
    if (length == 0) return {};
    if (type == 0x28) return QDate(1, 1, 1).addDays(qint64(r.le(3)));
    const double seconds = double(r.le(type == 0x29 ? length : length - 3)) / std::pow(10.0, scale);
    const QTime time = QTime(0, 0).addMSecs(int(std::llround(seconds * 1000)));
    if (type == 0x29) return time;
    return QDateTime(QDate(1, 1, 1).addDays(qint64(r.le(3))), time, Qt::UTC);
}

// INTN, BITN, FLTN and DATETIMEN, and their fixed-length forms: `length` bytes of value.
QVariant number(Reader& r, int kind, int length)
{
    const quint64 bits = r.le(length);
    if (kind == 0x68) return bits != 0;
    if (kind == 0x26) {
        const quint64 sign = length == 8 ? 0 : quint64(1) << (length * 8 - 1);
        return length == 1 || !(bits & sign) ? qint64(bits) : qint64(bits) - qint64(sign << 1);
    }
    if (kind == 0x6F && length == 8) // days since 1900 and 1/300 seconds
        return QDateTime(kEpoch1900.addDays(qint32(bits)),
                         QTime(0, 0).addMSecs(int(std::llround(double(bits >> 32) * 10.0 / 3.0))), Qt::UTC);
    if (kind == 0x6F) // days and minutes
        return QDateTime(kEpoch1900.addDays(bits & 0xFFFF), QTime(0, 0).addSecs(int(bits >> 16) * 60),
                         Qt::UTC);
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

// A parameter's value, its T-SQL type name in `p.type`: what FreeTDS sends for bound values.
QVariant readValue(Reader& r, Parameter& p)
{
    static const struct
    {
        int tds, kind, length;
        const char* name;
    } kTypes[] = {{0x30, 0x26, 1, "tinyint"},  {0x34, 0x26, 2, "smallint"},  {0x38, 0x26, 4, "int"},
                  {0x7F, 0x26, 8, "bigint"},   {0x32, 0x68, 1, "bit"},       {0x3B, 0x6D, 4, "real"},
                  {0x3E, 0x6D, 8, "float"},    {0x3D, 0x6F, 8, "datetime"},  {0x26, 0x26, 0, "int"},
                  {0x68, 0x68, 0, "bit"},      {0x6D, 0x6D, 0, "float"},     {0x6F, 0x6F, 0, "datetime"},
                  {0x28, 0x28, 0, "date"},     {0x29, 0x29, 0, "time"},      {0x2A, 0x2A, 0, "datetime2"},
                  {0xE7, 0xE7, 0, "nvarchar"}, {0xEF, 0xEF, 0, "nchar"},     {0xA7, 0xA7, 0, "varchar"},
                  {0xAF, 0xAF, 0, "char"},     {0xA5, 0xA5, 0, "varbinary"}, {0xAD, 0xAD, 0, "binary"}};
    const int tds = int(r.le(1));
    for (const auto& t : kTypes) {
        if (t.tds != tds) continue;
        p.type = QLatin1String(t.name);
        if (t.length > 0) return number(r, t.kind, t.length);
        if (tds == 0x28 || tds == 0x29 || tds == 0x2A) return dateOrTime(r, tds);
        if (tds >= 0xA5) return varying(r, tds);
        const int maxLength = int(r.le(1)), length = int(r.le(1));
        if (tds == 0x26 && maxLength == 8) p.type = QStringLiteral("bigint");
        return length == 0 ? QVariant() : number(r, t.kind, length);
    }
    if (tds == 0x6A || tds == 0x6C) return decimal(r, p);
    if (tds == 0x63 || tds == 0x23) { // NTEXT and TEXT: the long texts of old
        p.type = tds == 0x63 ? QStringLiteral("ntext") : QStringLiteral("text");
        r.le(4);
        r.take(5);
        const quint64 length = r.le(4);
        if (length == 0xFFFFFFFF) return QVariant(QMetaType::fromType<QString>());
        const QByteArray data = r.take(qsizetype(length));
        return tds == 0x63 ? wide(data) : QString::fromLatin1(data);
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
    case Int:
        return t.u8(0x26).u8(4);
    case BigInt:
        return t.u8(0x26).u8(8);
    case Bit:
        return t.u8(0x68).u8(1);
    case Float:
        return t.u8(0x6D).u8(8);
    case Decimal:
        return t.u8(0x6A).u8(9).u8(19).u8(scale);
    case DateTime:
        return t.u8(0x6F).u8(8);
    case Text:
        return t.u8(0xE7).u16(8000).raw(kCollation);
    }
    return t;
}

Tokens& Type::value(Tokens& t, const QVariant& v) const
{
    if (v.isNull()) return kind == Text ? t.u16(0xFFFF) : t.u8(0);
    switch (kind) {
    case Int:
        return t.u8(4).u32(quint32(v.toLongLong()));
    case BigInt:
        return t.u8(8).u64(quint64(v.toLongLong()));
    case Bit:
        return t.u8(1).u8(v.toBool() ? 1 : 0);
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
        const QString text = v.toString().left(4000); // nvarchar(4000): longer texts are cut
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
    static const char* const kSystem[] = {"",
                                          "sp_cursor",
                                          "sp_cursoropen",
                                          "sp_cursorprepare",
                                          "sp_cursorexecute",
                                          "sp_cursorprepexec",
                                          "sp_cursorunprepare",
                                          "sp_cursorfetch",
                                          "sp_cursoroption",
                                          "sp_cursorclose",
                                          "sp_executesql",
                                          "sp_prepare",
                                          "sp_execute",
                                          "sp_prepexec",
                                          "sp_prepexecrpc",
                                          "sp_unprepare"};
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
        value =
            QStringLiteral("N'") + value.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    return p.name + QLatin1Char(' ') + p.type + (p.output ? QStringLiteral(" OUTPUT") : QString()) +
           QStringLiteral(" = ") + value;
}

} // namespace tds
