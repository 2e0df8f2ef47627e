#include "tdstestserver.h"

#include <QFile>

TdsTestServer::TdsTestServer(const QString& folder, const QStringList& options)
{
    QFile::remove(m_scratch.filePath(QStringLiteral("statements.log")));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TDS_TESTSERVER),
                    QStringList{QStringLiteral("--folder"), folder.isEmpty() ? m_scratch.path() : folder,
                                QStringLiteral("--log"),
                                m_scratch.filePath(QStringLiteral("statements.log"))} +
                        options);
    if (!m_process.waitForStarted(10000)) return;
    for (int attempt = 0; attempt < 100 && !m_process.canReadLine(); ++attempt)
        m_process.waitForReadyRead(100);
    const QByteArray line = m_process.readLine().trimmed();
    if (line.startsWith("listening on 127.0.0.1:")) m_port = line.mid(line.lastIndexOf(':') + 1).toInt();
}

void TdsTestServer::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QStringList TdsTestServer::log() const
{
    QFile file(m_scratch.filePath(QStringLiteral("statements.log")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TdsTestServer::statements() const
{
    QStringList lines = log();
    lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("-- ")); });
    return lines;
}
