// Document creation killed part-way (a real process, killed as a power cut would stop it), then a new
// run: every sale ends with exactly one document, every staged row with one document row, the stock
// lowered once per row and the counters advanced once per document and row.
#include "documentistore.h"
#include "sales/documents/documentivendita.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace {
const char* const kCartella = "EI_DOCUMENTI_INTERROTTI";
constexpr int kVendite = 2000; // two rows each, quantities 1 and 2

using DocumentiInterrotti = DocumentiTest;

TEST_F(DocumentiInterrotti, AKilledRunThenANewOneMakeEachDocumentOnce)
{
    iva(4, 22);
    for (int id = 1; id <= 20; ++id)
        uscita(id, 1, 4, {}, 100000);
    ASSERT_TRUE(store->database().transaction());
    for (int sale = 1; sale <= kVendite; ++sale)
        for (int row = 1; row <= 2; ++row)
            staged(QStringLiteral("V%1").arg(sale), QString::number(row), 1 + (sale + row) % 20, row, 1.5);
    ASSERT_TRUE(store->database().commit());
    const double stockBefore = valore(QStringLiteral("SELECT TOTAL(Giacenza) FROM Uscite")).toDouble();
    store.reset();

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kCartella), storeFolder());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=DocumentiFiglio.*")});
    // The child says when its first documents are saved (after the test runner's own lines); it is
    // killed at once, well inside the work.
    QByteArray said;
    while (!said.contains("pronto") && child.waitForReadyRead(60000))
        said += child.readAllStandardOutput();
    ASSERT_TRUE(said.contains("pronto")) << said.toStdString();
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child ended before it was killed";

    store = std::make_unique<ConnessioneStore>(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    const int before = valore(QStringLiteral("SELECT COUNT(*) FROM Documenti")).toInt();
    EXPECT_GT(before, 0);
    EXPECT_LT(before, kVendite);
    EXPECT_EQ(crea(), kVendite - before);

    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM Documenti")).toInt(), kVendite);
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM DocumentiRighe")).toInt(), 2 * kVendite);
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM Vendite_VT WHERE Elaborato <> '1'")).toInt(), 0);
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM (SELECT d.IDDocumento FROM Documenti d LEFT JOIN "
                                    "DocumentiRighe r ON r.IDDocumento = d.IDDocumento GROUP BY "
                                    "d.IDDocumento HAVING COUNT(r.IDDocumentoRiga) <> 2)"))
                  .toInt(),
              0)
        << "a document without both of its rows";
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM DocumentiRighe WHERE IDDocumento NOT IN "
                                    "(SELECT IDDocumento FROM Documenti)"))
                  .toInt(),
              0)
        << "a row without its header";
    const double stockAfter = valore(QStringLiteral("SELECT TOTAL(Giacenza) FROM Uscite")).toDouble();
    EXPECT_EQ(stockBefore - stockAfter, 3.0 * kVendite);
    EXPECT_EQ(colonna(QStringLiteral("SELECT Valore FROM Contatori WHERE NomeContatore IN ('IDDocumento', "
                                     "'IDDocumentoRiga') ORDER BY NomeContatore")),
              QStringList({QString::number(kVendite), QString::number(2 * kVendite)}));
}

// The run that is killed, in a process of its own (started by the test above).
TEST(DocumentiFiglio, Interrotto)
{
    const QString folder = qEnvironmentVariable(kCartella);
    if (folder.isEmpty())
        GTEST_SKIP() << "run by DocumentiInterrotti.AKilledRunThenANewOneMakeEachDocumentOnce";
    ConnessioneStore connection(
        {QStringLiteral("sqlite:") + folder, QStringLiteral("sa"), QString(), QStringLiteral("TAVIRA")}, 3,
        60);
    bool told = false;
    creaDocumentiVendita(connection, [&](const QStringList&) {
        if (told) return;
        told = true;
        std::printf("pronto\n");
        std::fflush(stdout);
    });
    std::_Exit(0);
}
} // namespace
