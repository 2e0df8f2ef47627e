// The sales import's benchmark: runs the real import of a sales file on a store without a screen (the
// intake and staging, then the documents), or its "floor" (the same lines staged and the same documents
// made by set-based statements in one transaction), and prints lines per second for the staging, for
// the documents and for both, peak memory and, for the import, the longest gap between two passes of
// the event loop; then what the store holds afterwards, to compare the two. scripts/bench drives it.
#include "catalog/bench/headlessdisplay.h"
#include "sales/importavendite.h"
#include "sales/letturavendite.h"
#include "services/failure.h"
#include "services/parametri.h"
#include "store/bench/salesfloor.h"
#include "store/connessionestore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {
const QString kInizioDocumenti = QStringLiteral("Inizio Creazione Vendita");

double alSecondo(qint64 lines, qint64 ns)
{
    return ns > 0 ? double(lines) * 1e9 / double(ns) : 0.0;
}

void stampa(const char* what, qint64 lines, qint64 stagingNs, qint64 documentsNs, const QString& extra)
{
    const qint64 total = stagingNs + documentsNs;
    std::printf("%s lines=%lld staging_ms=%.1f documents_ms=%.1f wall_ms=%.1f staging_lines_per_s=%.0f "
                "documents_lines_per_s=%.0f lines_per_s=%.0f peak_rss_kb=%ld%s\n",
                what, (long long)lines, double(stagingNs) / 1e6, double(documentsNs) / 1e6,
                double(total) / 1e6, alSecondo(lines, stagingNs), alSecondo(lines, documentsNs),
                alSecondo(lines, total), picoMemoriaKb(), qPrintable(extra));
}

// The headless window that also notes when the staging ends: the run logs "Inizio Creazione Vendita"
// once every line is staged and saved, right before the documents.
class DisplayImportazione : public DisplaySenzaSchermo
{
public:
    using DisplaySenzaSchermo::DisplaySenzaSchermo;

    void scriviLog(Pannello panel, const QString& text) override
    {
        if (text == kInizioDocumenti && m_stagingNs < 0) m_stagingNs = m_clock.nsecsElapsed();
        DisplaySenzaSchermo::scriviLog(panel, text);
    }

    void parti()
    {
        m_clock.start();
        inizia();
    }
    qint64 trascorsoNs() const { return m_clock.nsecsElapsed(); }
    qint64 stagingNs() const { return m_stagingNs; }

private:
    QElapsedTimer m_clock;
    qint64 m_stagingNs = -1;
};

qint64 righeDelFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    return contaRigheVendite(file);
}

// The import of the sales file in the folder through the window's command, unattended: the checks,
// the intake and staging, the documents, the closing lines.
bool importa(DisplayImportazione& display)
{
    return importaVendite(ContestoRun{display, display.impostazioniConnessione(), true}) ==
           EsitoRun::Completata;
}

int importazione(const ImpostazioniConnessione& settings, const QString& salesFile)
{
    const QFileInfo info(salesFile);
    const QString cartella = info.absolutePath() + QLatin1Char('/');
    ScriviParametro(QStringLiteral("PathOrigineVendite"), cartella);
    ScriviParametro(QStringLiteral("NomeFileVendite"), info.fileName());
    const qint64 lines = righeDelFile(salesFile);

    DisplayImportazione display(settings, true);
    display.parti();
    const bool completed = importa(display);
    display.termina();
    const qint64 total = display.trascorsoNs();
    const qint64 staging = display.stagingNs() < 0 ? total : display.stagingNs();

    ConnessioneStore check(settings, 3, 60);
    stampa("import", lines, staging, total - staging,
           QStringLiteral(" longest_gap_ms=%1 event_passes=%2 longest_gap_before_pass=%3 store=%4")
               .arg(double(display.intervalloMassimoNs()) / 1e6, 0, 'f', 1)
               .arg(display.passaggi())
               .arg(display.passaggioDopoIntervallo())
               .arg(riepilogoStore(check)));
    return completed && display.stagingNs() >= 0 ? 0 : 1;
}

int minimo(const ImpostazioniConnessione& settings, const QString& salesFile)
{
    ConnessioneStore connection(settings, 3, 60);
    if (connection.motore() != Motore::Embedded) {
        std::fprintf(stderr, "the floor runs on the embedded store only\n");
        return 2;
    }
    const TempiMinimo tempi = minimoVendite(connection, salesFile);
    stampa("floor", tempi.righe, tempi.stagingNs, tempi.documentiNs,
           QStringLiteral(" store=%1").arg(riepilogoStore(connection)));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sales import benchmark"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("what"), QStringLiteral("import | floor"));
    parser.addOption({QStringLiteral("server"), QStringLiteral("server name, e.g. sqlite:/folder"),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("database"), QStringLiteral("database name"), QStringLiteral("name")});
    parser.addOption({QStringLiteral("file"),
                      QStringLiteral("the sales file (import: taken in and deleted, as the run does)"),
                      QStringLiteral("path")});
    parser.process(app);
    const QStringList what = parser.positionalArguments();
    if (what.size() != 1 || !parser.isSet(QStringLiteral("server")) || !parser.isSet(QStringLiteral("file")))
        parser.showHelp(2);

    const ImpostazioniConnessione settings{parser.value(QStringLiteral("server")), QString(), QString(),
                                           parser.value(QStringLiteral("database"))};
    const QString file = QFileInfo(parser.value(QStringLiteral("file"))).absoluteFilePath();
    try {
        if (what[0] == QLatin1String("import")) return importazione(settings, file);
        if (what[0] == QLatin1String("floor")) return minimo(settings, file);
    } catch (const std::exception& failure) {
        const auto* own = dynamic_cast<const Failure*>(&failure);
        std::fprintf(stderr, "failed: %s\n", own ? qPrintable(own->description()) : failure.what());
        return 1;
    }
    parser.showHelp(2);
}
