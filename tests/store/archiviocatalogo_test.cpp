#include "plainsqlite.h"
#include "qtprinting.h"
#include "services/failure.h"
#include "store/archiviocatalogo.h"
#include "store/connessionestore.h"
#include "store/sqldialect.h"
#include "storefixture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {
const QString kApertura =
    QStringLiteral("IDUscita,BarcodeAddon,Addon,NumeroCopertina,DataUscita,PrezzoCopertinaEuroDistributore,"
                   "Giacenza from Uscite Where IDProd = ");
}

TEST(ArchivioCatalogo, SqlServerTextsWithAnUnambiguousCutOff)
{
    const SqlDialect server(Motore::SqlServer);
    EXPECT_EQ(ArchivioCatalogo::testoTitoli(server, QDate(2026, 6, 10)),
              "SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (SELECT top 1 "
              "DataUscita FROM Uscite WHERE IDProd = "
              "TAB1.IDProd ORDER BY DataUscita DESC) > '20260610'");
    EXPECT_EQ(ArchivioCatalogo::testoUscite(server, ModoSelezione::UltimeTreUscite, true),
              "SELECT top 3 " + kApertura + "? and Zefiro = 1 and giacenza>0 order by Datauscita desc");
    EXPECT_EQ(ArchivioCatalogo::testoUscite(server, ModoSelezione::NonRichiamatiEQuotidiani, true),
              "SELECT top 2 " + kApertura + "? and Zefiro = 1 and giacenza>0 order by Datauscita desc");
    EXPECT_EQ(ArchivioCatalogo::testoUscite(server, ModoSelezione::NonRichiamatiEQuotidiani, false),
              "SELECT top 10 " + kApertura +
                  "? and Zefiro = 1 and dataRRpdv1 is null and dataResa is null  and giacenza>0 order by "
                  "Datauscita desc");
}

TEST(ArchivioCatalogo, EmbeddedTextsThroughTheDialect)
{
    const SqlDialect embedded(Motore::Embedded);
    EXPECT_EQ(
        ArchivioCatalogo::testoTitoli(embedded, QDate(2026, 6, 10)),
        "SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (SELECT julianday(DataUscita) FROM Uscite WHERE "
        "IDProd = TAB1.IDProd ORDER BY julianday(DataUscita) DESC LIMIT 1) > julianday('2026-06-10')");
    EXPECT_EQ(ArchivioCatalogo::testoUscite(embedded, ModoSelezione::UltimeTreUscite, false),
              "SELECT " + kApertura +
                  "? and Zefiro = 1 and giacenza>0 order by julianday(Datauscita) desc LIMIT 3");
}

using LetturaCatalogo = StoreFolderTest;

// One title's ten issues, each filling a page of the store; a page among them is then damaged. The
// issues read before it are handed over, and the read ends with a Failure, never as a shorter list.
TEST_F(LetturaCatalogo, AFailedReadAmongATitlesIssuesIsAFailure)
{
    const QString file = createStore(QStringLiteral("TAVIRA"));
    {
        ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
        for (int id = 1; id <= 10; ++id)
            connection.esegui(
                QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, NumeroCopertina, DataUscita, "
                               "Zefiro, Giacenza) VALUES (?, 1, ?, ?, 1, 5)"),
                {id, QString(3000, QLatin1Char('N')), QStringLiteral("2026-11-%1").arg(id + 10)});
    }
    ASSERT_GE(damageMiddlePage(file, QStringLiteral("Uscite")), 10);

    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    ArchivioCatalogo archive(connection, ModoSelezione::NonRichiamatiEQuotidiani);
    int issues = 0;
    try {
        archive.uscite(1, false, [&issues](const RigaDati&) { ++issues; });
        ADD_FAILURE() << "the read ended without a failure after " << issues << " issues";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), FailureCode::Database);
    }
    EXPECT_GT(issues, 0);
    EXPECT_LT(issues, 10);
}
