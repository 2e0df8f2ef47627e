// The SQL Server path of the store layer against servers that misbehave: Qt's ODBC driver with FreeTDS
// against local sockets (one that never answers, one that reads the login and hangs up, one that answers a
// byte at a time), and with Debian's SQLite ODBC driver against an embedded store file.
#include "plainsqlite.h"
#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "store/asyncopen.h"
#include "store/connectionregistry.h"
#include "store/connectiontest.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/odbcbinding.h"
#include "store/sharedconnection.h"
#include "store/sqlitecollation.h"
#include "testfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlResult>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <QThread>
#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
bool odbcDriverInstalled(const char* name)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) return false;
    QFile registry(QStringLiteral("/etc/odbcinst.ini"));
    return registry.open(QIODevice::ReadOnly) && registry.readAll().contains(QByteArray("[") + name + "]");
}

// Calls the window's event processing and remembers the longest pause between two calls.
struct WatchedPump
{
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    int calls = 0;

    EventPump pump()
    {
        sinceLast.start();
        return [this] {
            longestGap = qMax(longestGap, sinceLast.restart());
            ++calls;
            QCoreApplication::processEvents();
        };
    }
};

// A server that accepts connections and never sends a byte.
class SilentServer
{
public:
    SilentServer()
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                m_held.push_back(socket);
        });
    }
    QString serverName() const { return QStringLiteral("127.0.0.1,%1").arg(m_server.serverPort()); }
    size_t accepted() const { return m_held.size(); }

protected:
    QTcpServer m_server;
    std::vector<QTcpSocket*> m_held;
};

void waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}
} // namespace

class FreeTdsPath : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        if (!odbcDriverInstalled("FreeTDS")) GTEST_SKIP() << "FreeTDS ODBC driver not installed";
        qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", "FreeTDS");
        chiudiConnessioneCondivisa();
    }
    void TearDown() override
    {
        qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
        qunsetenv("ESPORTA_IMPORTA_ODBC_EXTRA");
        chiudiConnessioneCondivisa();
        ProgramFolderTest::TearDown();
    }
};

TEST_F(FreeTdsPath, UnansweredServerGivesUpWithinTheLimitWhileEventsRun)
{
    SilentServer server;
    WatchedPump watch;
    QElapsedTimer elapsed;
    elapsed.start();
    const bool connected = ConnettiDatabase(
        {server.serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")},
        watch.pump());
    const qint64 took = elapsed.elapsed();
    EXPECT_FALSE(connected);
    EXPECT_LT(took, 5600);
    EXPECT_GE(took, 2500) << "the driver did not wait for the server at all";
    EXPECT_EQ(server.accepted(), 1u) << "FreeTDS did not reach Server and Port";
    EXPECT_LT(watch.longestGap, 200);
    EXPECT_GT(watch.calls, 50);
    EXPECT_FALSE(connessioneCondivisaAperta());
}

TEST_F(FreeTdsPath, ClosedPortFailsQuickly)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    } // closed again: nothing listens there now
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(ConnettiDatabase({QStringLiteral("127.0.0.1,%1").arg(port), QStringLiteral("sa"),
                                   QStringLiteral("x"), QStringLiteral("TAVIRA")},
                                  [] { QCoreApplication::processEvents(); }));
    EXPECT_LT(elapsed.elapsed(), 5600);
}

TEST_F(FreeTdsPath, UnknownHostFailsWithinTheWait)
{
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(ConnettiDatabase({QStringLiteral("server-assente.invalid"), QStringLiteral("sa"),
                                   QStringLiteral("x"), QStringLiteral("TAVIRA")},
                                  [] { QCoreApplication::processEvents(); }));
    EXPECT_LT(elapsed.elapsed(), 5600);
}

TEST_F(FreeTdsPath, AbandonedWorkerCleansUpWhenTheDriverReturns)
{
    SilentServer server;
    const int before = lavoriInCorso();
    const QStringList namesBefore = QSqlDatabase::connectionNames();
    QElapsedTimer elapsed;
    elapsed.start();
    const RisultatoProva result = provaConnessione(
        {server.serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")}, 2, 300,
        [] { QCoreApplication::processEvents(); });
    EXPECT_EQ(result.esito, EsitoProva::NonAperta);
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(lavoriInCorso(), before + 1); // still waiting on the server
    waitUntil([&] { return lavoriInCorso() == before; }, 6000);
    EXPECT_EQ(lavoriInCorso(), before);
    EXPECT_EQ(QSqlDatabase::connectionNames(), namesBefore); // its connection is gone
}

// Run in a process of its own by the next test: the program ends while a worker still waits on a server
// that never answers (its login limit is far beyond the end's wait).
TEST_F(FreeTdsPath, DISABLED_ProgramEndsWhileAWorkerWaits)
{
    auto* server = new SilentServer; // left open: the worker must still be waiting when the program ends
    const RisultatoProva result = provaConnessione(
        {server->serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")}, 60, 100,
        [] { QCoreApplication::processEvents(); });
    EXPECT_EQ(result.esito, EsitoProva::NonAperta);
    EXPECT_EQ(lavoriInCorso(), 1);
}

TEST_F(FreeTdsPath, ProgramEndsCleanlyWithAWorkerStillWaiting)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=FreeTdsPath.DISABLED_ProgramEndsWhileAWorkerWaits")});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray output = child.readAllStandardOutput();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.constData();
    EXPECT_EQ(child.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
}

// Reads the login record that FreeTDS sends (TDS 7.0 sends it first, without a pre-login) and hangs up.
class LoginReader : public SilentServer
{
public:
    LoginReader()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            for (; m_watched < m_held.size(); ++m_watched) {
                QTcpSocket* socket = m_held[m_watched];
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
            }
        });
    }
    QByteArray packetType;
    QString user, password, database;

private:
    void read(QTcpSocket* socket)
    {
        m_data += socket->readAll();
        if (m_data.size() < 8) return;
        const int length = (uchar(m_data[2]) << 8) | uchar(m_data[3]);
        if (m_data.size() < length) return;
        packetType = m_data.left(1);
        const QByteArray login = m_data.mid(8, length - 8);
        const auto text = [&login](int at, bool scrambled) {
            const int offset = uchar(login[at]) | (uchar(login[at + 1]) << 8);
            const int count = uchar(login[at + 2]) | (uchar(login[at + 3]) << 8);
            QByteArray bytes = login.mid(offset, count * 2);
            if (scrambled)
                for (char& b : bytes) {
                    const uchar c = uchar(b) ^ 0xA5;
                    b = char(((c & 0x0F) << 4) | (c >> 4));
                }
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), count);
        };
        if (packetType == QByteArray(1, 0x10) && login.size() >= 72) {
            user = text(40, false);
            password = text(44, true);
            database = text(68, false);
        }
        socket->disconnectFromHost();
    }
    QByteArray m_data;
    size_t m_watched = 0;
};

TEST_F(FreeTdsPath, LoginCarriesValuesWithSeparatorsIntact)
{
    qputenv("ESPORTA_IMPORTA_ODBC_EXTRA", "TDS_Version=7.0");
    LoginReader server;
    EXPECT_FALSE(ConnettiDatabase({server.serverName(), QStringLiteral("sa;UID=x"),
                                   QStringLiteral("a;b=c{d;PWD=e"), QStringLiteral("TAVIRA=1;x")},
                                  [] { QCoreApplication::processEvents(); }));
    ASSERT_EQ(server.packetType, QByteArray(1, 0x10));
    EXPECT_EQ(server.user, QStringLiteral("sa;UID=x"));
    EXPECT_EQ(server.password, QStringLiteral("a;b=c{d;PWD=e"));
    EXPECT_EQ(server.database, QStringLiteral("TAVIRA=1;x"));
}

TEST_F(FreeTdsPath, PasswordWithAClosingBraceNeverLeaves)
{
    SilentServer server;
    EXPECT_FALSE(ConnettiDatabase(
        {server.serverName(), QStringLiteral("sa"), QStringLiteral("a}b"), QStringLiteral("T")},
        [] { QCoreApplication::processEvents(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(server.accepted(), 0u);
}

// A server that answers the pre-login with one byte every half second: each read of the driver gets
// something within its limit, and the whole login never ends.
class TricklingServer : public SilentServer
{
public:
    TricklingServer()
    {
        m_timer.setInterval(500);
        QObject::connect(&m_timer, &QTimer::timeout, &m_server, [this] {
            static const QByteArray header("\x04\x01\x10\x00\x00\x00\x01\x00", 8);
            for (QTcpSocket* socket : m_held)
                socket->write(m_sent < header.size() ? header.mid(m_sent, 1) : QByteArray(1, 0));
            ++m_sent;
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
    int m_sent = 0;
};

TEST_F(FreeTdsPath, TricklingServerOpenGivesUpWithinTheWait)
{
    const int before = lavoriInCorso();
    {
        TricklingServer server;
        QElapsedTimer elapsed;
        elapsed.start();
        try {
            ConnessioneStore connection(
                {server.serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")}, 3,
                60);
            ADD_FAILURE() << "opened";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), FailureCode::Database);
        }
        EXPECT_LT(elapsed.elapsed(), 6000);
    } // the server ends, closing its connections: the abandoned worker gets its answer
    waitUntil([&] { return lavoriInCorso() == before; }, 5000);
    EXPECT_EQ(lavoriInCorso(), before);
}

// The ODBC path of the layer, for real, with Debian's SQLite ODBC driver standing in for SQL Server's.
class SqliteOdbcPath : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        if (!odbcDriverInstalled("SQLite3")) GTEST_SKIP() << "SQLite3 ODBC driver not installed";
        qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", "SQLite3");
        registraCollazioneOvunque(); // the driver opens the file with the same SQLite library
        chiudiConnessioneCondivisa();
        creaStoreVuoto(path(QStringLiteral("TAVIRA.sqlite")));
        settings = {QStringLiteral("localhost"), QStringLiteral("utente"), QStringLiteral("p=w"),
                    path(QStringLiteral("TAVIRA.sqlite"))};
    }
    void TearDown() override
    {
        qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
        chiudiConnessioneCondivisa();
        ProgramFolderTest::TearDown();
    }
    ImpostazioniConnessione settings;
};

TEST_F(SqliteOdbcPath, QueriesBoundValuesDecimalsAndOpenResults)
{
    ConnessioneStore connection(settings, 3, 5);
    ASSERT_EQ(connection.motore(), Motore::SqlServer);
    ASSERT_EQ(connection.database().driverName(), QStringLiteral("QODBC"));
    connection.esegui(QStringLiteral("INSERT INTO Prodotti (IDProd, Testata) VALUES (?, ?)"),
                      {1, QStringLiteral("Città")});
    connection.esegui(
        QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, PrezzoCopertinaEuroDistributore) VALUES "
                       "(?, 1, ?)"),
        {10, QStringLiteral("2.675")});
    connection.esegui(
        QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, PrezzoCopertinaEuroDistributore) VALUES "
                       "(11, 1, 1.5)"));

    QSqlQuery titles = connection.esegui(
        QStringLiteral("SELECT IDProd, Testata FROM Prodotti WHERE Testata = ?"), {QStringLiteral("CITTà")});
    ASSERT_TRUE(titles.next()) << "the store's NOCASE text columns ignore ASCII letter case";
    QList<qint64> cents;
    QSqlQuery issues = connection.esegui(
        QStringLiteral(
            "SELECT PrezzoCopertinaEuroDistributore FROM Uscite WHERE IDProd = ? ORDER BY IDUscita"),
        {titles.value(0)});
    while (issues.next())
        cents << NumeroEsatto::daValore(issues.value(0))->inUnita(2).value_or(-1);
    EXPECT_EQ(cents, (QList<qint64>{268, 150}));
    EXPECT_FALSE(titles.next());
}

TEST_F(SqliteOdbcPath, ConnectionTestOpensTheSharedConnectionThroughOdbc)
{
    WatchedPump watch;
    EXPECT_TRUE(ConnettiDatabase(settings, watch.pump()));
    EXPECT_TRUE(connessioneCondivisaAperta());
    // A value this driver would read wrongly is refused, never sent.
    ImpostazioniConnessione unsafe = settings;
    unsafe.password = QStringLiteral("a;b");
    chiudiConnessioneCondivisa();
    EXPECT_FALSE(ConnettiDatabase(unsafe, {}));
}
