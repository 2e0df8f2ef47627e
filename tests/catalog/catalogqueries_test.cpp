#include "catalog/catalogqueries.h"
#include "qtprinting.h"

#include <gtest/gtest.h>

namespace {
const QString kApertura =
    QStringLiteral("IDUscita,BarcodeAddon,Addon,NumeroCopertina,DataUscita,PrezzoCopertinaEuroDistributore,"
                   "Giacenza from Uscite Where IDProd = ");
}

TEST(QueryCatalogo, SqlServerTextsWithAnUnambiguousCutOff)
{
    const SqlDialect server(Motore::SqlServer);
    const QueryCatalogo queries(server, dataLimiteTitoli(QDate(2026, 12, 7)));
    EXPECT_EQ(queries.titoli(), "SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (SELECT top 1 "
                                "DataUscita FROM Uscite WHERE IDProd = "
                                "TAB1.IDProd ORDER BY DataUscita DESC) > '20260610'");
    EXPECT_EQ(queries.uscite(ModoSelezione::UltimeTreUscite, true),
              "SELECT top 3 " + kApertura + "? and Zefiro = 1 and giacenza>0 order by Datauscita desc");
    EXPECT_EQ(queries.uscite(ModoSelezione::NonRichiamatiEQuotidiani, true),
              "SELECT top 2 " + kApertura + "? and Zefiro = 1 and giacenza>0 order by Datauscita desc");
    EXPECT_EQ(queries.uscite(ModoSelezione::NonRichiamatiEQuotidiani, false),
              "SELECT top 10 " + kApertura +
                  "? and Zefiro = 1 and dataRRpdv1 is null and dataResa is null  and giacenza>0 order by "
                  "Datauscita desc");
}

TEST(QueryCatalogo, EmbeddedTextsThroughTheDialect)
{
    const SqlDialect embedded(Motore::Embedded);
    const QueryCatalogo queries(embedded, QDate(2026, 6, 10));
    EXPECT_EQ(
        queries.titoli(),
        "SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (SELECT julianday(DataUscita) FROM Uscite WHERE "
        "IDProd = TAB1.IDProd ORDER BY julianday(DataUscita) DESC LIMIT 1) > julianday('2026-06-10')");
    EXPECT_EQ(queries.uscite(ModoSelezione::UltimeTreUscite, false),
              "SELECT " + kApertura +
                  "? and Zefiro = 1 and giacenza>0 order by julianday(Datauscita) desc LIMIT 3");
}

TEST(QueryCatalogo, CutOffIs180DaysBack)
{
    EXPECT_EQ(dataLimiteTitoli(QDate(2026, 12, 7)), QDate(2026, 6, 10));
    EXPECT_EQ(dataLimiteTitoli(QDate(2024, 3, 1)), QDate(2023, 9, 3)); // across a 29 February
}

TEST(QueryCatalogo, SelectionModeAndDailies)
{
    struct Row
    {
        const char* value;
        ModoSelezione mode;
    };
    const Row rows[] = {{"", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"0", ModoSelezione::NonRichiamatiEQuotidiani},
                        {" 0 ", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"abc", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"1", ModoSelezione::UltimeTreUscite},
                        {"2", ModoSelezione::UltimeTreUscite},
                        {"-1", ModoSelezione::UltimeTreUscite},
                        {"1abc", ModoSelezione::UltimeTreUscite}};
    for (const Row& row : rows)
        EXPECT_EQ(modoSelezione(row.value), row.mode) << row.value;

    EXPECT_TRUE(eQuotidiano(2));
    EXPECT_TRUE(eQuotidiano(QStringLiteral("2")));
    EXPECT_TRUE(eQuotidiano(QStringLiteral("2.0")));
    EXPECT_FALSE(eQuotidiano(1));
    EXPECT_FALSE(eQuotidiano(QStringLiteral("12")));
    EXPECT_FALSE(eQuotidiano(QVariant()));
}
