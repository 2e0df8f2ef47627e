#include "store/ownfiles.h"

#include "services/exchangelock.h"
#include "services/fixedwidth.h"
#include "services/parametri.h"
#include "services/programfolder.h"
#include "store/connessionestore.h"

#include <QDir>
#include <QFileInfo>

namespace {
const char* const kFileLocali[] = {"term.ini", "termTemp.ini", "Tavira.XML", "LOG.Dat", "LogErrori.TXT"};
const char* const kFineStore[] = {".sqlite", ".sqlite-wal", ".sqlite-shm", ".sqlite-journal"};

QStringList fileDelloScambio(Pannello exchange, const QString& folder, const QString& name)
{
    QStringList files;
    if (senzaSpazi(folder).isEmpty() || senzaSpazi(name).isEmpty()) return files;
    for (const QString& prefix : descrizioneScambio(exchange).prefissiFile)
        files << QDir(folder).filePath(prefix + name);
    return files;
}

QString fileDelloStore(const QString& target, const QString& server)
{
    if (motoreDelServer(server) != Motore::Embedded) return {};
    const QString storeFolder = cartellaStoreEmbedded(server);
    if (samePath(target, storeFolder)) return storeFolder;
    const QString canonical = canonicalPath(target);
    if (QFileInfo(canonical).absolutePath().compare(canonicalPath(storeFolder), Qt::CaseInsensitive) != 0)
        return {};
    for (const char* ending : kFineStore)
        if (canonical.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return canonical;
    return {};
}

QString fileProprio(Pannello exchange, const QString& target, const QString& server)
{
    for (const char* name : kFileLocali) {
        const QString own = percorsoNelProgramma(QLatin1String(name));
        if (samePath(target, own)) return own;
    }
    if (QString store = fileDelloStore(target, server); !store.isEmpty()) return store;
    for (const Pannello other : scambi()) {
        const DescrizioneScambio& row = descrizioneScambio(other);
        if (other == exchange || row.tagRun.isEmpty()) continue; // the update file has no run to write it
        for (const QString& own :
             fileDelloScambio(other, LeggiParametro(row.chiaveCartella), LeggiParametro(row.chiaveNome)))
            if (samePath(target, own)) return own;
    }
    return {};
}
} // namespace

QString fileProprioSostituito(Pannello exchange, const QString& folder, const QString& name,
                              const QString& server)
{
    for (const QString& target : fileDelloScambio(exchange, folder, name))
        if (QString own = fileProprio(exchange, target, server); !own.isEmpty())
            return QDir::toNativeSeparators(own);
    return {};
}

QString testoFileProprio(const QString& ownFile)
{
    return QStringLiteral("Il File Scelto Sostituirebbe un File del Programma: ") + ownFile;
}
