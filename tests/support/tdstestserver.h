#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The test server (build/tds-testserver) as a child process of a test: started on a store folder (a
// folder of its own when none is given) with further command-line options, logging every statement it
// receives. The destructor stops it, which closes its store files.
class TdsTestServer
{
public:
    explicit TdsTestServer(const QString& folder = {}, const QStringList& options = {});
    ~TdsTestServer() { stop(); }
    TdsTestServer(const TdsTestServer&) = delete;
    TdsTestServer& operator=(const TdsTestServer&) = delete;

    bool started() const { return m_port > 0; }
    // "127.0.0.1,PORT", as the server setting of a connection.
    QString serverName() const { return QStringLiteral("127.0.0.1,%1").arg(m_port); }
    void stop();

    // The log: statements as received, and "-- login" and "-- attention" lines.
    QStringList log() const;
    QStringList statements() const;
    int logins() const { return int(log().filter(QStringLiteral("-- login ")).size()); }
    int attentions() const { return int(log().filter(QStringLiteral("-- attention")).size()); }

private:
    QTemporaryDir m_scratch;
    QProcess m_process;
    int m_port = 0;
};
