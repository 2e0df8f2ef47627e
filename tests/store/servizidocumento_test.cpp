// The document services on a small embedded store: what each gives for a row, for no row and when its
// query fails.
#include "store/servizidocumento.h"

#include "qtprinting.h"
#include "store/connessionestore.h"
#include "storefixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class ServiziDocumentoTest : public StoreFolderTest
{
protected:
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        createStore(QStringLiteral("TAVIRA"));
        store = std::make_unique<ConnessioneStore>(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
        servizi = std::make_unique<ServiziDocumento>(*store);
    }
    void TearDown() override
    {
        servizi.reset();
        store.reset();
        StoreFolderTest::TearDown();
    }
    void sql(const QString& statement, const QVariantList& values = {}) { store->esegui(statement, values); }
    // An issue of a title of the given product type.
    void uscita(int id, const QVariant& tipo, const QVariant& testata, const QVariant& numero)
    {
        sql(QStringLiteral("INSERT INTO Prodotti (IDProd, Testata, IDTipoProdotto) VALUES (?, ?, ?)"),
            {id, testata, tipo});
        sql(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, NumeroCopertina) VALUES (?, ?, ?)"),
            {id, id, numero});
    }
    QString giacenza(int id)
    {
        QSqlQuery query =
            store->esegui(QStringLiteral("SELECT Giacenza FROM Uscite WHERE IDUscita = ?"), {id});
        return query.next() ? query.value(0).toString() : QStringLiteral("(nessuna)");
    }

    std::unique_ptr<ConnessioneStore> store;
    std::unique_ptr<ServiziDocumento> servizi;
};

const QString kNull; // a NULL column, in the tables below

QVariant colonna(const QString& value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}
} // namespace

TEST_F(ServiziDocumentoTest, CounterAdvancesByOneAndTellsANullValueFromAFailure)
{
    sql(QStringLiteral("UPDATE Contatori SET Valore = 41 WHERE NomeContatore = 'IDDocumento'"));
    sql(QStringLiteral("INSERT INTO Contatori (NomeContatore, Valore) VALUES ('Vuoto', NULL)"));
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("IDDocumento")), 42);
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("IDDocumento")), 43);
    EXPECT_EQ(store->timeoutComandi(), 200);
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("Vuoto")), -1);
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("Sconosciuto")), -1);
    EXPECT_EQ(servizi->fallimenti(), 0);

    sql(QStringLiteral("DROP TABLE Contatori"));
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("IDDocumento")), 0);
    EXPECT_EQ(servizi->fallimenti(), 1);
}

TEST_F(ServiziDocumentoTest, CounterAdvancedSeveralTimesAtOnceGivesWhatSingleCallsWould)
{
    sql(QStringLiteral("UPDATE Contatori SET Valore = 41 WHERE NomeContatore = 'IDDocumentoRiga'"));
    sql(QStringLiteral("UPDATE Contatori SET Valore = -2 WHERE NomeContatore = 'IDDocumento'"));
    sql(QStringLiteral("INSERT INTO Contatori (NomeContatore, Valore) VALUES ('Vuoto', NULL)"));
    struct Row
    {
        const char* name;
        const char* counter;
        int times;
        QList<qint32> expected;
    };
    const Row rows[] = {
        {"three at once", "IDDocumentoRiga", 3, {42, 43, 44}},
        {"then one more", "IDDocumentoRiga", 1, {45}},
        {"through zero: -1 and 0 are values here", "IDDocumento", 3, {-1, 0, 1}},
        {"NULL value", "Vuoto", 2, {-1, -1}},
        {"no such counter", "Sconosciuto", 2, {-1, -1}},
        {"none", "IDDocumentoRiga", 0, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(servizi->IncrementaContatore(QString::fromLatin1(row.counter), row.times), row.expected)
            << row.name;
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("IDDocumentoRiga")), 46);
    EXPECT_EQ(servizi->fallimenti(), 0);

    sql(QStringLiteral("DROP TABLE Contatori"));
    EXPECT_EQ(servizi->IncrementaContatore(QStringLiteral("IDDocumentoRiga"), 2), QList<qint32>({0, 0}));
    EXPECT_EQ(servizi->fallimenti(), 1);
}

TEST_F(ServiziDocumentoTest, DocumentType)
{
    sql(QStringLiteral("INSERT INTO TipiDocumento VALUES (3, NULL, NULL)"));
    EXPECT_EQ(servizi->DescrizioneTipoDocumento(7), "Vendita al banco");
    EXPECT_EQ(servizi->ContatoreTipoDocumento(7), "NumeroVenditaBanco");
    EXPECT_EQ(servizi->DescrizioneTipoDocumento(3), "");
    EXPECT_EQ(servizi->ContatoreTipoDocumento(3), "");
    EXPECT_EQ(servizi->DescrizioneTipoDocumento(99), "");
    EXPECT_EQ(servizi->ContatoreTipoDocumento(99), "");
    EXPECT_EQ(servizi->fallimenti(), 0);
}

TEST_F(ServiziDocumentoTest, NextRowNumberFollowsTheRowsSavedSoFar)
{
    EXPECT_EQ(servizi->ProssimoNumeroRiga(5), "1");
    sql(QStringLiteral(
        "INSERT INTO DocumentiRighe (IDDocumentoRiga, IDDocumento, NumeroRiga) VALUES (1, 5, 1)"));
    sql(QStringLiteral(
        "INSERT INTO DocumentiRighe (IDDocumentoRiga, IDDocumento, NumeroRiga) VALUES (2, 5, 2)"));
    sql(QStringLiteral(
        "INSERT INTO DocumentiRighe (IDDocumentoRiga, IDDocumento, NumeroRiga) VALUES (3, 6, 9)"));
    EXPECT_EQ(servizi->ProssimoNumeroRiga(5), "3");
    sql(QStringLiteral("DROP TABLE DocumentiRighe"));
    EXPECT_EQ(servizi->ProssimoNumeroRiga(5), "");
}

TEST_F(ServiziDocumentoTest, IssueDescription)
{
    const QString title50 = QString(48, QLatin1Char('T'));
    const QString title90 = QString(90, QLatin1Char('L'));
    struct Row
    {
        const char* name;
        QVariant tipo;
        QString testata;
        QString numero;
        QString expected;
    };
    const Row rows[] = {
        {"type 7: title and number, blanks trimmed", 7, "  Corriere  ", "1234", "Corriere N.1234"},
        {"type 1", 1, "Gazzetta", "12", "Gazzetta N.12"},
        {"type 9", 9, "Album", "3", "Album N.3"},
        {"type 7 cut to 50", 7, title50, "123", QString(48, QLatin1Char('T')) + " N"},
        {"type 8: title alone cut to 80", 8, title90, "5", title90.left(80)},
        {"type 10", 10, "Libro", "5", "Libro"},
        {"no type: title alone", QVariant(), "Poster", "5", "Poster"},
        {"no cover number", 2, "Quotidiano", kNull, "Quotidiano N."},
        {"no title, type 7", 7, kNull, "44", " N.44"},
        {"no title, type 8: the failure result", 8, kNull, "44", ""},
    };
    int id = 0;
    for (const Row& row : rows) {
        ++id;
        uscita(id, row.tipo, colonna(row.testata), colonna(row.numero));
        EXPECT_EQ(servizi->DescrizioneUscita(id), row.expected) << row.name;
    }
    EXPECT_EQ(servizi->DescrizioneUscita(999), "") << "missing issue";
}

TEST_F(ServiziDocumentoTest, IssuePricesVatAndUnits)
{
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita, IDIva, PrezzoNetto, PrezzoVenditaExtra, UmAcquisto, "
                       "UmVendita) VALUES (1, 4, 2.5, 3.00, 'CF', 'PZ')"));
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita) VALUES (2)")); // everything NULL
    sql(QStringLiteral("INSERT INTO IVA VALUES (4, 22), (5, 22.5), (6, 23.5), (8, NULL)"));
    struct Row
    {
        const char* name;
        int id;
        qint32 codice;
        QString netto, extra, umVendita, umAcquisto;
    };
    const Row rows[] = {
        {"values", 1, 4, "2,5", "3", "PZ", "CF"},
        {"NULL columns", 2, 1, "", "0", "", ""},
        {"missing issue", 3, 0, "0", "0", "", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(servizi->CodiceIvaUscita(row.id), row.codice) << row.name;
        EXPECT_EQ(servizi->PrezzoNettoUscita(row.id), row.netto) << row.name;
        EXPECT_EQ(servizi->PrezzoExtraUscita(row.id), row.extra) << row.name;
        EXPECT_EQ(servizi->UnitaMisuraUscita(row.id, false), row.umVendita) << row.name;
        EXPECT_EQ(servizi->UnitaMisuraUscita(row.id, true), row.umAcquisto) << row.name;
    }
    EXPECT_EQ(servizi->AliquotaIva(4), 22);
    EXPECT_EQ(servizi->AliquotaIva(5), 22) << "halves to even";
    EXPECT_EQ(servizi->AliquotaIva(6), 24) << "halves to even";
    EXPECT_EQ(servizi->AliquotaIva(8), 0) << "NULL rate";
    EXPECT_EQ(servizi->AliquotaIva(7), 0) << "no such code";
}

TEST_F(ServiziDocumentoTest, IssuesBeyondThoseKeptAreReadAgainRight)
{
    const int issues = ServiziDocumento::kUsciteRicordate + 100;
    sql(QStringLiteral("BEGIN"));
    for (int id = 1; id <= issues; ++id) {
        sql(QStringLiteral("INSERT INTO Prodotti (IDProd, Testata, IDTipoProdotto) VALUES (?, ?, 8)"),
            {id, QStringLiteral("Titolo %1").arg(id)});
        sql(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, IDIva, PrezzoNetto, UmVendita) "
                           "VALUES (?, ?, ?, ?, 'PZ')"),
            {id, id, 1 + id % 3, id});
    }
    sql(QStringLiteral("COMMIT"));
    // Twice over every issue: the second pass finds the first issues let go and reads them again.
    for (int pass = 1; pass <= 2; ++pass)
        for (int id = 1; id <= issues; ++id) {
            EXPECT_EQ(servizi->DescrizioneUscita(id), QStringLiteral("Titolo %1").arg(id))
                << pass << " " << id;
            EXPECT_EQ(servizi->CodiceIvaUscita(id), 1 + id % 3) << pass << " " << id;
            EXPECT_EQ(servizi->PrezzoNettoUscita(id), QString::number(id)) << pass << " " << id;
            EXPECT_EQ(servizi->UnitaMisuraUscita(id, false), QStringLiteral("PZ")) << pass << " " << id;
        }
    EXPECT_EQ(servizi->fallimenti(), 0);
}

TEST_F(ServiziDocumentoTest, IssuesReadTogetherAreKeptAsEachWouldBeReadAlone)
{
    // Ten issues, more than one statement reads, and one that does not exist.
    sql(QStringLiteral("INSERT INTO IVA VALUES (4, 22)"));
    for (int id = 1; id <= 10; ++id)
        uscita(id, 8, QStringLiteral("Titolo %1").arg(id), QString::number(id));
    sql(QStringLiteral("UPDATE Uscite SET IDIva = 4, PrezzoNetto = IDUscita * 0.5, UmVendita = 'PZ' "
                       "WHERE IDUscita > 1"));
    sql(QStringLiteral("UPDATE Uscite SET PrezzoVenditaExtra = 2.75 WHERE IDUscita = 10"));
    servizi->ricordaUscite({10, 3, 999, 1, 3, 7, 2, 4, 5, 6, 8, 9});
    // From here on the store has none of it: every answer comes from what was read together.
    sql(QStringLiteral("DROP VIEW vUscite"));
    sql(QStringLiteral("DROP TABLE Uscite"));
    struct Row
    {
        const char* name;
        int id;
        QString descrizione;
        qint32 codice;
        QString netto, extra, um;
    };
    const Row rows[] = {
        {"NULL VAT code, price and unit", 1, "Titolo 1", 1, "", "0", ""},
        {"an issue of the first statement", 3, "Titolo 3", 4, "1,5", "0", "PZ"},
        {"an issue of the second statement", 9, "Titolo 9", 4, "4,5", "0", "PZ"},
        {"extra price", 10, "Titolo 10", 4, "5", "2,75", "PZ"},
        {"missing issue", 999, "", 0, "0", "0", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(servizi->DescrizioneUscita(row.id), row.descrizione) << row.name;
        EXPECT_EQ(servizi->CodiceIvaUscita(row.id), row.codice) << row.name;
        EXPECT_EQ(servizi->PrezzoNettoUscita(row.id), row.netto) << row.name;
        EXPECT_EQ(servizi->PrezzoExtraUscita(row.id), row.extra) << row.name;
        EXPECT_EQ(servizi->UnitaMisuraUscita(row.id, false), row.um) << row.name;
    }
    EXPECT_EQ(servizi->fallimenti(), 2) << "the NULL price and unit of issue 1 fall back as read alone";
}

TEST_F(ServiziDocumentoTest, FailedLookupsFallBackAndAreCounted)
{
    sql(QStringLiteral("DROP VIEW vUscite"));
    sql(QStringLiteral("DROP TABLE IVA"));
    EXPECT_EQ(servizi->PrezzoNettoUscita(1), "");
    EXPECT_EQ(servizi->DescrizioneUscita(1), "");
    EXPECT_EQ(servizi->AliquotaIva(1), 0);
    EXPECT_EQ(servizi->fallimenti(), 3);
}

TEST_F(ServiziDocumentoTest, StockGoesDownByTheQuantityAndUpForANegativeOne)
{
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita, Giacenza) VALUES (1, 10), (2, NULL)"));
    const auto scarica = [&](qint32 id, float quantity) {
        return servizi->ScaricaGiacenze({{id, quantity}});
    };
    EXPECT_EQ(scarica(1, 3), 1);
    EXPECT_EQ(giacenza(1), "7");
    EXPECT_EQ(scarica(1, -2), 1);
    EXPECT_EQ(giacenza(1), "9");
    EXPECT_EQ(scarica(1, 0.5f), 1);
    EXPECT_EQ(giacenza(1), "8.5");
    EXPECT_EQ(scarica(2, 1), 1);
    EXPECT_EQ(giacenza(2), "");
    EXPECT_EQ(scarica(3, 1), 0);
    EXPECT_EQ(servizi->fallimenti(), 0);
    sql(QStringLiteral("DROP TABLE Uscite"));
    EXPECT_EQ(scarica(1, 1), 0);
    EXPECT_EQ(servizi->fallimenti(), 1);
}

TEST_F(ServiziDocumentoTest, StockOfSeveralIssuesAtOnceGoesAsOneByOne)
{
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita, Giacenza) VALUES (1, 10), (2, NULL)"));
    QList<ServiziDocumento::Scarico> scarichi = {{1, 3}, {2, 1}, {1, -2}, {999, 1}, {1, 0.5f}};
    for (int id = 3; id <= 12; ++id) { // more issues than one statement names
        sql(QStringLiteral("INSERT INTO Uscite (IDUscita, Giacenza) VALUES (?, 5)"), {id});
        scarichi.append({id, float(id % 3)});
    }
    EXPECT_EQ(servizi->ScaricaGiacenze(scarichi), 14);
    EXPECT_EQ(giacenza(1), "8.5");
    EXPECT_EQ(giacenza(2), "");
    for (int id = 3; id <= 12; ++id)
        EXPECT_EQ(giacenza(id), QString::number(5 - id % 3)) << id;
    EXPECT_EQ(servizi->fallimenti(), 0);

    sql(QStringLiteral("DROP TABLE Uscite"));
    EXPECT_EQ(servizi->ScaricaGiacenze({{1, 1}, {1, 1}}), 0);
    EXPECT_EQ(servizi->fallimenti(), 2) << "one for each statement";
}

TEST(NumeroDaTesto, ReadsTheServicesNumbers)
{
    EXPECT_EQ(numeroDaTesto(QStringLiteral("2,5")), 2.5);
    EXPECT_EQ(numeroDaTesto(QStringLiteral("-0,25")), -0.25);
    EXPECT_EQ(numeroDaTesto(QStringLiteral("3")), 3);
    EXPECT_EQ(numeroDaTesto(QString()), 0);
}
