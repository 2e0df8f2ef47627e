#include "services/parametri.h"

#include "services/errorreport.h"
#include "services/failure.h"
#include "services/fixedwidth.h"
#include "services/platform.h"
#include "services/programfolder.h"
#include "services/textfile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>
#include <QThread>

#include <functional>

namespace {
const QString kFileName = QStringLiteral("term.ini");
constexpr int kMaxRetries = 100;
constexpr int kRetryPauseMs = 10;
// Another instance holds the lock only for the few milliseconds of one write. A lock left by a process
// that was killed is taken over at once (its process is gone), or after kStaleLockMs when its process
// cannot be checked (another machine on a shared folder).
constexpr int kLockWaitMs = 15000;
constexpr int kStaleLockMs = 10000;

QString matchPrefix(const QString& key)
{
    return senzaSpazi(key + QLatin1Char('=')).toUpper();
}

bool matches(const QString& plainLine, const QString& prefix)
{
    return plainLine.size() >= prefix.size() && plainLine.left(prefix.size()).toUpper() == prefix;
}

// The plain bytes of a stored line. Only code 0 scrambles to LF and only code 3 to CR: written as "?",
// like a character the code page lacks, they can never end a stored line early.
QByteArray plainLineBytes(const QString& text)
{
    QByteArray bytes = codificaAnsi(text);
    for (char& c : bytes)
        if (c == '\0' || c == '\3') c = '?';
    return bytes;
}

void createIfMissing(const QString& path)
{
    if (QFile::exists(path)) return;
    // Append never empties a file that another instance has just created and written.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile creare %1: %2").arg(path, file.errorString()));
}

// The file to read and replace: a term.ini that is a link is followed to the file it names.
QString realFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

void openForReading(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FailureCode::PermissionDenied,
                      QStringLiteral("Impossibile aprire %1: %2").arg(file.fileName(), file.errorString()));
}

// Calls `attempt` until it succeeds, pausing between tries; false after the 101st failure. Covers a
// file held by another process for a moment. The pause does not run window events: the lock on
// term.ini is held meanwhile, and a write started by an event would wait for it in vain.
bool withRetries(const std::function<bool()>& attempt)
{
    for (int failures = 0;; ++failures) {
        if (attempt()) return true;
        if (failures >= kMaxRetries) return false;
        QThread::msleep(kRetryPauseMs);
    }
}

// Read, change and write back of term.ini run one process at a time, so that instances started
// together never build on each other's half-done work. The lock is a file beside term.ini; waiting
// for it lets window events run. Where no lock can be made at all (a folder without write access,
// where nothing can replace term.ini either) the write goes ahead unserialised.
class WriteLock
{
public:
    explicit WriteLock(const QString& file) : m_lock(file + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(kStaleLockMs);
        const QDeadlineTimer deadline(kLockWaitMs);
        while (!m_lock.tryLock(kRetryPauseMs)) {
            if (m_lock.error() == QLockFile::PermissionError) {
                m_mayWrite = true;
                return;
            }
            if (deadline.hasExpired()) return;
            if (QCoreApplication::instance()) QCoreApplication::processEvents();
        }
        m_mayWrite = true;
    }
    // False when another instance kept the lock for the whole wait.
    bool mayWrite() const { return m_mayWrite; }

private:
    QLockFile m_lock;
    bool m_mayWrite = false;
};

// A read-only term.ini (no write permission for anyone) is left as it is, whoever runs the program.
bool readOnly(const QString& path)
{
    // The permission bits, not the access of the user running: root can write anything.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(QFile::permissions(path) & anyWrite);
}

bool opensForWriting(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

struct Scan
{
    int matching = 0;  // lines whose key matches
    int different = 0; // of those, lines whose value differs from the one given
};

Scan scan(const QString& path, const QString& prefix, const QString& value)
{
    QFile file(path);
    openForReading(file);
    LineReader reader(file, LineEnds::AlsoLf);
    Scan found;
    QByteArray raw;
    while (reader.nextRaw(raw)) {
        const QString plain = decodificaAnsi(decodificaRiga(raw));
        if (!matches(plain, prefix)) continue;
        ++found.matching;
        if (plain.mid(prefix.size()) != value) ++found.different;
    }
    return found;
}

// Finds the first line matching the prefix; the rest of the line after the prefix goes to `value`.
bool findValue(const QString& path, const QString& prefix, QString* value)
{
    QFile file(path);
    openForReading(file);
    LineReader reader(file, LineEnds::AlsoLf);
    QByteArray raw;
    while (reader.nextRaw(raw)) {
        const QString plain = decodificaAnsi(decodificaRiga(raw));
        if (matches(plain, prefix)) {
            if (value) *value = plain.mid(prefix.size());
            return true;
        }
    }
    return false;
}

bool endsWithLineEnd(const QString& path)
{
    QFile file(path);
    openForReading(file);
    if (file.size() == 0) return true;
    file.seek(file.size() - 1);
    char last = 0;
    return file.getChar(&last) && (last == '\r' || last == '\n');
}

// Appends one line; a file whose last line has no line end gets one first, so the new line never
// joins it. A write that fails half-way is taken back.
bool appendLine(const QString& path, const QByteArray& line)
{
    const QByteArray bytes = (endsWithLineEnd(path) ? QByteArray() : QByteArray("\r\n")) + line + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const qint64 before = file.size();
    if (file.write(bytes) == bytes.size() && file.flush()) return true;
    file.resize(before);
    return false;
}

void failIfNotWritten(bool written, const QString& path)
{
    if (!written) throw Failure(FailureCode::DiskFull, QStringLiteral("Impossibile scrivere %1").arg(path));
}

// Writes the whole new content to a temporary file of this call only (a unique name, created new)
// beside term.ini, then puts it in term.ini's place in one step: term.ini is never half-written.
bool replaceLines(const QString& path, const QString& prefix, const QByteArray& newLine)
{
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/termTemp.XXXXXX"));
    QFile source(path);
    const bool opened = withRetries([&] {
        source.close();
        return source.open(QIODevice::ReadOnly) && (temp.isOpen() || temp.open());
    });
    if (!opened) return false;
    LineReader reader(source, LineEnds::AlsoLf);
    LineWriter writer(temp);
    QByteArray raw;
    while (reader.nextRaw(raw)) {
        const QString plain = decodificaAnsi(decodificaRiga(raw));
        writer.writeRaw(matches(plain, prefix) ? newLine : raw);
    }
    source.close();
    failIfNotWritten(temp.flush(), temp.fileName());
    temp.close();
    failIfNotWritten(temp.error() == QFileDevice::NoError, temp.fileName());
    QFile::setPermissions(temp.fileName(), QFile::permissions(path));
    if (!withRetries([&] { return sostituisciFileAtomicamente(temp.fileName(), path); })) return false;
    temp.setAutoRemove(false); // it is term.ini now
    return true;
}
} // namespace

QByteArray codificaRiga(const QByteArray& plain)
{
    QByteArray out(plain.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const int c = static_cast<unsigned char>(plain[i]);
        out[i] = char(c <= 245 ? c + 10 : 255 - c);
    }
    return out;
}

QByteArray decodificaRiga(const QByteArray& scrambled)
{
    QByteArray out(scrambled.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        const int c = static_cast<unsigned char>(scrambled[i]);
        out[i] = char(c <= 10 ? 255 - c : c - 10);
    }
    return out;
}

QString LeggiParametro(const QString& key)
{
    QString result;
    try {
        const QString path = percorsoNelProgramma(kFileName);
        createIfMissing(path);
        findValue(path, matchPrefix(key), &result);
    } catch (...) {
        segnalaErrore(QStringLiteral(" (LeggiParametro) "));
    }
    return result;
}

bool ScriviParametro(const QString& key, const QString& value)
{
    const QString prefix = matchPrefix(key);
    const QByteArray plainValue = plainLineBytes(senzaSpazi(value));
    const QByteArray newLine = codificaRiga(plainLineBytes(prefix) + plainValue);
    try {
        const QString link = percorsoNelProgramma(kFileName);
        createIfMissing(link);
        const QString path = realFile(link);
        const WriteLock lock(path);
        if (!lock.mayWrite()) return false;
        const Scan found = scan(path, prefix, decodificaAnsi(plainValue));
        // A value already stored is not written again: starting the program changes nothing on disk.
        if (found.matching > 0 && found.different == 0) return true;
        // A term.ini that cannot be written is left as it is: nothing may replace it behind its back.
        if (readOnly(path) || !withRetries([&] { return opensForWriting(path); })) return false;
        if (found.matching == 0) return withRetries([&] { return appendLine(path, newLine); });
        return replaceLines(path, prefix, newLine);
    } catch (...) {
        segnalaErrore(QStringLiteral(" (ScriviParametro) "));
    }
    return false;
}
