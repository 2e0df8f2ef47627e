#pragma once

#include <QLockFile>
#include <QString>

#include <functional>

// The path as the file system resolves it (links followed), for a file that may not exist yet: its
// folder resolved, then its name. A folder that does not exist leaves the path absolute but unresolved.
QString canonicalPath(const QString& path);

// True when two paths name the same file, letter case ignored (Windows folders ignore it).
bool samePath(const QString& a, const QString& b);

// One run at a time per exchange file, across every instance of the program on this machine, whichever
// user started it: a lock file in the machine's common folder (platform.h), named after a hash of the
// canonical path, so that a read-only destination still works. A process that dies holding it does not block
// the file for ever: its lock is stale once its process is gone, and the next run takes it over.
class ExchangeLock
{
public:
    explicit ExchangeLock(const QString& exchangePath);

    // Tries for up to `waitMs`, calling `whileWaiting` between tries; false when another run still holds
    // it then.
    bool acquire(int waitMs, const std::function<void()>& whileWaiting);

    static QString lockFileFor(const QString& exchangePath);

private:
    QLockFile m_file;
};
