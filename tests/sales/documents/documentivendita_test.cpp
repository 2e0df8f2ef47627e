// Sales documents made from the staged sales of a small embedded store.
#include "documentistore.h"
#include "qtprinting.h"
#include "sales/documents/documentivendita.h"
#include "services/failure.h"

#include <gtest/gtest.h>

namespace {
const QString kHeader = QStringLiteral(
    "SELECT IDDocumento, IDFornitore, numero, IDTipoDocumento, Descrizione, Note, Data, TotaleImponibile, "
    "TotaleIVA, TotaleBolla, ValoreBolla, TotaleFIEG, TotaleAltri FROM Documenti ORDER BY IDDocumento");
const QString kRows = QStringLiteral(
    "SELECT IDDocumentoRiga, NumeroRiga, IDUscita, idcausaleMovimento, IDDocumento, Descrizione, Iva, "
    "PrezzoNetto, PrezzoCopertina, Spunta, QTA, QtaRec, UM FROM DocumentiRighe ORDER BY IDDocumentoRiga");
const QString kCounters = QStringLiteral("SELECT NomeContatore || '=' || Valore FROM Contatori ORDER BY 1");
const QString kPending =
    QStringLiteral("SELECT IDVendita || '/' || IDRiga || '=' || Elaborato FROM Vendite_VT ORDER BY 1");

QString giacenzaSql()
{
    return QStringLiteral("SELECT IDUscita || '=' || Giacenza FROM Uscite ORDER BY IDUscita");
}
} // namespace

using DocumentiVendita = DocumentiTest;

TEST_F(DocumentiVendita, OneSaleMakesAHeaderWithItsRowsTotalsByVatRateAndTheStockDecrease)
{
    sql(QStringLiteral("UPDATE Contatori SET Valore = 100 WHERE NomeContatore = 'IDDocumento'"));
    sql(QStringLiteral("UPDATE Contatori SET Valore = 500 WHERE NomeContatore = 'IDDocumentoRiga'"));
    sql(QStringLiteral("UPDATE Contatori SET Valore = 7 WHERE NomeContatore = 'NumeroVenditaBanco'"));
    iva(4, 22);
    iva(9, 0);
    uscita(1, 10, 4);
    uscita(2, 10, 4);
    uscita(3, 1, 9);
    staged("V1", "1", 1, 1, 12.2);
    staged("V1", "2", 2, 2, 12.2);
    staged("V1", "3", 3, 2, 1.2, "2026-12-08", "18:40");

    EXPECT_EQ(crea(), 1);

    // Net 10 and 20 at 22%: 30 and 6.6; the row at 0% adds to the document total only.
    EXPECT_EQ(righe(kHeader), QStringList({"101|1|8|7|Vendita al banco|Vendita Importato da 'Kioskar'|"
                                           "2026-12-08 18:40:00|30|6.6|39|0|0|0"}));
    EXPECT_EQ(righe(kRows), QStringList({"501|1|1|21|101|Titolo 1 N.1|22|10|12.2|0|1|1|PZ",
                                         "502|2|2|21|101|Titolo 2 N.1|22|10|12.2|0|2|2|PZ",
                                         "503|3|3|21|101|Titolo 3 N.1|0|1|1.2|0|2|2|PZ"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=9", "2=8", "3=8"}));
    EXPECT_EQ(colonna(kPending), QStringList({"V1/1=1", "V1/2=1", "V1/3=1"}));
    EXPECT_EQ(colonna(kCounters),
              QStringList({"IDDocumento=101", "IDDocumentoRiga=503", "NumeroVenditaBanco=8"}));
    EXPECT_EQ(log, QStringList({"Creato Documento con ID = 101", "Tot € = 39"}));
}

TEST_F(DocumentiVendita, ExtraPriceReplacesTheStagedPriceWhenNotZero)
{
    struct Row
    {
        const char* name;
        QVariant extra;
        QString copertina;
    };
    const Row rows[] = {
        {"extra price 3.00", 3.00, "3"},
        {"extra price 0", 0, "2.5"},
        {"no extra price", QVariant(), "2.5"},
    };
    iva(4, 22);
    int id = 0;
    for (const Row& row : rows) {
        ++id;
        uscita(id, 1, 4, row.extra);
        staged(QStringLiteral("S%1").arg(id), "1", id, 1, 2.50);
    }
    EXPECT_EQ(crea(), 3);
    id = 0;
    for (const Row& row : rows) {
        ++id;
        EXPECT_EQ(valore("SELECT PrezzoCopertina FROM DocumentiRighe WHERE IDUscita = ?", {id}),
                  row.copertina)
            << row.name;
        EXPECT_EQ(valore("SELECT d.TotaleBolla FROM Documenti d JOIN DocumentiRighe r "
                         "ON r.IDDocumento = d.IDDocumento WHERE r.IDUscita = ?",
                         {id}),
                  row.copertina)
            << row.name;
    }
}

TEST_F(DocumentiVendita, NegativeQuantityGivesNegativeAmountsAndRaisesTheStock)
{
    iva(4, 22);
    uscita(1, 1, 4, {}, 5);
    staged("R", "1", 1, -2, 1.2);
    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(righe("SELECT TotaleImponibile, TotaleIVA, TotaleBolla FROM Documenti"),
              QStringList({"-2|-0.44|-2.4"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=7"}));
    EXPECT_EQ(log.value(1), "Tot € = -2,4");
}

TEST_F(DocumentiVendita, RowsAreNumberedInIDRigaOrderAndTheLastGivesTheDate)
{
    iva(4, 22);
    for (int id = 1; id <= 3; ++id)
        uscita(id, 1, 4);
    // IDRiga is text: "30" < "5" < "7".
    staged("V", "7", 1, 1, 1, "2026-12-05", "18:00");
    staged("V", "30", 2, 1, 1, "2026-12-07", "08:00");
    staged("V", "5", 3, 1, 1, "2026-12-06", "12:30");
    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(righe("SELECT IDUscita, NumeroRiga FROM DocumentiRighe ORDER BY NumeroRiga"),
              QStringList({"2|1", "3|2", "1|3"}));
    EXPECT_EQ(valore("SELECT Data FROM Documenti"), "2026-12-05 18:00:00");
}

TEST_F(DocumentiVendita, ALongSaleIsWrittenWholeAndInOrder)
{
    // Eleven rows: more than one statement writes; issue 1 sold on three of them.
    iva(4, 22);
    for (int id = 1; id <= 9; ++id)
        uscita(id, 1, 4);
    const int issues[] = {1, 2, 1, 3, 4, 5, 6, 7, 1, 8, 9};
    for (int row = 0; row < 11; ++row)
        staged("L", QStringLiteral("%1").arg(row + 10), issues[row], 1, 1);
    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(colonna("SELECT IDDocumentoRiga || ':' || NumeroRiga || ':' || IDUscita FROM DocumentiRighe "
                      "ORDER BY IDDocumentoRiga"),
              QStringList({"1:1:1", "2:2:2", "3:3:1", "4:4:3", "5:5:4", "6:6:5", "7:7:6", "8:8:7", "9:9:1",
                           "10:10:8", "11:11:9"}));
    EXPECT_EQ(colonna(giacenzaSql()),
              QStringList({"1=7", "2=9", "3=9", "4=9", "5=9", "6=9", "7=9", "8=9", "9=9"}));
    EXPECT_EQ(valore("SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumentoRiga'"), "11");
    EXPECT_EQ(valore("SELECT TotaleBolla FROM Documenti"), "11");
}

TEST_F(DocumentiVendita, OnlyPendingRowsWithAnIssueAreDocumented)
{
    iva(4, 22);
    uscita(1, 1, 4);
    staged("Z", "1", 0, 1, 1);                             // no issue: never a document
    staged("M", "1", 0, 1, 1);                             // no issue, in a sale that has one
    staged("M", "2", 1, 1, 1);                             // the one row documented
    staged("P", "1", 1, 1, 1, "2026-12-07", "09:05", "1"); // done by an earlier run

    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(righe("SELECT IDUscita, NumeroRiga FROM DocumentiRighe"), QStringList({"1|1"}));
    EXPECT_EQ(colonna(kPending), QStringList({"M/1=0", "M/2=1", "P/1=1", "Z/1=0"}));

    log.clear();
    EXPECT_EQ(crea(), 0) << "nothing left pending";
    EXPECT_EQ(log, QStringList());
    EXPECT_EQ(valore("SELECT COUNT(*) FROM Documenti"), "1");
}

TEST_F(DocumentiVendita, ASaleIsNamedAsTheStoreComparesTextTrailingBlanksAndCaseAside)
{
    iva(4, 22);
    uscita(1, 1, 4);
    staged("V7", "1", 1, 1, 1);
    staged("v7 ", "2", 1, 1, 1); // the same sale to the store

    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(righe("SELECT IDDocumento, NumeroRiga FROM DocumentiRighe ORDER BY NumeroRiga"),
              QStringList({"1|1", "1|2"}));
    EXPECT_EQ(colonna(kPending), QStringList({"V7/1=1", "v7 /2=1"}));
}

TEST_F(DocumentiVendita, CountersAdvanceOncePerDocumentAndPerRow)
{
    iva(4, 22);
    uscita(1, 1, 4);
    staged("A", "1", 1, 1, 1);
    staged("B", "1", 1, 1, 1);
    staged("B", "2", 1, 1, 1);
    EXPECT_EQ(crea(), 2);
    EXPECT_EQ(colonna(kCounters),
              QStringList({"IDDocumento=2", "IDDocumentoRiga=3", "NumeroVenditaBanco=2"}));
    EXPECT_EQ(righe("SELECT IDDocumento, numero FROM Documenti ORDER BY 1"), QStringList({"1|1", "2|2"}));
    EXPECT_EQ(righe("SELECT d.IDDocumento, r.NumeroRiga FROM DocumentiRighe r JOIN Documenti d "
                    "ON d.IDDocumento = r.IDDocumento ORDER BY r.IDDocumentoRiga")
                  .size(),
              3);
    EXPECT_EQ(colonna("SELECT NumeroRiga FROM DocumentiRighe ORDER BY IDDocumento, NumeroRiga"),
              QStringList({"1", "1", "2"}));
}

TEST_F(DocumentiVendita, MissingIssueDataFallsBackAndTheDocumentIsMade)
{
    iva(1, 4);                     // the code an issue without one gets
    uscita(1, {}, {}, {}, 10, {}); // NULL net price, VAT code, extra price and unit
    uscita(2, 5, 8);               // VAT code 8 has no rate
    staged("F", "1", 1, 1, 2.5);
    staged("F", "2", 2, 1, 2.5);
    staged("F", "3", 999, 1, 2.5); // no such issue
    EXPECT_EQ(crea(), 1);
    EXPECT_EQ(righe("SELECT IDUscita, Descrizione, Iva, PrezzoNetto, PrezzoCopertina, UM FROM DocumentiRighe "
                    "ORDER BY NumeroRiga"),
              QStringList({"1|Titolo 1 N.1|4|0|2.5|", "2|Titolo 2 N.1|0|5|2.5|PZ", "999||0|0|2.5|"}));
    // A text that fell back is stored as an empty text: a column that must hold a value takes it.
    EXPECT_EQ(colonna("SELECT count(*) FROM DocumentiRighe WHERE UM IS NULL OR Descrizione IS NULL"),
              QStringList({"0"}));
    EXPECT_EQ(righe("SELECT TotaleImponibile, TotaleIVA, TotaleBolla FROM Documenti"),
              QStringList({"0|0|7.5"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=9", "2=9"}));
}

TEST_F(DocumentiVendita, AFailingSaleIsUndoneWholeAndMadeOnceByTheNextRun)
{
    iva(4, 22);
    for (int id = 1; id <= 3; ++id)
        uscita(id, 1, 4);
    staged("A", "1", 1, 1, 1);
    staged("B", "1", 3, 1, 1);
    staged("B", "2", 2, 1, 1); // its row is refused when the sale's rows are written
    sql(QStringLiteral("CREATE TRIGGER rifiuta BEFORE INSERT ON DocumentiRighe WHEN NEW.IDUscita = 2 "
                       "BEGIN SELECT RAISE(ABORT, 'riga rifiutata'); END"));

    EXPECT_THROW(crea(), Failure);
    EXPECT_EQ(valore("SELECT COUNT(*) FROM DocumentiRighe WHERE IDUscita IN (2, 3)"), "0");
    EXPECT_EQ(valore("SELECT COUNT(*) FROM Documenti"), QString::number(log.size() / 2))
        << "sale A, if made first";
    EXPECT_EQ(colonna("SELECT Giacenza FROM Uscite WHERE IDUscita IN (2, 3)"), QStringList({"10", "10"}));
    EXPECT_EQ(colonna("SELECT Elaborato FROM Vendite_VT WHERE IDVendita = 'B'"), QStringList({"0", "0"}));
    // The counters went back with the sale: they count what was saved.
    EXPECT_EQ(valore("SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumento'"),
              valore("SELECT COUNT(*) FROM Documenti"));
    EXPECT_EQ(valore("SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumentoRiga'"),
              valore("SELECT COUNT(*) FROM DocumentiRighe"));

    sql(QStringLiteral("DROP TRIGGER rifiuta"));
    crea();
    EXPECT_EQ(valore("SELECT COUNT(*) FROM Documenti"), "2");
    EXPECT_EQ(righe("SELECT r.IDUscita, r.NumeroRiga FROM DocumentiRighe r JOIN Documenti d "
                    "ON d.IDDocumento = r.IDDocumento ORDER BY r.IDUscita"),
              QStringList({"1|1", "2|2", "3|1"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=9", "2=9", "3=9"}));
    EXPECT_EQ(colonna(kPending), QStringList({"A/1=1", "B/1=1", "B/2=1"}));
}

TEST_F(DocumentiVendita, ASaleTheStoreUndoesBehindAFallbackIsNotSavedInPieces)
{
    iva(4, 22);
    for (int id = 1; id <= 3; ++id)
        uscita(id, 1, 4);
    staged("B", "1", 3, 1, 1);
    staged("B", "2", 2, 1, 1);
    // The stock update of issue 2 makes SQLite undo the whole transaction; the service only says false.
    sql(QStringLiteral("CREATE TRIGGER annulla BEFORE UPDATE ON Uscite WHEN NEW.IDUscita = 2 "
                       "BEGIN SELECT RAISE(ROLLBACK, 'giacenza bloccata'); END"));

    EXPECT_THROW(crea(), Failure);
    EXPECT_EQ(valore("SELECT COUNT(*) FROM Documenti"), "0");
    EXPECT_EQ(valore("SELECT COUNT(*) FROM DocumentiRighe"), "0");
    EXPECT_EQ(colonna(kPending), QStringList({"B/1=0", "B/2=0"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=10", "2=10", "3=10"}));
}

TEST_F(DocumentiVendita, ADocumentIsLoggedOnlyOnceItIsSaved)
{
    iva(4, 22);
    uscita(1, 1, 4);
    for (const char* sale : {"A", "B", "C"})
        staged(sale, "1", 1, 1, 1);
    ConnessioneStore other(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    QStringList seen;
    const int made = creaDocumentiVendita(*store, [&](const QStringList& lines) {
        log << lines;
        const QString prefix = QStringLiteral("Creato Documento con ID = ");
        for (const QString& text : lines) {
            if (!text.startsWith(prefix)) continue;
            QSqlQuery saved =
                other.esegui(QStringLiteral("SELECT COUNT(*) FROM Documenti WHERE IDDocumento = ?"),
                             {text.mid(prefix.size())});
            seen << (saved.next() ? saved.value(0).toString() : QStringLiteral("?"));
        }
    });
    EXPECT_EQ(made, 3);
    EXPECT_EQ(seen, QStringList({"1", "1", "1"}))
        << "each document visible to another connection when logged";
    EXPECT_EQ(log.size(), 6);
}

TEST_F(DocumentiVendita, TheSalesBeforeAFailingOneAreSavedAndLogged)
{
    iva(4, 22);
    uscita(1, 1, 4);
    uscita(2, 1, 4);
    staged("A", "1", 1, 1, 1); // the sales are taken in the order they were staged
    staged("B", "1", 2, 1, 1);
    sql(QStringLiteral("CREATE TRIGGER rifiuta BEFORE INSERT ON Documenti WHEN NEW.IDDocumento = 2 "
                       "BEGIN SELECT RAISE(ABORT, 'testata rifiutata'); END"));
    EXPECT_THROW(crea(), Failure);
    EXPECT_EQ(righe("SELECT IDDocumento, TotaleBolla FROM Documenti"), QStringList({"1|1"}));
    EXPECT_EQ(log, QStringList({"Creato Documento con ID = 1", "Tot € = 1"}));
    EXPECT_EQ(colonna(kPending), QStringList({"A/1=1", "B/1=0"}));
    EXPECT_EQ(colonna(giacenzaSql()), QStringList({"1=9", "2=10"}));
}
