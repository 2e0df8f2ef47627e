#include "catalogstore.h"
#include "qtprinting.h"

#include "services/parametri.h"
#include "services/progress.h"
#include "store/connectionstrings.h"

namespace {
const QString kRiga(49, QLatin1Char('='));
}

TEST_F(CatalogoTest, FullRunLogsEveryStepAndWritesTheWorkedExample)
{
    setNow(QDateTime(QDate(2026, 6, 20), QTime(10, 0))); // the example's issue of 5 June is recent
    sql("INSERT INTO Prodotti (IDProd, Zefiro, BarcodeTitolo, Testata, SottoTitolo, IDTipoProdotto, "
        "GiorniScadenzaResa) "
        "VALUES (815, 1, '9771234567003', 'IL MIO GIARDINO', 'MENSILE', 1, 60)");
    sql("INSERT INTO Uscite (IDUscita, IDProd, BarcodeAddon, Addon, NumeroCopertina, DataUscita, "
        "PrezzoCopertinaEuroDistributore, Zefiro, Giacenza) VALUES (4711, 815, NULL, '12', '12', "
        "'2026-06-05', 3.50, 1, 4)");

    EXPECT_EQ(esporta(), EsitoRun::Completata);

    const QByteArray expected = QByteArray("000000004711") + "977123456700300012" + "IL MIO GIARDINO     " +
                                "MENSILE             " + "12      " + "20260605" + "060" + "00" +
                                "000000350" + QByteArray(13, ' ') + "+000004" + "000000000815" +
                                QByteArray(8, ' ') + "\r\n";
    ASSERT_EQ(expected.size(), 142);
    EXPECT_EQ(leggi(catalogoPath()), expected);
    EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});

    const QStringList expectedLog = QStringList{kRiga,
                                                "Inizio Controlli Catalogo TOTALE",
                                                "Test Connessione Database Tavira",
                                                "Connessione OK !",
                                                "Test Cartella di Destinazione",
                                                "Cartella di Destinazione OK",
                                                "Fine Controlli",
                                                "Inizio Esportazione CATALOGO TOTALE",
                                                "Solo i Titoli non Richiamati + Quotidiani"} +
                                    righeSuccesso();
    EXPECT_EQ(display.righe, expectedLog);
    EXPECT_TRUE(display.altrePannelli.isEmpty());
    ASSERT_EQ(display.avvisi.size(), 1u);
    EXPECT_EQ(display.avvisi[0].icona, IconaMessaggio::Informazione);
    EXPECT_EQ(display.avvisi[0].titolo, "OK");
    EXPECT_EQ(display.avvisi[0].testo, "Esportazione Titoli Terminata con Successo !");
    EXPECT_TRUE(display.domande.empty());
    EXPECT_EQ(display.occupato, (std::vector<bool>{true, false}));
    EXPECT_EQ(display.azzeramenti, 1);
    EXPECT_EQ(display.titoli.front(), titoloInizioRun());
    EXPECT_EQ(display.titoli.back(), titoloBase());
    EXPECT_EQ(display.massimi, std::vector<int>{2});
    EXPECT_EQ(stringaConnessioneCorrente(),
              StringaConnessione(display.connessione.server, "sa", "segreta", "Tavira"));
}

// Title 1, weekly: twelve issues in stock and four that mode 0 leaves out for a return date, no stock
// or no flag. Title 2, a daily: issues with return dates, one without stock, one without flag. Title 3,
// weekly: one issue recalled.
class SelezioneTest : public CatalogoTest
{
protected:
    void SetUp() override
    {
        CatalogoTest::SetUp();
        titolo(1, 1);
        for (int i = 1; i <= 12; ++i)
            uscita(100 + i, 1, QStringLiteral("2026-11-%1").arg(i, 2, 10, QLatin1Char('0')));
        uscita(113, 1, "2026-11-20", 5, 1, {}, "2026-11-25");
        uscita(114, 1, "2026-11-21", 5, 1, "2026-11-26", {});
        uscita(115, 1, "2026-11-22", 0);
        uscita(116, 1, "2026-11-23", 5, 0);
        titolo(2, 2);
        uscita(201, 2, "2026-12-01", 5, 1, {}, "2026-12-02");
        uscita(202, 2, "2026-12-02", 5, 1, "2026-12-03", {});
        uscita(203, 2, "2026-12-03");
        uscita(204, 2, "2026-12-04", 0);
        uscita(205, 2, "2026-12-05", 5, 0);
        titolo(3, 1); // weekly again, after the daily
        uscita(301, 3, "2026-11-15");
        uscita(302, 3, "2026-11-16", 5, 1, {}, "2026-11-30");
    }
};

TEST_F(SelezioneTest, ModeZeroTakesTenNotRecalledIssuesAndTwoForADaily)
{
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(usciteEsportate(),
              (QList<int>{112, 111, 110, 109, 108, 107, 106, 105, 104, 103, 203, 202, 301}));
    EXPECT_TRUE(display.righe.contains("Solo i Titoli non Richiamati + Quotidiani"));
}

TEST_F(SelezioneTest, ModeOneTakesTheLastThreeInStockOfEveryTitle)
{
    ASSERT_TRUE(ScriviParametro("QualiTitoliCatalogoTotale", "1"));
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(usciteEsportate(), (QList<int>{114, 113, 112, 203, 202, 201, 302, 301}));
    EXPECT_TRUE(display.righe.contains("Le ultime 3 Uscite di Tutti i Titoli"));
}

TEST_F(SelezioneTest, RecordsOfTheRunAreByteForByte)
{
    ASSERT_TRUE(ScriviParametro("QualiTitoliCatalogoTotale", "1"));
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    const QStringList lines = righeCatalogo();
    ASSERT_EQ(lines.size(), 8);
    const QString expected = QStringLiteral("000000000203") + "977000000000200001" + "TITOLO 2" +
                             QString(12, ' ') + "SETTIMANALE" + QString(9, ' ') + "1" + QString(7, ' ') +
                             "20261203" + "030" + "00" + "000000250" + QString(13, ' ') + "+000005" +
                             "000000000002" + QString(8, ' ');
    EXPECT_EQ(lines[3], expected);
}

TEST_F(CatalogoTest, ModeFromTheParameter)
{
    titolo(1);
    uscita(11, 1, "2026-12-01");
    struct Row
    {
        const char* value; // nullptr: parameter never written
        const char* line;
    };
    const Row rows[] = {{nullptr, "Solo i Titoli non Richiamati + Quotidiani"},
                        {"0", "Solo i Titoli non Richiamati + Quotidiani"},
                        {"abc", "Solo i Titoli non Richiamati + Quotidiani"},
                        {"1", "Le ultime 3 Uscite di Tutti i Titoli"},
                        {"7", "Le ultime 3 Uscite di Tutti i Titoli"}};
    for (const Row& row : rows) {
        if (row.value) {
            ASSERT_TRUE(ScriviParametro("QualiTitoliCatalogoTotale", row.value));
        }
        display.righe.clear();
        ASSERT_EQ(esporta(), EsitoRun::Completata) << (row.value ? row.value : "missing");
        EXPECT_TRUE(display.righe.contains(row.line)) << (row.value ? row.value : "missing");
    }
}

TEST_F(CatalogoTest, OnlyTitlesWithAnIssueAfterTheCutOffDay)
{
    // Today 7 December 2026: the cut-off is 10 June 2026, 180 days earlier.
    titolo(1);
    uscita(101, 1, "2026-06-10");
    uscita(102, 1, "2026-05-01");
    titolo(2);
    uscita(201, 2, "2026-06-10 00:00:00");
    titolo(3);
    uscita(301, 3, "2026-06-10 00:00:01");
    titolo(4);
    uscita(401, 4, "2026-06-11");
    titolo(5, 1, 0); // not flagged for the shop
    uscita(501, 5, "2026-12-01");
    titolo(6); // newest issue without flag or stock still makes the title recent
    uscita(601, 6, "2026-01-01");
    uscita(602, 6, "2026-11-01", 0, 0);
    titolo(7); // no issues at all

    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(usciteEsportate(), (QList<int>{301, 401, 601}));
}

TEST_F(CatalogoTest, IssuesWithoutAPositiveIdentifierAreSkippedAndLogged)
{
    titolo(9);
    uscita(0, 9, "2026-11-03");
    uscita(-4, 9, "2026-11-02");
    uscita(901, 9, "2026-11-01");
    titolo(10); // recent, but no issue in stock: no line, no log line
    uscita(1001, 10, "2026-11-05", 0);

    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(usciteEsportate(), QList<int>{901});
    EXPECT_EQ(display.righe.count("Uscita Saltata perchè IDUscita = 0... IDProd = 9"), 2);
    EXPECT_EQ(display.righe.filter("Uscita Saltata").size(), 2);
}
