#include "services/exchangelock.h"

#include "services/platform.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kTryMs = 100;
// A lock file without its holder's identity is one whose process died between creating it and writing
// it; once this old it cannot be a run still starting.
constexpr qint64 kUnnamedStaleSecs = 10;
} // namespace

QString canonicalPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists()) return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    if (folder.isEmpty()) return QDir::cleanPath(info.absoluteFilePath());
    return QDir(folder).filePath(info.fileName());
}

bool samePath(const QString& a, const QString& b)
{
    return canonicalPath(a).compare(canonicalPath(b), Qt::CaseInsensitive) == 0;
}

QString ExchangeLock::lockFileFor(const QString& exchangePath)
{
    const QByteArray key = canonicalPath(exchangePath).toCaseFolded().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex();
    return QDir(cartellaComuneMacchina())
        .filePath(QStringLiteral("esporta-importa-%1.lock").arg(QLatin1String(hash)));
}

ExchangeLock::ExchangeLock(const QString& exchangePath) : m_file(lockFileFor(exchangePath))
{
    // A run may take minutes: only a holder whose process has gone makes the lock stale, never its age.
    m_file.setStaleLockTime(0);
}

bool ExchangeLock::acquire(int waitMs, const std::function<void()>& whileWaiting)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (m_file.tryLock(kTryMs)) return true;
        if (m_file.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
        qint64 pid = 0;
        QString host;
        QString application;
        const QFileInfo lockInfo(m_file.fileName());
        if (!m_file.getLockInfo(&pid, &host, &application) &&
            lockInfo.lastModified().secsTo(QDateTime::currentDateTime()) > kUnnamedStaleSecs)
            m_file.removeStaleLockFile();
        if (whileWaiting) whileWaiting();
    }
}
