#include "sales/stagingvendite.h"

#include "qtprinting.h"
#include "salesstore.h"

#include "services/failure.h"
#include "store/connessionestore.h"

#include <QFile>
#include <QSqlQuery>

namespace {
RigaVendita vendita(const QString& id, const QString& riga, qint32 uscita = 4711, const QString& barcode = {},
                    const QString& addon = {})
{
    RigaVendita v;
    v.idVendita = id;
    v.idRiga = riga;
    v.data = QDate(2026, 12, 7);
    v.ora = QStringLiteral("09:05");
    v.idUscita = uscita;
    v.barcode = barcode;
    v.addon = addon;
    v.quantita = -1;
    v.prezzo = 1.99;
    return v;
}

using Staging = SalesStoreTest;

TEST_F(Staging, StagedAsDecodedWithElaboratoZero)
{
    const auto connection = connetti();
    StagingVendite staging(*connection);
    RigaVendita v = vendita(QStringLiteral("O'B';--"), QStringLiteral("0001"), 0, "9770000000001", "00001");
    EXPECT_EQ(staging.registra(v), EsitoStaging::Registrata);
    staging.conferma();
    EXPECT_EQ(v.idUscita, 4711);
    EXPECT_EQ(staged(), QStringList({"O'B';--|0001|2026-12-07|09:05|977000000000100001|-1|4711|1.99|0"}));
}

struct CasoUscita
{
    const char* nome;
    qint32 uscita;
    const char* barcode;
    const char* addon;
    qint32 attesa;
};

TEST_F(Staging, IssueCheckAndBarcodeMatch)
{
    const CasoUscita casi[] = {
        {"KnownIssueKept", 4712, "9770000000001", "00001", 4712},
        {"UnknownIssueMatchedByBarcode", 999, "9770000000001", "00001", 4711},
        {"BarcodeLetterCaseAndTrailingBlank", 0, "abc123", "x", 4716},
        {"TwoIssuesShareTheBarcode", 999, "9770000000003", "00003", 0},
        {"NoMatchingBarcode", 999, "9779999999999", "", 0},
        {"NoBarcodeMatchesNoIssue", 999, "", "", 0},
    };
    const auto connection = connetti();
    StagingVendite staging(*connection);
    int row = 0;
    for (const CasoUscita& c : casi) {
        RigaVendita v = vendita(QStringLiteral("U"), QString::number(++row), c.uscita, c.barcode, c.addon);
        staging.registra(v);
        EXPECT_EQ(v.idUscita, c.attesa) << c.nome;
    }
}

struct CasoDoppione
{
    const char* nome;
    const char* giaPresente; // IDVendita|IDRiga as stored, written straight into the table
    const char* id;
    const char* riga;
    EsitoStaging atteso;
};

TEST_F(Staging, DuplicateCheckAsTheStoreComparesText)
{
    const CasoDoppione casi[] = {
        {"SameLine", "S1|0001", "S1", "0001", EsitoStaging::GiaImportata},
        {"LetterCaseDiffers", "s1|a1", "S1", "A1", EsitoStaging::GiaImportata},
        {"StoredWithTrailingBlanks", "S1  |0001 ", "s1", "0001", EsitoStaging::GiaImportata},
        {"QuoteInIdentifier", "O'B|1", "O'B", "1", EsitoStaging::GiaImportata},
        {"LeadingZerosMakeAnotherRow", "S1|0001", "S1", "1", EsitoStaging::Registrata},
        {"LongerIdentifier", "S10|0001", "S1", "0001", EsitoStaging::Registrata},
        {"BlankInside", "S1 X|0001", "S1", "0001", EsitoStaging::Registrata},
        {"FirstCharacterAfterBlank", "S1!|0001", "S1", "0001", EsitoStaging::Registrata},
        {"OtherRow", "S1|0002", "S1", "0001", EsitoStaging::Registrata},
    };
    for (const CasoDoppione& c : casi) {
        esegui(QStringLiteral("DELETE FROM Vendite_VT"));
        const QStringList stored = QString::fromUtf8(c.giaPresente).split(QLatin1Char('|'));
        esegui(QStringLiteral("INSERT INTO Vendite_VT (IDVendita, IDRiga, Elaborato) VALUES (?, ?, '0')"),
               {stored[0], stored[1]});
        const auto connection = connetti();
        StagingVendite staging(*connection);
        RigaVendita v = vendita(c.id, c.riga);
        EXPECT_EQ(staging.registra(v), c.atteso) << c.nome;
    }
}

TEST_F(Staging, AFailedReadOfTheIssueIsNoUnknownIssue)
{
    // The page of the issues is overwritten: reading it fails, which is not "no such issue".
    int page = 0, pageSize = 0;
    {
        const auto connection = connetti();
        QSqlQuery root =
            connection->esegui(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'Uscite'"));
        ASSERT_TRUE(root.next());
        page = root.value(0).toInt();
        QSqlQuery size = connection->esegui(QStringLiteral("PRAGMA page_size"));
        ASSERT_TRUE(size.next());
        pageSize = size.value(0).toInt();
    }
    QFile store(storePath());
    ASSERT_TRUE(store.open(QIODevice::ReadWrite));
    ASSERT_TRUE(store.seek(qint64(page - 1) * pageSize));
    ASSERT_EQ(store.write(QByteArray(pageSize, '\xEE')), pageSize);
    store.close();

    const auto connection = connetti();
    StagingVendite staging(*connection);
    RigaVendita v = vendita(QStringLiteral("D"), QStringLiteral("1"));
    EXPECT_THROW(staging.registra(v), Failure);
    EXPECT_EQ(staged(), QStringList());
}

TEST_F(Staging, DuplicateCheckUsesTheIndex)
{
    const auto connection = connetti();
    QSqlQuery plan = connection->esegui(QStringLiteral("EXPLAIN QUERY PLAN ") +
                                            ArchivioVendite::testoDoppione(SqlDialect(Motore::Embedded)),
                                        {QStringLiteral("S1"), QStringLiteral("1")});
    QString text;
    while (plan.next())
        text += plan.value(3).toString() + QLatin1Char('\n');
    EXPECT_TRUE(text.contains(QLatin1String("USING INDEX IX_Vendite_VT_IDVendita_IDRiga")))
        << text.toStdString();
}

} // namespace
