// tds-testserver: a SQL Server stand-in for the tests, on the loopback interface. It speaks TDS 7.4 to
// FreeTDS's ODBC driver and runs what it receives on the embedded store's SQLite files. See --help.
#include "tdssession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtEndian>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

namespace {
constexpr int kSlice = 50;          // ms: the longest a thread waits before looking at the end flag
constexpr int kTrickleGapMs = 1000; // between two bytes of a trickling server
constexpr int kPacketSize = 4096;

std::atomic<bool> g_stopping{false};

enum class Behaviour { Serve, Silent, Trickle };

struct Server
{
    TdsServerSettings settings;
    Behaviour behaviour = Behaviour::Serve;
    QDeadlineTimer lifetime{QDeadlineTimer::Forever};
    bool stopping() const { return g_stopping || lifetime.hasExpired(); }
};

// One client connection, on its own thread.
struct Conversation
{
    Server& server;
    QTcpSocket& socket;
    TdsSession session{server.settings};
    QByteArray buffer = {};

    void run()
    {
        char type = 0;
        QByteArray body;
        bool loggedIn = false;
        while (readMessage(type, body)) {
            if (type == 0x12) {
                send(tds::preLoginReply());
            } else if (type == 0x10) {
                const tds::Login login = tds::readLogin(body);
                if (!send(session.login(login, loggedIn)) || !loggedIn) return;
                server.settings.log(QStringLiteral("-- login %1 %2").arg(login.user, login.database));
            } else if (type == 0x06) {
                server.settings.log(QStringLiteral("-- attention"));
                send(tds::Tokens().done(0xFD, tds::Attention, 0, 0).bytes);
            } else if (loggedIn) {
                request(type, body);
            }
        }
    }

    // Procedure calls and the transaction manager's requests: all that FreeTDS sends here.
    void request(char type, const QByteArray& body)
    {
        tds::Call call;
        const bool readable = (type == 0x03 && tds::readCall(body, call)) || type == 0x0E;
        const QString text = call.parameters.value(call.name == "sp_cursoropen" ? 1 : 2).value.toString();
        // A silent server still answers what a driver sends while opening a connection: SET options.
        if (server.behaviour == Behaviour::Silent && type == 0x03 && call.name != "sp_unprepare" &&
            !text.trimmed().startsWith(QLatin1String("SET "), Qt::CaseInsensitive))
            return server.settings.log(text);
        send(!readable ? tds::refusal(8009, 16, "A request or parameter of a kind this server does not take.")
             : type == 0x03 ? session.call(call)
                            : session.transactionRequest(body));
    }

    // One whole message: the bodies of its packets (type, status, big-endian length, ...) up to the one
    // marked last.
    bool readMessage(char& type, QByteArray& body)
    {
        body.clear();
        for (bool last = false; !last;) {
            while (buffer.size() < 8 || buffer.size() < qFromBigEndian<quint16>(buffer.constData() + 2)) {
                if (server.stopping() || socket.state() != QAbstractSocket::ConnectedState) return false;
                if (socket.waitForReadyRead(kSlice)) buffer += socket.readAll();
            }
            const int length = qFromBigEndian<quint16>(buffer.constData() + 2);
            if (length < 8) return false;
            type = buffer[0];
            last = buffer[1] & 0x01;
            body += buffer.mid(8, length - 8);
            buffer.remove(0, length);
        }
        return true;
    }

    bool send(const QByteArray& payload)
    {
        QByteArray message;
        quint8 packet = 1;
        for (qsizetype at = 0; at == 0 || at < payload.size(); at += kPacketSize - 8) {
            const QByteArray part = payload.mid(at, kPacketSize - 8);
            const int length = int(part.size()) + 8, last = at + part.size() >= payload.size() ? 1 : 0;
            // Type, status, length and process id (big-endian), packet number, window.
            message +=
                tds::Tokens().u8(4).u8(last).u8(length >> 8).u8(length).u16(0x3400).u8(packet++).u8(0).bytes;
            message += part;
        }
        const bool trickle = server.behaviour == Behaviour::Trickle;
        for (qsizetype at = 0; at < message.size(); at += trickle ? 1 : message.size()) {
            socket.write(message.mid(at, trickle ? 1 : -1));
            QDeadlineTimer next(trickle ? kTrickleGapMs : 0);
            while (socket.bytesToWrite() > 0 || !next.hasExpired()) {
                if (server.stopping() || socket.state() != QAbstractSocket::ConnectedState) return false;
                if (!socket.waitForBytesWritten(kSlice)) QThread::msleep(socket.bytesToWrite() ? 0 : kSlice);
            }
        }
        return true;
    }
};

void serve(Server& server, qintptr descriptor)
{
    QTcpSocket socket;
    if (socket.setSocketDescriptor(descriptor)) Conversation{server, socket}.run();
}

// Hands each accepted connection's descriptor over instead of making a socket of this thread.
struct DescriptorServer : QTcpServer
{
    std::vector<qintptr> pending;
    void incomingConnection(qintptr descriptor) override { pending.push_back(descriptor); }
};

bool configure(Server& server, const QCommandLineParser& parser)
{
    TdsServerSettings& s = server.settings;
    s.folder = parser.value("folder");
    s.user = parser.value("login").section(':', 0, 0);
    s.password = parser.value("login").section(':', 1);
    s.noCount = parser.isSet("nocount");
    s.triggerOn = parser.value("trigger-count");
    for (const QString& fault : parser.values("fault")) {
        const QStringList parts = fault.split(':');
        bool number = false;
        s.faults.append({parts[0].toInt(&number), parts.value(1), parts.size() > 2 ? parts[2].toInt() : 1,
                         parts.value(3).toInt()});
        if (!number || parts.value(1).isEmpty()) return false;
    }
    const int behaviour = QStringList{"serve", "silent", "trickle"}.indexOf(parser.value("behaviour"));
    server.behaviour = Behaviour(qMax(behaviour, 0));
    s.anyDatabase = server.behaviour != Behaviour::Serve;
    if (parser.isSet("lifetime")) server.lifetime = QDeadlineTimer(parser.value("lifetime").toInt() * 1000);
    if (parser.isSet("log")) {
        s.logFile.setFileName(parser.value("log"));
        if (!s.logFile.open(QIODevice::Append)) return false;
    }
    return !s.folder.isEmpty() && (behaviour >= 0 || !parser.isSet("behaviour"));
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A TDS 7.4 test server on 127.0.0.1 serving every DIR/<name>.sqlite as database <name>.");
    parser.addHelpOption();
    parser.addOptions(
        {{"folder", "The store folder.", "DIR"},
         {"port", "The TCP port (default: any free one).", "N", "0"},
         {"login", "Accept only this login (error 18456 otherwise).", "USER:PASSWORD"},
         {"log", "Append every statement received to FILE.", "FILE"},
         {"fault",
          "The first TIMES (1) statements containing TEXT, after SKIP (0) of them, fail with error NUMBER.",
          "NUMBER:TEXT[:TIMES[:SKIP]]"},
         {"nocount", "Report no row counts."},
         {"trigger-count", "Statements containing TEXT report an extra row count first.", "TEXT"},
         {"behaviour", "serve, silent (answers only SET) or trickle (one byte a second).", "MODE"},
         {"lifetime", "Stop after SECONDS.", "SECONDS"}});
    parser.process(app);
    Server server;
    if (!configure(server, parser)) {
        std::fprintf(stderr, "tds-testserver: --folder DIR is needed, a fault is NUMBER:TEXT[:TIMES[:SKIP]], "
                             "the behaviour serve, silent or trickle; see --help\n");
        return 2;
    }
    for (int signal : {SIGTERM, SIGINT})
        std::signal(signal, [](int) { g_stopping = true; });
    std::vector<std::thread> sessions;
    {
        DescriptorServer listener;
        if (!listener.listen(QHostAddress::LocalHost, quint16(parser.value("port").toUInt()))) {
            std::fprintf(stderr, "tds-testserver: %s\n", qPrintable(listener.errorString()));
            return 1;
        }
        std::printf("listening on 127.0.0.1:%u\n", listener.serverPort());
        std::fflush(stdout);
        while (!server.stopping()) {
            listener.waitForNewConnection(kSlice);
            for (qintptr descriptor : listener.pending)
                sessions.emplace_back(serve, std::ref(server), descriptor);
            listener.pending.clear();
        }
    }
    g_stopping = true;
    for (std::thread& session : sessions)
        session.join();
    return 0;
}
