#include "catalogstore.h"
#include "qtprinting.h"

#include "services/exchangelock.h"
#include "services/parametri.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kEsiste = QStringLiteral("Esiste già un File di Catalogo Totale");
const QString kSi = QStringLiteral("L'utente ha risposto di Sovrascrivere il File");
const QString kNo = QStringLiteral("L'utente ha risposto di non Sovrascrivere il File");

class SovrascritturaTest : public CatalogoTest
{
protected:
    void SetUp() override
    {
        CatalogoTest::SetUp();
        unTitoloEVecchioCatalogo();
    }
};
} // namespace

TEST_F(SovrascritturaTest, YesReplacesTheCatalogOnlyOnceTheNewOneIsComplete)
{
    // Whenever the window looks during the run, the shop program would find a whole catalog: the old
    // one, or the complete new one.
    QList<QByteArray> seen;
    display.quandoEventi = [&] {
        const QByteArray now = leggi(catalogoPath());
        if (!seen.contains(now)) seen << now;
    };
    display.risposta = true;

    ASSERT_EQ(esporta(), EsitoRun::Completata);
    ASSERT_EQ(display.domande.size(), 1u);
    EXPECT_EQ(display.domande[0].titolo, "Attenzione!");
    EXPECT_EQ(display.domande[0].testo, "Esiste già un File di Catalogo Totale!!\r\n\r\nVuoi Sovrascrivere?");
    const QByteArray complete = leggi(catalogoPath());
    EXPECT_EQ(seen, (QList<QByteArray>{kVecchioCatalogo, complete}));

    EXPECT_EQ(usciteEsportate(), QList<int>{11});
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});
    const qsizetype asked = display.righe.indexOf(kEsiste);
    ASSERT_GE(asked, 0);
    EXPECT_EQ(display.righe.value(asked + 1), kSi);
    EXPECT_EQ(display.righe.value(asked + 2), "Cartella di Destinazione OK");
    EXPECT_EQ(display.righe.count(kEsiste), 2); // asked, then found again when the new one is put in place
    EXPECT_EQ(display.righe.mid(display.righe.size() - 3), righeSuccesso());
}

TEST_F(SovrascritturaTest, NoLeavesEverythingAsItWas)
{
    display.risposta = false;
    ASSERT_EQ(esporta(), EsitoRun::Interrotta);
    EXPECT_EQ(display.domande.size(), 1u);
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"}); // no temporary file either
    EXPECT_TRUE(display.righe.contains(kNo));
    EXPECT_FALSE(display.righe.contains(kSi));
    EXPECT_EQ(display.righe.mid(display.righe.size() - 3), righeInterrotta());
    EXPECT_EQ(display.occupato, std::vector<bool>{false});
    EXPECT_TRUE(display.avvisi.empty());
    EXPECT_EQ(display.titoli.back(), "Esporta Importa in 'Vetrina'");
}

TEST_F(SovrascritturaTest, UnattendedAnswersYesWithoutAsking)
{
    display.risposta = false; // never asked
    ASSERT_EQ(esporta(true), EsitoRun::Completata);
    EXPECT_TRUE(display.domande.empty());
    EXPECT_TRUE(display.avvisi.empty());
    EXPECT_TRUE(display.righe.contains(kSi));
    EXPECT_EQ(usciteEsportate(), QList<int>{11});
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});
}

TEST_F(SovrascritturaTest, AnExistingCatalogInOtherLetterCaseIsReplaced)
{
    ASSERT_TRUE(QFile::rename(catalogoPath(), path("out/catalogo.dat")));
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(display.domande.size(), 1u);
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});
    EXPECT_EQ(usciteEsportate(), QList<int>{11});
}

TEST_F(SovrascritturaTest, NoQualifyingTitleEndsWithoutACatalog)
{
    sql("UPDATE Prodotti SET Zefiro = 0");
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_FALSE(QFileInfo::exists(catalogoPath()));
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"TEMP_Catalogo.DAT"});
    EXPECT_EQ(QFileInfo(temporaneoPath()).size(), 0);
    const qsizetype none = display.righe.indexOf("Non ci sono Titoli da Esportare !");
    ASSERT_GE(none, 0);
    EXPECT_EQ(display.righe.mid(none + 1), righeSuccesso());
    ASSERT_EQ(display.avvisi.size(), 1u);
    EXPECT_EQ(display.avvisi[0].testo, "Esportazione Titoli Terminata con Successo !");
    EXPECT_EQ(display.massimi, std::vector<int>{}); // the bar keeps its reset maximum
}

TEST_F(CatalogoTest, NoQualifyingTitleAndNoCatalogBefore)
{
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"TEMP_Catalogo.DAT"});
    EXPECT_FALSE(display.righe.contains("Esiste già un File di Catalogo Totale"));
    EXPECT_TRUE(display.domande.empty());
}

namespace {
// A destination that names one of the program's own files.
struct FileProprioCase
{
    const char* nome;
    const char* cartella; // relative to the program folder
    const char* nomeCatalogo;
    const char* fileProprio; // relative to the program folder
};

class FileProprioTest : public CatalogoTest, public ::testing::WithParamInterface<FileProprioCase>
{
};

const FileProprioCase kFileProprii[] = {
    {"ParameterFile", "", "term.ini", "term.ini"},
    {"ParameterFileOtherCase", "", "TERM.INI", "term.ini"},
    {"ParameterTempFile", "", "termTemp.ini", "termTemp.ini"},
    {"SiteConfiguration", "", "Tavira.XML", "Tavira.XML"},
    {"ActivityLog", "", "LOG.Dat", "LOG.Dat"},
    {"ErrorLog", "", "LogErrori.TXT", "LogErrori.TXT"},
    {"StoreDatabase", "store", "Tavira.sqlite", "store/Tavira.sqlite"},
    {"StoreJournal", "store", "tavira.sqlite-wal", "store/tavira.sqlite-wal"},
    {"StoreFolder", "", "store", "store"},
    {"SalesFile", "out", "Vendite.DAT", "out/Vendite.DAT"},
    {"SalesRejectedLines", "out", "SALTATO_Vendite.DAT", "out/SALTATO_Vendite.DAT"},
    {"SalesTemporaryCopy", "out", "TEMP_Vendite.DAT", "out/TEMP_Vendite.DAT"},
};
} // namespace

TEST_P(FileProprioTest, IsRefusedAndLeftUntouched)
{
    titolo(1);
    uscita(11, 1, "2026-12-01");
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), cartellaDest()));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT")));
    const QString own = path(QLatin1String(GetParam().fileProprio));
    if (!QFileInfo::exists(own)) scrivi(own, "PROPRIO\r\n");
    ASSERT_TRUE(
        ScriviParametro(QStringLiteral("PathDestCatalogoTotale"), path(QLatin1String(GetParam().cartella))));
    ASSERT_TRUE(
        ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QLatin1String(GetParam().nomeCatalogo)));
    // What the store has logged goes into its file first, so that the file's bytes stand still.
    sql(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QByteArray before = leggi(own);
    const QString expected = QStringLiteral("Il File Scelto Sostituirebbe un File del Programma: ") +
                             QDir::toNativeSeparators(own);

    EXPECT_EQ(esporta(), EsitoRun::Interrotta);
    EXPECT_EQ(leggi(own), before);
    EXPECT_TRUE(display.righe.contains(expected));
    ASSERT_EQ(display.avvisi.size(), 1u);
    EXPECT_EQ(display.avvisi[0].testo, expected);
    EXPECT_EQ(display.righe.mid(display.righe.size() - 3), righeInterrotta());
}

INSTANTIATE_TEST_SUITE_P(Destinazioni, FileProprioTest, ::testing::ValuesIn(kFileProprii),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST_F(SovrascritturaTest, ADestinationHeldByAnotherRunEndsInterruptedAfterWaiting)
{
    ExchangeLock other(catalogoPath());
    ASSERT_TRUE(other.acquire(0, {}));
    const QString busy =
        QStringLiteral("Un'Altra Esportazione del Catalogo verso questa Destinazione è in Corso");

    EXPECT_EQ(esporta(), EsitoRun::Interrotta);
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_FALSE(QFileInfo::exists(temporaneoPath()));
    EXPECT_TRUE(display.domande.empty());  // nothing asked about a destination in use
    EXPECT_GT(display.passaggiEventi, 10); // the window kept running while the run waited
    ASSERT_EQ(display.avvisi.size(), 1u);
    EXPECT_EQ(display.avvisi[0].testo, busy);
    const QStringList tail{busy, PannelloScambio::riga(), "Esportazione INTERROTTA !!",
                           PannelloScambio::riga()};
    EXPECT_EQ(display.righe.mid(display.righe.size() - 4), tail);
}
