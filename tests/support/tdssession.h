#pragma once

#include "tdsprotocol.h"

#include <QFile>
#include <QHash>

#include <mutex>

// What every connection shares: the store folder, the login, the log and the faults asked for.
struct TdsServerSettings
{
    QString folder, user, password;
    bool noCount = false;
    bool anyDatabase = false; // a database without its file is an empty one (for servers that run nothing)
    QString triggerOn;        // statements containing it report an extra row count, as a trigger's
    struct Fault
    {
        int number;
        QString text;
        int times, skip; // statements failed, after letting `skip` through
    };
    QVector<Fault> faults;

    void log(const QString& line);
    // The error a statement is to fail with, counted off its fault; 0 for none.
    int faultFor(const QString& statement);
    QFile logFile;
    std::mutex mutex;
};

// One client connection's state on the store: its database, transaction and options. Each request
// comes in whole and goes back as the tokens of its answer.
class TdsSession
{
public:
    explicit TdsSession(TdsServerSettings& settings) : m_settings(settings) {}
    ~TdsSession();
    Q_DISABLE_COPY(TdsSession)

    QByteArray login(const tds::Login& login, bool& accepted);
    QByteArray call(const tds::Call& call);
    QByteArray transactionRequest(const QByteArray& body);

private:
    struct Answer // the tokens of one request's answer, and whether its batch goes on
    {
        tds::Tokens out;
        bool aborted = false; // the rest of the batch is not run
        // A statement of the procedure call ends in DONEINPROC.
        void done(int status, int command, quint64 n) { out.done(0xFF, status | tds::More, command, n); }
    };
    bool query(const QString& sqlite, const tds::Values& values, tds::Result& result, Answer& answer);
    bool evaluate(const QString& expression, const tds::Values& values, QVariant& value, Answer& answer);
    bool run(const QString& statement, tds::Values& values, Answer& answer);
    bool exec(const QString& statement, tds::Values& values, Answer& answer);
    void runPrepared(const QString& statement, const QString& declaration,
                     const QVector<tds::Parameter>& values, Answer& answer);
    bool fail(int number, const QString& message, Answer& answer); // no message: the usual one
    void begin(tds::Tokens& out);
    void end(bool commit, tds::Tokens& out);
    bool inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

    TdsServerSettings& m_settings;
    sqlite3* m_db = nullptr;
    bool m_xactAbort = false, m_noCount = false;
    int m_nextHandle = 1;
    quint64 m_transactions = 0;
};
