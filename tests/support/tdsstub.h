#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A SQL Server stand-in on the loopback interface that speaks just enough TDS 7.4 for FreeTDS's ODBC
// driver: a pre-login without encryption, a login acknowledged, then one behaviour per stub. Each
// connection is served on a thread of its own; every wait is short and checks for the stub's end, and
// the destructor closes every connection, so a driver still waiting on it gets its answer at once.
class TdsStub
{
public:
    enum class Behaviour {
        // Logs in and answers what the driver and Qt send while opening (SET options) and the driver's
        // housekeeping, but never answers a query; a cancel is acknowledged as a server does.
        Silent,
        // Every byte it sends goes out one per second, the login included.
        Trickle,
        // Answers every batch and procedure call: a named procedure with output parameters gets them
        // back (return values) holding the canned value; anything else gets a result set of one int
        // column and one row holding the canned value.
        Answer,
    };

    // The canned value: a number, or nothing for NULL. After `lifetimeMs` the stub closes every
    // connection and accepts no more, so that a test of a client that would wait for ever still ends.
    explicit TdsStub(Behaviour behaviour, std::optional<int> value = 0, int lifetimeMs = 30000);
    ~TdsStub();
    TdsStub(const TdsStub&) = delete;
    TdsStub& operator=(const TdsStub&) = delete;

    // "127.0.0.1,PORT", as the server setting of a connection.
    QString serverName() const;
    int connections() const { return m_connections; }
    int logins() const { return m_logins; }
    int attentions() const { return m_attentions; }
    // What was asked, in order: a batch's text, the statement a system procedure carries (sp_prepexec,
    // sp_executesql, sp_cursoropen...), otherwise "EXEC " and the procedure's name.
    QStringList statements() const;
    // The text values that came as parameters of those statements (a counter's name...), in order.
    QStringList textValues() const;

private:
    class Conversation;
    void acceptLoop(std::shared_ptr<std::promise<quint16>> port);
    void serve(qintptr descriptor);
    bool stopping() const { return m_stopping || m_lifetime.hasExpired(); }
    void record(const QString& statement, const QStringList& texts = {});

    const Behaviour m_behaviour;
    const std::optional<int> m_value;
    const QDeadlineTimer m_lifetime;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_logins{0};
    std::atomic<int> m_attentions{0};
    mutable std::mutex m_mutex;
    QStringList m_statements;
    QStringList m_texts;
    std::vector<std::thread> m_sessions; // touched only by the accepting thread until it is joined
    std::thread m_acceptor;
};
