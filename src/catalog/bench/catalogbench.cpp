// The catalog export's benchmark: runs the real export on a store without a screen, or the "floor" (one
// set-based statement selecting the same issue rows, formatted and streamed to a file the same way), and
// prints wall time, records, peak memory and, for the export, the longest gap between two passes of the
// event loop. scripts/bench drives it.
#include "catalog/bench/headlessdisplay.h"
#include "catalog/catalogexport.h"
#include "catalog/catalogrecord.h"
#include "catalog/catalogselection.h"
#include "services/parametri.h"
#include "store/bench/catalogfloor.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {
void stampa(const char* what, qint64 records, qint64 elapsedNs, const QString& extra)
{
    const double seconds = double(elapsedNs) / 1e9;
    std::printf("%s records=%lld wall_ms=%.1f records_per_s=%.0f peak_rss_kb=%ld%s\n", what,
                (long long)records, seconds * 1000, seconds > 0 ? double(records) / seconds : 0.0,
                picoMemoriaKb(), qPrintable(extra));
}

int esporta(const ImpostazioniConnessione& settings, const QString& outFolder, const QString& mode)
{
    ScriviParametro(QStringLiteral("PathDestCatalogoTotale"), outFolder);
    ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("Catalogo.DAT"));
    ScriviParametro(QStringLiteral("QualiTitoliCatalogoTotale"), mode);
    DisplaySenzaSchermo display(settings, true);
    QElapsedTimer clock;
    clock.start();
    display.inizia();
    const EsitoRun outcome = esportaCatalogoTotale({display, display.impostazioniConnessione(), true});
    display.termina();
    const qint64 elapsed = clock.nsecsElapsed();
    const qint64 records = QFileInfo(QDir(outFolder).filePath(QStringLiteral("Catalogo.DAT"))).size() /
                           TracciatoCatalogo::lunghezzaRiga;
    stampa("export", records, elapsed,
           QStringLiteral(" titles=%1 longest_gap_ms=%2 event_passes=%3 longest_gap_before_pass=%4")
               .arg(display.passi())
               .arg(double(display.intervalloMassimoNs()) / 1e6, 0, 'f', 1)
               .arg(display.passaggi())
               .arg(display.passaggioDopoIntervallo()));
    return outcome == EsitoRun::Completata ? 0 : 1;
}

int minimo(const ImpostazioniConnessione& settings, const QString& outFile, const QString& modeText)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 records = minimoCatalogo(settings, outFile, modoSelezione(modeText));
    if (records < 0) return 2;
    stampa("floor", records, clock.nsecsElapsed(), {});
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Catalog export benchmark"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("what"), QStringLiteral("export | floor"));
    parser.addOption({QStringLiteral("server"), QStringLiteral("server name, e.g. sqlite:/folder"),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("database"), QStringLiteral("database name"), QStringLiteral("name")});
    parser.addOption(
        {QStringLiteral("out"), QStringLiteral("export: folder; floor: file"), QStringLiteral("path")});
    parser.addOption({QStringLiteral("modo"), QStringLiteral("selection mode (0 or 1)"), QStringLiteral("n"),
                      QStringLiteral("0")});
    parser.process(app);
    const QStringList what = parser.positionalArguments();
    if (what.size() != 1 || !parser.isSet(QStringLiteral("server")) || !parser.isSet(QStringLiteral("out")))
        parser.showHelp(2);

    const ImpostazioniConnessione settings{parser.value(QStringLiteral("server")), QString(), QString(),
                                           parser.value(QStringLiteral("database"))};
    const QString out = QFileInfo(parser.value(QStringLiteral("out"))).absoluteFilePath();
    if (what[0] == QLatin1String("export"))
        return esporta(settings, out, parser.value(QStringLiteral("modo")));
    if (what[0] == QLatin1String("floor")) return minimo(settings, out, parser.value(QStringLiteral("modo")));
    parser.showHelp(2);
}
