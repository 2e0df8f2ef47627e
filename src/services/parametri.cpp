#include "services/parametri.h"

#include "services/errorreport.h"
#include "services/failure.h"
#include "services/fixedwidth.h"
#include "services/platform.h"
#include "services/programfolder.h"
#include "services/textfile.h"

#include <QCoreApplication>
#include <QFile>

#include <functional>

namespace {
const QString kFileName = QStringLiteral("term.ini");
const QString kTempName = QStringLiteral("termTemp.ini");
constexpr int kMaxRetries = 100;

QString matchPrefix(const QString& key)
{
    return senzaSpazi(key + QLatin1Char('=')).toUpper();
}

bool matches(const QString& plainLine, const QString& prefix)
{
    return plainLine.size() >= prefix.size() && plainLine.left(prefix.size()).toUpper() == prefix;
}

void createIfMissing(const QString& path)
{
    if (QFile::exists(path)) return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile creare %1: %2").arg(path, file.errorString()));
}

void openForReading(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FailureCode::PermissionDenied,
                      QStringLiteral("Impossibile aprire %1: %2").arg(file.fileName(), file.errorString()));
}

// Calls `attempt` until it succeeds, yielding to the event loop between tries; false after the 101st
// failure. Covers a file held by another process for a moment.
bool withRetries(const std::function<bool()>& attempt)
{
    for (int failures = 0;; ++failures) {
        if (attempt()) return true;
        if (failures >= kMaxRetries) return false;
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
    }
}

// Finds the first line matching the prefix; the rest of the line after the prefix goes to `value`.
bool findValue(const QString& path, const QString& prefix, QString* value)
{
    QFile file(path);
    openForReading(file);
    LineReader reader(file);
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

QString CodificaTesto(const QString& text)
{
    return decodificaAnsi(codificaRiga(codificaAnsi(text)));
}
QString DecodificaTesto(const QString& text)
{
    return decodificaAnsi(decodificaRiga(codificaAnsi(text)));
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
    const QString path = percorsoNelProgramma(kFileName);
    const QString tempPath = percorsoNelProgramma(kTempName);
    const QString prefix = matchPrefix(key);
    const QByteArray newLine = codificaRiga(codificaAnsi(prefix + senzaSpazi(value)));
    try {
        createIfMissing(path);
        if (!findValue(path, prefix, nullptr)) {
            // Append: a file held elsewhere is retried like a replace.
            return withRetries([&] { return aggiungiRigaGrezza(path, newLine); });
        }

        // Replace: the whole new content goes to termTemp.ini first.
        QFile source(path);
        QFile temp(tempPath);
        const bool opened = withRetries([&] {
            source.close();
            temp.close();
            return source.open(QIODevice::ReadOnly) && temp.open(QIODevice::WriteOnly | QIODevice::Truncate);
        });
        if (!opened) return false;
        try {
            LineReader reader(source);
            LineWriter writer(temp);
            QByteArray raw;
            while (reader.nextRaw(raw)) {
                const QString plain = decodificaAnsi(decodificaRiga(raw));
                writer.writeRaw(matches(plain, prefix) ? newLine : raw);
            }
            source.close();
            if (!temp.flush())
                throw Failure(FailureCode::DiskFull, QStringLiteral("Impossibile scrivere %1").arg(tempPath));
            temp.close();
            if (temp.error() != QFileDevice::NoError)
                throw Failure(FailureCode::DiskFull, QStringLiteral("Impossibile scrivere %1").arg(tempPath));
        } catch (...) {
            temp.close();
            QFile::remove(tempPath);
            throw;
        }
        // The old term.ini stays whole until this one step puts the new one in its place.
        if (!withRetries([&] { return sostituisciFileAtomicamente(tempPath, path); })) {
            QFile::remove(tempPath);
            return false;
        }
        return true;
    } catch (...) {
        segnalaErrore(QStringLiteral(" (ScriviParametro) "));
    }
    return false;
}
