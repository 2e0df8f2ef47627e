#include "catalogstore.h"
#include "failingdevice.h"
#include "qtprinting.h"

#include "catalog/catalogfile.h"
#include "services/failure.h"
#include "services/parametri.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A title to export and an old catalog in place.
class InterruzioneTest : public CatalogoTest
{
protected:
    void SetUp() override
    {
        CatalogoTest::SetUp();
        unTitoloEVecchioCatalogo();
    }

    void expectAborted()
    {
        EXPECT_EQ(display.righe.mid(display.righe.size() - 3), righeInterrotta());
        ASSERT_FALSE(display.occupato.empty());
        EXPECT_FALSE(display.occupato.back());
        EXPECT_EQ(display.titoli.back(), "Esporta Importa in 'Vetrina'");
        EXPECT_TRUE(display.progresso.dots.isEmpty());
    }
};
} // namespace

TEST_F(InterruzioneTest, CheckFailuresAreLoggedAndToldUnlessUnattended)
{
    struct Row
    {
        const char* name;
        const char* key;
        QString value;
        const char* line;
    };
    const Row rows[] = {
        {"folder not configured", "PathDestCatalogoTotale", "   ",
         "La Cartella di Destinazione non è Configurata"},
        {"folder missing", "PathDestCatalogoTotale", path("manca"),
         "la cartella di Destinazione non Esiste!!"},
        {"file name not set", "NomeFileCatalogoTotale", "", "Il Nome del File non è Impostato"},
    };
    for (const Row& row : rows) {
        for (const bool unattended : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (unattended ? ", unattended" : ""));
            ASSERT_TRUE(ScriviParametro("PathDestCatalogoTotale", cartellaDest()));
            ASSERT_TRUE(ScriviParametro("NomeFileCatalogoTotale", "Catalogo.DAT"));
            ASSERT_TRUE(ScriviParametro(row.key, row.value));
            display.avvisi.clear();
            ASSERT_EQ(esporta(unattended), EsitoRun::Interrotta);
            const qsizetype at = display.righe.indexOf(row.line);
            ASSERT_GE(at, 0);
            EXPECT_EQ(display.righe.mid(at + 1), righeInterrotta());
            if (unattended) {
                EXPECT_TRUE(display.avvisi.empty());
            } else {
                ASSERT_EQ(display.avvisi.size(), 1u);
                EXPECT_EQ(display.avvisi[0].icona, IconaMessaggio::Critica);
                EXPECT_EQ(display.avvisi[0].titolo, "Attenzione!");
                EXPECT_EQ(display.avvisi[0].testo, row.line);
            }
            EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
            EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});
        }
    }
}

TEST_F(InterruzioneTest, ConnectionFailureLogsItsReason)
{
    display.connessione.database = "Manca";
    ASSERT_EQ(esporta(), EsitoRun::Interrotta);
    const qsizetype at = display.righe.indexOf("Connessione al Database di Tavira Fallita ");
    ASSERT_GE(at, 0);
    EXPECT_FALSE(display.righe.value(at + 1).trimmed().isEmpty()); // the reason, on a line of its own
    EXPECT_EQ(display.righe.mid(at + 2), righeInterrotta());
    EXPECT_FALSE(display.righe.contains("Connessione OK !"));
    ASSERT_EQ(display.avvisi.size(), 1u);
    EXPECT_EQ(display.avvisi[0].testo, "Connessione al Database di Tavira Fallita");
    EXPECT_EQ(display.avvisi[0].titolo, "Attenzione!");
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    expectAborted();
}

TEST_F(InterruzioneTest, TemporaryFileThatCannotBeCreated)
{
    ASSERT_TRUE(QDir().mkpath(temporaneoPath())); // a folder in the way
    ASSERT_EQ(esporta(true), EsitoRun::Interrotta);
    const qsizetype at = display.righe.indexOf("Impossibile Creare il File Temporaneo del Catalogo Totale");
    ASSERT_GE(at, 0);
    EXPECT_EQ(display.righe.value(at + 1), "Accesso Negato");
    EXPECT_EQ(display.righe.mid(at + 2), righeInterrotta());
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_EQ(display.occupato, (std::vector<bool>{true, false}));
    expectAborted();
}

TEST_F(InterruzioneTest, RefusedReplacementKeepsTheExportInTheTemporaryFile)
{
    ASSERT_TRUE(QFile::remove(catalogoPath()));
    ASSERT_TRUE(QDir().mkpath(catalogoPath())); // the file system refuses to put a file there
    ASSERT_EQ(esporta(true), EsitoRun::Interrotta);
    const qsizetype at = display.righe.indexOf("Impossibile Sovrascrivere il File del Catalogo Totale");
    ASSERT_GE(at, 0);
    EXPECT_EQ(display.righe.value(at + 1), "Accesso Negato");
    EXPECT_EQ(display.righe.mid(at + 2), righeInterrotta());
    EXPECT_EQ(leggi(temporaneoPath()).size(), 142);
    EXPECT_TRUE(QFileInfo(catalogoPath()).isDir());
    expectAborted();
}

TEST_F(InterruzioneTest, FailingQueryGoesToTheErrorReportAndKeepsTheOldCatalog)
{
    sql("DROP VIEW vUscite");
    sql("DROP TABLE Uscite");
    ASSERT_EQ(esporta(true), EsitoRun::Interrotta);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, FailureCode::Database);
    EXPECT_TRUE(errors[0].description.endsWith("(Crea File Catalogo)"))
        << errors[0].description.toStdString();
    EXPECT_GT(errors[0].line, 0);
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_FALSE(display.righe.contains("Esportazione Titoli Terminata con Successo !"));
    EXPECT_FALSE(display.righe.contains("Esportazione INTERROTTA !!")); // not a handled abort
    ASSERT_FALSE(display.occupato.empty());
    EXPECT_FALSE(display.occupato.back()); // the window is usable again
}

TEST_F(InterruzioneTest, FullDiskGoesToTheErrorReportAndKeepsTheOldCatalog)
{
    // Every write to the temporary file fails.
    setCatalogDevice([] { return std::make_unique<FailingDevice>(0); });
    const EsitoRun outcome = esporta(true);
    setCatalogDevice({});
    ASSERT_EQ(outcome, EsitoRun::Interrotta);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, FailureCode::DiskFull);
    EXPECT_TRUE(errors[0].description.endsWith("(Crea File Catalogo)"));
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_FALSE(display.righe.contains("Esportazione Titoli Terminata con Successo !"));
}

#ifdef Q_OS_UNIX
TEST_F(InterruzioneTest, APlantedLinkIsNotFollowedAndTheCatalogNeverBecomesALink)
{
    const QString target = path("altrove.txt");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("da non toccare");
    }
    ASSERT_TRUE(QFile::link(target, temporaneoPath()));
    ASSERT_EQ(esporta(true), EsitoRun::Interrotta);
    const qsizetype at = display.righe.indexOf("Impossibile Creare il File Temporaneo del Catalogo Totale");
    ASSERT_GE(at, 0);
    EXPECT_EQ(leggi(target), "da non toccare");
    EXPECT_FALSE(QFileInfo(catalogoPath()).isSymLink());
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_TRUE(errors.empty());
}
#endif
