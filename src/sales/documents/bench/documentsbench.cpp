// Benchmark of the sales documents: makes a fresh embedded store with issues and pending staged sales,
// then times the document creation on it. Prints lines, documents, wall time and lines per second.
// Usage: salesdocs_bench FOLDER [LINES] [LINES_PER_SALE] [ISSUES]
#include "sales/documents/documentivendita.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <ctime>

namespace {
// The processor time this process has used, in seconds: the machine may be shared.
double tempoProcessore()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: salesdocs_bench FOLDER [LINES] [LINES_PER_SALE] [ISSUES]\n");
        return 2;
    }
    const QString folder = QDir(args.at(1)).absolutePath();
    const int lines = args.value(2, QStringLiteral("10000")).toInt();
    const int perSale = qMax(1, args.value(3, QStringLiteral("2")).toInt());
    const int issues = qMax(1, args.value(4, QStringLiteral("1000")).toInt());
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("BENCH.sqlite"));
    QFile::remove(file);
    creaStoreVuoto(file);
    ConnessioneStore store(impostazioniFileStore(file), 3, 60);

    if (qEnvironmentVariableIsSet("BENCH_WAL")) {
        store.esegui(QStringLiteral("PRAGMA journal_mode=WAL")).finish();
        store.esegui(QStringLiteral("PRAGMA synchronous=NORMAL")).finish();
    }
    store.esegui(QStringLiteral("BEGIN"));
    store.esegui(QStringLiteral("INSERT INTO IVA VALUES (1, 4), (2, 22), (3, 0)"));
    for (int i = 1; i <= issues; ++i) {
        store.esegui(
            QStringLiteral("INSERT INTO Prodotti (IDProd, Testata, IDTipoProdotto) VALUES (?, ?, ?)"),
            {i, QStringLiteral("Testata %1").arg(i), 1 + i % 10});
        store.esegui(
            QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, NumeroCopertina, IDIva, PrezzoNetto, "
                           "PrezzoVenditaExtra, Giacenza, UmVendita) VALUES (?, ?, ?, ?, ?, ?, 100, 'PZ')"),
            {i, i, QString::number(i), 1 + i % 3, 0.8 + (i % 7) * 0.1, i % 5 == 0 ? 3.0 : 0.0});
    }
    for (int line = 0; line < lines; ++line)
        store.esegui(
            QStringLiteral("INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", "
                           "IDUscita, Prezzo, Elaborato) VALUES (?, ?, '2026-12-07', '09:05', '977', 1, "
                           "?, 1.5, '0')"),
            {QStringLiteral("V%1").arg(line / perSale, 8, 10, QLatin1Char('0')),
             QString::number(line % perSale + 1), 1 + line % issues});
    store.esegui(QStringLiteral("COMMIT"));

    QElapsedTimer clock;
    clock.start();
    const double cpuStart = tempoProcessore();
    int logLines = 0;
    // BENCH_SOLO_STORE=1: the store alone, to tell its cost from the documents' in a profile.
    const int documents = qEnvironmentVariableIsSet("BENCH_SOLO_STORE")
                              ? (lines + perSale - 1) / perSale
                              : creaDocumentiVendita(store, [&](const QString&) { ++logLines; });
    if (qEnvironmentVariableIsSet("BENCH_SOLO_STORE")) logLines = 2 * documents;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = tempoProcessore() - cpuStart;
    std::printf(
        "documents lines=%d documents=%d wall_ms=%.1f lines_per_s=%.0f cpu_ms=%.1f lines_per_cpu_s=%.0f\n",
        lines, documents, seconds * 1000, seconds > 0 ? lines / seconds : 0.0, cpu * 1000,
        cpu > 0 ? lines / cpu : 0.0);
    return documents == (lines + perSale - 1) / perSale && logLines == 2 * documents ? 0 : 1;
}
