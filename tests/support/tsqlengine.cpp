#include "tsqlengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdlib>

namespace {
constexpr int kStartMs = 120000; // a cold engine: the first start unpacks nothing, but a slow disk
} // namespace

TsqlEngine& TsqlEngine::instance()
{
    // Never destroyed: the engine is stopped at exit, before Qt's own statics go.
    static TsqlEngine* engine = [] {
        auto* made = new TsqlEngine;
        std::atexit([] { TsqlEngine::instance().stop(); });
        return made;
    }();
    return *engine;
}

TsqlEngine::TsqlEngine()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(
        QDir::temp().filePath(QStringLiteral("tsql-engine-%1.log").arg(QCoreApplication::applicationPid())));
    m_process.start(QStringLiteral(EI_TSQL_ENGINE), {QStringLiteral("serve")});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("scripts/tsql-engine did not start: ") + m_process.errorString();
        return;
    }
    QByteArray line;
    for (int waited = 0; waited < kStartMs && !m_process.canReadLine(); waited += 100)
        if (!m_process.waitForReadyRead(100) && m_process.state() == QProcess::NotRunning) break;
    line = m_process.readLine().trimmed();
    // "listening on 127.0.0.1:PORT login USER PASSWORD"
    const QList<QByteArray> words = line.split(' ');
    if (!line.startsWith("listening on 127.0.0.1:") || words.size() != 6) {
        m_error = QStringLiteral("the engine did not answer (run scripts/tsql-engine obtain first): ") +
                  QString::fromUtf8(line);
        stop();
        return;
    }
    m_port = words.at(2).mid(words.at(2).lastIndexOf(':') + 1).toInt();
    m_user = QString::fromUtf8(words.at(4));
    m_password = QString::fromUtf8(words.at(5));
}

void TsqlEngine::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(20000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
    m_port = 0;
}

ImpostazioniConnessione TsqlEngine::settings(const QString& database) const
{
    return {serverName(), m_user, m_password, database};
}

QString TsqlEngine::newName()
{
    return QStringLiteral("TAVIRA_T%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_names);
}

QString TsqlEngine::tool(const QStringList& arguments, bool& ok)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral(EI_STORETOOL), arguments);
    ok = child.waitForFinished(300000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return QString::fromUtf8(child.readAll());
}

QString TsqlEngine::load(const QString& storeFile, QString* why)
{
    const QString name = newName();
    bool ok = false;
    const QString said = tool({QStringLiteral("carica"), storeFile, serverName(), name,
                               QStringLiteral("--utente"), m_user, QStringLiteral("--password"), m_password},
                              ok);
    if (why) *why = said;
    return ok ? name : QString();
}

bool TsqlEngine::download(const QString& database, const QString& storeFile, QString* why)
{
    bool ok = false;
    const QString said =
        tool({QStringLiteral("scarica"), serverName(), database, storeFile, QStringLiteral("--utente"),
              m_user, QStringLiteral("--password"), m_password, QStringLiteral("--sovrascrivi")},
             ok);
    if (why) *why = said;
    return ok;
}

QString TsqlEngine::exec(const QString& database, const QString& sql)
{
    const QString name = QStringLiteral("tsqlengine-exec");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(QStringLiteral("DRIVER={FreeTDS};Server=127.0.0.1;Port=%1;Database=%2;UID=%3;"
                                          "PWD=%4;ClientCharset=UTF-8;TDS_Version=7.4")
                               .arg(m_port)
                               .arg(database, m_user, m_password));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (!query.exec(sql)) error = query.lastError().text();
            while (error.isEmpty() && query.nextResult()) {
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}
