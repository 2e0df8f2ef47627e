#include "store/tool/storetool.h"

#include "services/clock.h"
#include "services/failure.h"
#include "services/platform.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/storelayout.h"
#include "store/storerow.h"
#include "store/tool/demodata.h"
#include "store/tool/salesfile.h"
#include "store/tool/servercopy.h"
#include "store/tool/toolarguments.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <functional>

namespace {
using Fill = std::function<void(ConnessioneStore&)>;

bool refuseExisting(const QString& path, bool overwrite, QTextStream& err)
{
    const QFileInfo info(path);
    if (info.exists() && (info.isDir() || !overwrite)) {
        err << QStringLiteral("%1 esiste già%2\n")
                   .arg(QDir::toNativeSeparators(path),
                        info.isDir() ? QStringLiteral(" ed è una cartella")
                                     : QStringLiteral(": usa --sovrascrivi per sostituirlo"));
        return true;
    }
    return false;
}

int buildStore(const ArgomentiStrumento& arguments, const Fill& fill, QTextStream& err)
{
    if (refuseExisting(arguments.file, arguments.sovrascrivi, err)) return 1;
    const QFileInfo target(arguments.file);
    const QString working = nomeDiLavoro(target);
    creaStoreVuoto(working);
    try {
        if (fill) {
            ConnessioneStore connection(impostazioniFileStore(working), 3, 0);
            fill(connection);
        }
    } catch (...) {
        QFile::remove(working);
        throw;
    }
    // Without --sovrascrivi a file that appeared meanwhile is still not replaced.
    const bool placed = arguments.sovrascrivi
                            ? sostituisciFileAtomicamente(working, target.absoluteFilePath())
                            : QFile::rename(working, target.absoluteFilePath());
    if (!placed) {
        QFile::remove(working);
        err << QStringLiteral("Impossibile mettere al suo posto %1\n")
                   .arg(QDir::toNativeSeparators(arguments.file));
        return 1;
    }
    return 0;
}

int writeSales(const ArgomentiStrumento& arguments, QTextStream& out, QTextStream& err)
{
    if (!QFileInfo(arguments.file).isFile()) {
        err << QStringLiteral("Lo store %1 non esiste\n").arg(QDir::toNativeSeparators(arguments.file));
        return 1;
    }
    if (refuseExisting(arguments.uscita, arguments.sovrascrivi, err)) return 1;
    ConnessioneStore connection(impostazioniFileStore(arguments.file), 3, 0);
    OpzioniVendite options;
    options.vendite = arguments.vendite;
    options.righe = arguments.righe;
    options.linee = arguments.linee;
    options.prove = arguments.prove;
    options.seed = arguments.seed;
    options.quando = adesso();
    const FileVenditeScritto written = scriviFileVendite(connection, arguments.uscita, options);
    out << QStringLiteral("Scritto %1: %2 vendite, %3 righe\n")
               .arg(QDir::toNativeSeparators(arguments.uscita))
               .arg(written.vendite)
               .arg(written.righe);
    return 0;
}
// Opening a store through the program's connection brings it to the current layout.
int upgradeStore(const ArgomentiStrumento& arguments, QTextStream& out, QTextStream& err)
{
    if (!QFileInfo(arguments.file).isFile()) {
        err << QStringLiteral("Lo store %1 non esiste\n").arg(QDir::toNativeSeparators(arguments.file));
        return 1;
    }
    ConnessioneStore connection(impostazioniFileStore(arguments.file), 3, 0);
    QSqlQuery layout = connection.esegui(QStringLiteral("PRAGMA user_version"));
    const int version = rigaSuccessiva(layout) ? layout.value(0).toInt() : 0;
    out << QStringLiteral("Lo store %1 ha la struttura %2\n")
               .arg(QDir::toNativeSeparators(arguments.file))
               .arg(version);
    return version == kLayoutStore ? 0 : 1;
}
} // namespace

int eseguiStrumento(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString problem;
    const std::optional<ArgomentiStrumento> parsed = leggiArgomenti(arguments, problem);
    if (!parsed) {
        err << problem << "\n\n" << usoStrumento();
        err.flush();
        return 2;
    }
    if (parsed->comando == QLatin1String("aiuto")) {
        out << usoStrumento();
        out.flush();
        return 0;
    }
    int status = 1;
    try {
        if (parsed->comando == QLatin1String("carica") || parsed->comando == QLatin1String("scarica")) {
            const ImpostazioniConnessione server{parsed->server, parsed->utente, parsed->password,
                                                 parsed->database};
            if (parsed->comando == QLatin1String("carica"))
                caricaSuServer(parsed->file, server, parsed->sovrascrivi, out);
            else
                scaricaDaServer(server, parsed->file, parsed->sovrascrivi, out);
            status = 0;
        } else if (parsed->comando == QLatin1String("aggiorna")) {
            status = upgradeStore(*parsed, out, err);
        } else if (parsed->comando == QLatin1String("vendite")) {
            status = writeSales(*parsed, out, err);
        } else if (parsed->comando == QLatin1String("init")) {
            status = buildStore(*parsed, {}, err);
            if (status == 0)
                out << QStringLiteral("Creato lo store vuoto %1\n")
                           .arg(QDir::toNativeSeparators(parsed->file));
        } else {
            RiepilogoDemo summary;
            QElapsedTimer elapsed;
            elapsed.start();
            OpzioniDemo options;
            options.titoli = parsed->titoli;
            options.seed = parsed->seed;
            options.oggi = adesso().date();
            status = buildStore(
                *parsed,
                [&](ConnessioneStore& connection) { summary = riempiStoreDemo(connection, options); }, err);
            if (status == 0)
                out << QStringLiteral("Creato lo store %1: %2 titoli, %3 uscite (%4 ms)\n")
                           .arg(QDir::toNativeSeparators(parsed->file))
                           .arg(summary.titoli)
                           .arg(summary.uscite)
                           .arg(elapsed.elapsed());
        }
    } catch (const Failure& failure) {
        err << QStringLiteral("Errore: %1\n").arg(failure.description());
        status = 1;
    } catch (const std::exception& other) {
        err << QStringLiteral("Errore: %1\n").arg(QString::fromLocal8Bit(other.what()));
        status = 1;
    }
    out.flush();
    err.flush();
    return status;
}
