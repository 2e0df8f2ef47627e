#include "tdsstub.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtEndian>

#include <future>

namespace {
constexpr int kSlice = 50;          // ms: the longest a stub thread waits before looking at the end flag
constexpr int kTrickleGapMs = 1000; // between two bytes of a trickling stub
constexpr int kPacketSize = 4096;

// Packet types.
constexpr char kReply = 0x04;
constexpr char kBatch = 0x01, kRpc = 0x03, kAttention = 0x06, kLogin = 0x10, kPreLogin = 0x12;

// Little-endian writers of a token stream.
struct Tokens
{
    QByteArray bytes;
    Tokens& u8(int v)
    {
        bytes.append(char(v));
        return *this;
    }
    Tokens& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Tokens& u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Tokens& u64(quint64 v) { return u32(quint32(v)).u32(quint32(v >> 32)); }
    Tokens& raw(const QByteArray& b)
    {
        bytes.append(b);
        return *this;
    }
    Tokens& ucs2(const QString& s)
    {
        return raw(QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2));
    }
    Tokens& bVarchar(const QString& s) { return u8(int(s.size())).ucs2(s); }
    // DONE, DONEPROC or DONEINPROC (TDS 7.2 and later count rows in 64 bits).
    Tokens& done(int token, int status, int command, quint64 rows)
    {
        return u8(token).u16(status).u16(command).u64(rows);
    }
    // A nullable int (INTN of 4 bytes): its type, then its value.
    Tokens& intType() { return u8(0x26).u8(4); }
    Tokens& intValue(std::optional<int> v) { return v ? u8(4).u32(quint32(*v)) : u8(0); }
};

Tokens envChange(int type, const QString& value, const QString& old)
{
    Tokens body;
    body.u8(type).bVarchar(value).bVarchar(old);
    return Tokens().u8(0xE3).u16(int(body.bytes.size())).raw(body.bytes);
}

QByteArray preLoginReply()
{
    // Options: VERSION, ENCRYPTION (not supported: no TLS at all), INSTOPT, THREADID (empty), MARS (off).
    const QByteArray data[] = {QByteArray("\x10\x00\x07\xD0\x00\x00", 6), QByteArray(1, '\x02'),
                               QByteArray(1, '\0'), QByteArray(), QByteArray(1, '\0')};
    Tokens header;
    Tokens payload;
    int offset = 5 * 5 + 1;
    for (int option = 0; option < 5; ++option) {
        header.u8(option);
        header.bytes.append(char(offset >> 8)).append(char(offset & 0xFF));
        header.bytes.append(char(data[option].size() >> 8)).append(char(data[option].size() & 0xFF));
        payload.raw(data[option]);
        offset += int(data[option].size());
    }
    header.u8(0xFF);
    return header.bytes + payload.bytes;
}

QByteArray loginReply()
{
    Tokens t;
    t.raw(envChange(1, QStringLiteral("master"), QStringLiteral("master")).bytes);
    // Collation Latin1_General_CI_AS.
    t.u8(0xE3).u16(8).u8(7).u8(5).raw(QByteArray("\x09\x04\xD0\x00\x34", 5)).u8(0);
    t.raw(envChange(2, QStringLiteral("us_english"), QString()).bytes);
    const QString product = QStringLiteral("Microsoft SQL Server");
    t.u8(0xAD).u16(1 + 4 + 1 + int(product.size()) * 2 + 4).u8(1).raw(QByteArray("\x74\x00\x00\x04", 4));
    t.bVarchar(product).raw(QByteArray("\x10\x00\x07\xD0", 4));
    t.raw(envChange(4, QString::number(kPacketSize), QString::number(kPacketSize)).bytes);
    t.done(0xFD, 0, 0, 0);
    return t.bytes;
}

Tokens resultSet(std::optional<int> value, int doneToken, int doneStatus)
{
    Tokens t;
    t.u8(0x81).u16(1).u32(0).u16(0x0001).intType().bVarchar(QString()); // one nullable int, no name
    t.u8(0xD1).intValue(value);
    return t.done(doneToken, doneStatus, 0xC1, 1); // of a SELECT
}

// Where a request's own content starts, after the headers every 7.2+ batch and call begins with.
qsizetype afterHeaders(const QByteArray& body)
{
    return body.size() >= 4 ? qFromLittleEndian<quint32>(body.constData()) : body.size();
}

QString ucs2At(const QByteArray& body, qsizetype at, qsizetype chars)
{
    if (at < 0 || chars < 0 || at + chars * 2 > body.size()) return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData() + at), chars);
}

struct Call
{
    QString name;
    QString statement;      // the statement text a system procedure carries (sp_executesql...)
    QList<QString> outputs; // names of the output parameters, in order
    QStringList texts;      // the caller's text values (input parameters), in order
};

// The procedure's name, its statement text and its output parameters. Parameters are read only as far as
// their types are known here (numbers, strings, binaries), which covers what FreeTDS sends.
Call readCall(const QByteArray& body)
{
    // System procedures by number, and which of their parameters holds the statement (-1: none).
    static const struct
    {
        const char* name;
        int statement;
    } known[] = {{"", -1},
                 {"sp_cursor", -1},
                 {"sp_cursoropen", 1},
                 {"sp_cursorprepare", 2},
                 {"sp_cursorexecute", -1},
                 {"sp_cursorprepexec", 3},
                 {"sp_cursorunprepare", -1},
                 {"sp_cursorfetch", -1},
                 {"sp_cursoroption", -1},
                 {"sp_cursorclose", -1},
                 {"sp_executesql", 0},
                 {"sp_prepare", 2},
                 {"sp_execute", -1},
                 {"sp_prepexec", 2},
                 {"sp_prepexecrpc", -1},
                 {"sp_unprepare", -1}};
    Call call;
    int statementAt = -1;
    const auto byte = [&body](qsizetype i) { return i < body.size() ? int(uchar(body[i])) : -1; };
    const auto word = [&body](qsizetype i) {
        return i + 2 <= body.size() ? int(qFromLittleEndian<quint16>(body.constData() + i)) : -1;
    };
    const auto dword = [&body](qsizetype i) {
        return i + 4 <= body.size() ? qint64(qFromLittleEndian<quint32>(body.constData() + i)) : -1;
    };
    qsizetype at = afterHeaders(body);
    const int length = word(at);
    at += 2;
    if (length == 0xFFFF) {
        const int id = word(at);
        if (id >= 0 && id < 16) {
            call.name = QString::fromLatin1(known[id].name);
            statementAt = known[id].statement;
        }
        at += 2;
    } else {
        call.name = ucs2At(body, at, length);
        at += qsizetype(length) * 2;
    }
    at += 2; // option flags
    for (int index = 0; at < body.size(); ++index) {
        const int nameLength = byte(at);
        const QString name = ucs2At(body, at + 1, nameLength);
        at += 1 + nameLength * 2;
        const bool output = (byte(at) & 0x01) != 0;
        const int type = byte(at + 1);
        at += 2;
        const bool wide = type == 0xE7 || type == 0xEF || type == 0x63;
        qsizetype valueAt = -1, valueLength = 0;
        if (type == 0x26 || type == 0x68 || type == 0x6D || type == 0x6E || type == 0x6F) {
            at += 1; // maximum length, then a one-byte length and the value
            at += 1 + byte(at);
        } else if (type == 0x6A || type == 0x6C) {
            at += 3;
            at += 1 + byte(at);
        } else if (type == 0xE7 || type == 0xA7 || type == 0xEF || type == 0xAF || type == 0xA5 ||
                   type == 0xAD) {
            const bool collated = type != 0xA5 && type != 0xAD;
            if (word(at) == 0xFFFF) break; // a long value in chunks: not needed here
            at += 2 + (collated ? 5 : 0);
            valueLength = word(at);
            valueAt = at + 2;
            at += 2 + (valueLength == 0xFFFF ? 0 : valueLength);
        } else if (type == 0x63 || type == 0x23 || type == 0x22) {
            at += 4 + (type == 0x22 ? 0 : 5);
            valueLength = dword(at);
            valueAt = at + 4;
            at += 4 + (valueLength == 0xFFFFFFFF ? 0 : valueLength);
        } else {
            break;
        }
        if (output) call.outputs << name;
        if (valueAt < 0 || valueAt + valueLength > body.size()) continue;
        const QString text = wide ? ucs2At(body, valueAt, valueLength / 2)
                                  : QString::fromLatin1(body.mid(valueAt, valueLength));
        if (index == statementAt)
            call.statement = text;
        else if (!output && (statementAt >= 0 ? index > statementAt + (call.name == "sp_executesql" ? 1 : 0)
                                              : !call.name.startsWith(QLatin1String("sp_"))))
            call.texts << text; // a value of the caller's, not a declaration of the parameters
    }
    return call;
}
} // namespace

// One client connection, on its own thread.
class TdsStub::Conversation
{
public:
    Conversation(TdsStub& stub, QTcpSocket& socket) : m_stub(stub), m_socket(socket) {}

    void run()
    {
        char type = 0;
        QByteArray body;
        while (readMessage(type, body)) {
            switch (type) {
            case kPreLogin:
                send(preLoginReply());
                break;
            case kLogin:
                if (!send(loginReply())) return;
                ++m_stub.m_logins;
                break;
            case kBatch:
                batch(ucs2At(body, afterHeaders(body), (body.size() - afterHeaders(body)) / 2));
                break;
            case kRpc:
                rpc(readCall(body));
                break;
            case kAttention:
                ++m_stub.m_attentions;
                send(Tokens().done(0xFD, 0x0020, 0, 0).bytes); // the cancel acknowledged
                break;
            default:
                send(Tokens().done(0xFD, 0, 0, 0).bytes);
            }
        }
    }

private:
    bool stopping() const { return m_stub.stopping(); }

    // Statements a driver sends while opening a connection: answered even by a silent stub.
    static bool opening(const QString& statement)
    {
        return statement.trimmed().startsWith(QLatin1String("SET "), Qt::CaseInsensitive) ||
               statement.contains(QLatin1String("sp_datatype_info"), Qt::CaseInsensitive);
    }

    void batch(const QString& text)
    {
        m_stub.record(text);
        if (opening(text)) {
            send(Tokens().done(0xFD, 0, 0, 0).bytes);
        } else if (m_stub.m_behaviour != Behaviour::Silent) {
            send(resultSet(m_stub.m_value, 0xFD, 0x0010).bytes); // a count, nothing more
        }
    }

    void rpc(const Call& call)
    {
        const bool system = call.name.startsWith(QLatin1String("sp_"));
        m_stub.record(system && !call.statement.isEmpty() ? call.statement
                                                          : QStringLiteral("EXEC ") + call.name,
                      call.texts);
        // Housekeeping (closing a cursor, dropping a prepared statement) runs nothing of the caller's.
        static const QStringList runners = {QStringLiteral("sp_execute"), QStringLiteral("sp_cursorexecute"),
                                            QStringLiteral("sp_cursorfetch")};
        const bool runs = !system || !call.statement.isEmpty() || runners.contains(call.name);
        const bool setUp = !call.statement.isEmpty() && opening(call.statement);
        if (m_stub.m_behaviour == Behaviour::Silent && runs && !setUp) return;
        Tokens t;
        // A statement's results come first, marked as followed by more (the procedure's own ending); a
        // named procedure with output parameters returns through them alone.
        if (runs && !setUp && (system || call.outputs.isEmpty()))
            t.raw(resultSet(m_stub.m_value, 0xFF, 0x0011).bytes);
        t.u8(0x79).u32(0); // return status
        for (int i = 0; i < call.outputs.size(); ++i) {
            t.u8(0xAC).u16(i).bVarchar(call.outputs[i]).u8(0x01).u32(0).u16(0x0001).intType();
            t.intValue(m_stub.m_value);
        }
        send(t.done(0xFE, 0, 0xE0, 0).bytes);
    }

    bool readExactly(QByteArray& into, qsizetype count)
    {
        while (m_buffer.size() < count) {
            if (stopping() || m_socket.state() != QAbstractSocket::ConnectedState) return false;
            if (m_socket.waitForReadyRead(kSlice))
                m_buffer += m_socket.readAll();
            else if (m_socket.state() != QAbstractSocket::ConnectedState)
                return false;
        }
        into = m_buffer.left(count);
        m_buffer.remove(0, count);
        return true;
    }

    // One whole message: the bodies of its packets up to the one marked last.
    bool readMessage(char& type, QByteArray& body)
    {
        body.clear();
        for (;;) {
            QByteArray header, part;
            if (!readExactly(header, 8)) return false;
            const int length = qFromBigEndian<quint16>(header.constData() + 2);
            if (length < 8 || !readExactly(part, length - 8)) return false;
            type = header[0];
            body += part;
            if (header[1] & 0x01) return true;
        }
    }

    bool send(const QByteArray& payload)
    {
        QByteArray message;
        quint8 packet = 1;
        for (qsizetype at = 0; at == 0 || at < payload.size(); at += kPacketSize - 8) {
            const QByteArray part = payload.mid(at, kPacketSize - 8);
            const bool last = at + part.size() >= payload.size();
            const int length = int(part.size()) + 8;
            message.append(kReply).append(char(last ? 0x01 : 0x00));
            message.append(char(length >> 8)).append(char(length & 0xFF));
            message.append("\x00\x34", 2).append(char(packet++)).append('\0');
            message.append(part);
        }
        if (m_stub.m_behaviour != Behaviour::Trickle) return write(message);
        for (char c : message) {
            if (!write(QByteArray(1, c))) return false;
            for (int waited = 0; waited < kTrickleGapMs; waited += kSlice) {
                if (stopping()) return false;
                QThread::msleep(kSlice);
            }
        }
        return true;
    }

    bool write(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        while (m_socket.bytesToWrite() > 0) {
            if (stopping() || m_socket.state() != QAbstractSocket::ConnectedState) return false;
            m_socket.waitForBytesWritten(kSlice);
        }
        return true;
    }

    TdsStub& m_stub;
    QTcpSocket& m_socket;
    QByteArray m_buffer;
};

namespace {
// Hands each accepted connection's descriptor over instead of making a socket of this thread.
class DescriptorServer : public QTcpServer
{
public:
    std::vector<qintptr> pending;

protected:
    void incomingConnection(qintptr descriptor) override { pending.push_back(descriptor); }
};
} // namespace

TdsStub::TdsStub(Behaviour behaviour, std::optional<int> value, int lifetimeMs)
    : m_behaviour(behaviour), m_value(value), m_lifetime(lifetimeMs)
{
    auto port = std::make_shared<std::promise<quint16>>();
    std::future<quint16> ready = port->get_future();
    m_acceptor = std::thread(&TdsStub::acceptLoop, this, port);
    m_port = ready.get();
}

TdsStub::~TdsStub()
{
    m_stopping = true;
    m_acceptor.join();
}

QString TdsStub::serverName() const
{
    return QStringLiteral("127.0.0.1,%1").arg(m_port);
}

QStringList TdsStub::statements() const
{
    std::lock_guard lock(m_mutex);
    return m_statements;
}

void TdsStub::record(const QString& statement, const QStringList& texts)
{
    std::lock_guard lock(m_mutex);
    m_statements << statement;
    m_texts << texts;
}

QStringList TdsStub::textValues() const
{
    std::lock_guard lock(m_mutex);
    return m_texts;
}

void TdsStub::acceptLoop(std::shared_ptr<std::promise<quint16>> port)
{
    {
        DescriptorServer server; // made, used and destroyed on this thread
        port->set_value(server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0);
        while (!stopping() && server.isListening()) {
            server.waitForNewConnection(kSlice);
            for (qintptr descriptor : server.pending)
                m_sessions.emplace_back(&TdsStub::serve, this, descriptor);
            server.pending.clear();
        }
    }
    for (std::thread& session : m_sessions)
        session.join();
}

void TdsStub::serve(qintptr descriptor)
{
    ++m_connections;
    QTcpSocket socket;
    if (!socket.setSocketDescriptor(descriptor)) return;
    Conversation(*this, socket).run();
    socket.abort();
}
