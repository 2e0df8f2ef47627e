#include "catalogstore.h"
#include "plainsqlite.h"
#include "qtprinting.h"

#include "services/failure.h"

#include <QFile>
#include <QSqlQuery>

TEST_F(CatalogoTest, DamagedStorePageFailsTheRunAndKeepsTheOldCatalog)
{
    // Enough titles, inserted before their issues, for the titles to fill many pages of the file.
    sql("BEGIN");
    for (int id = 1; id <= 1500; ++id)
        sql("INSERT INTO Prodotti (IDProd, Zefiro, Testata, SottoTitolo, IDTipoProdotto) VALUES (?, 1, ?, ?, "
            "1)",
            {id, QStringLiteral("TITOLO %1").arg(id), QString(300, QLatin1Char('S'))});
    for (int id = 1; id <= 1500; ++id)
        uscita(id * 10, id, "2026-12-01");
    sql("COMMIT");
    scrivi(catalogoPath(), kVecchioCatalogo);
    esporta(true); // closes the test's connection; this run reads everything
    ASSERT_EQ(usciteEsportate().size(), 1500);
    scrivi(catalogoPath(), kVecchioCatalogo);

    // One page in the middle of the titles' pages is overwritten.
    ASSERT_GT(damageMiddlePage(path("store/Tavira.sqlite"), QStringLiteral("Prodotti")), 20)
        << "dbstat of SQLite lists the pages of the titles";

    display.righe.clear();
    ASSERT_EQ(esporta(true), EsitoRun::Interrotta);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, FailureCode::Database);
    EXPECT_TRUE(errors[0].description.endsWith("(Crea File Catalogo)")) << qPrintable(errors[0].description);
    EXPECT_EQ(leggi(catalogoPath()), kVecchioCatalogo);
    EXPECT_FALSE(display.righe.contains("Esportazione Titoli Terminata con Successo !"));
}

TEST_F(CatalogoTest, NoResultStaysOpenWhileTheIssuesAreRead)
{
    for (int id = 1; id <= 3; ++id) {
        titolo(id);
        uscita(id * 10, id, "2026-12-01");
    }
    // Between titles another program can take the store for writing: the run holds no open result.
    PlainSqlite other(path("store/Tavira.sqlite"), false);
    QStringList refusals;
    int checks = 0;
    display.quandoEventi = [&] {
        if (display.passiProgresso == 0) return;
        ++checks;
        const QStringList error = other.run("BEGIN EXCLUSIVE");
        if (!error.isEmpty())
            refusals << error;
        else
            other.run("COMMIT");
    };
    ASSERT_EQ(esporta(true), EsitoRun::Completata);
    EXPECT_GE(checks, 3);
    EXPECT_TRUE(refusals.isEmpty()) << qPrintable(refusals.join('\n'));
    EXPECT_EQ(usciteEsportate(), (QList<int>{10, 20, 30}));
}

TEST_F(CatalogoTest, CutOffAndNewestFirstCompareMomentsWhateverTheDateText)
{
    // Today 7 December 2026: the cut-off is 10 June 2026 at 00:00.
    const struct
    {
        const char* date;
        bool exported;
    } rows[] = {
        {"2026-06-10T00:00:00", false},     {"2026-06-10 00:00:00.000", false},
        {"2026-06-10T00:00:00.000", false}, {"2026-06-10T00:00:01", true},
        {"2026-06-10 00:00:00.001", true},  {"2026-06-11", true},
    };
    QList<int> expected;
    int id = 0;
    for (const auto& row : rows) {
        titolo(++id);
        uscita(id * 10, id, row.date);
        if (row.exported) expected << id * 10;
    }
    // Newest first across the forms: 09:00 is later than 08:00 written with a "T".
    titolo(++id);
    uscita(id * 10 + 1, id, "2026-11-01T08:00:00");
    uscita(id * 10 + 2, id, "2026-11-01 09:00:00");
    expected << id * 10 + 2 << id * 10 + 1;

    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(usciteEsportate(), expected);
}
