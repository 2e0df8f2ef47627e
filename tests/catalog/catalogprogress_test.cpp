#include "catalogstore.h"
#include "qtprinting.h"

#include "services/parametri.h"
#include "services/progress.h"

TEST_F(CatalogoTest, ProgressCountsTitlesAndShowsEveryTenth)
{
    for (int id = 1; id <= 25; ++id) {
        titolo(id);
        uscita(id * 10, id, "2026-12-01");
    }
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_EQ(display.massimi, std::vector<int>{26});
    EXPECT_EQ(display.passiProgresso, 25);
    EXPECT_EQ(display.titoli, (QStringList{titoloInizioRun(), "(38 %) Esporta Importa in 'Vetrina'",
                                           "(77 %) Esporta Importa in 'Vetrina'", titoloBase()}));
    EXPECT_EQ(display.progresso.value, 25.0f);
    EXPECT_TRUE(display.progresso.dots.isEmpty()); // emptied at the end of the run
    EXPECT_EQ(usciteEsportate().size(), 25);
}

TEST_F(CatalogoTest, DotsAreEmptiedWhenTheRunStartsItsExport)
{
    display.progresso.dots = "....";
    bool emptiedBeforeTitles = false;
    titolo(1);
    uscita(11, 1, "2026-12-01");
    display.quandoEventi = [&] {
        if (display.passiProgresso == 1 && display.progresso.dots.isEmpty()) emptiedBeforeTitles = true;
    };
    ASSERT_EQ(esporta(), EsitoRun::Completata);
    EXPECT_TRUE(emptiedBeforeTitles);
}

TEST_F(CatalogoTest, DestinationFolderWithOrWithoutTrailingSeparator)
{
    titolo(1);
    uscita(11, 1, "2026-12-01");
    for (const QString& stored : {cartellaDest(), cartellaDest() + "/"}) {
        QFile::remove(catalogoPath());
        ASSERT_TRUE(ScriviParametro("PathDestCatalogoTotale", stored));
        ASSERT_EQ(esporta(true), EsitoRun::Completata) << stored.toStdString();
        EXPECT_EQ(usciteEsportate(), QList<int>{11}) << stored.toStdString();
        EXPECT_EQ(fileNellaDestinazione(), QStringList{"Catalogo.DAT"});
    }
    EXPECT_FALSE(QFile::exists(path("outCatalogo.DAT")));
}

TEST_F(CatalogoTest, UnattendedSuccessShowsNoMessage)
{
    titolo(1);
    uscita(11, 1, "2026-12-01");
    ASSERT_EQ(esporta(true), EsitoRun::Completata);
    EXPECT_TRUE(display.avvisi.empty());
    EXPECT_EQ(display.righe.mid(display.righe.size() - 3), righeSuccesso());
}
