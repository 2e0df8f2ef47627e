#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/odbcstring.h"
#include "store/servizidocumento.h"
#include "store/sqlitecollation.h"
#include "storefixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace {
QStringList columnsOf(ConnessioneStore& connection, const QString& table)
{
    QSqlQuery query =
        connection.esegui(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE 0 = 1"));
    QStringList names;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

// The failure's description, or "" when the call succeeds.
template <typename Call> QString failureOf(Call call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}
} // namespace

using EmbeddedStore = StoreFolderTest;

TEST_F(EmbeddedStore, SchemaHoldsTheObjectsTheRunsUse)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    const struct
    {
        const char* table;
        QStringList columns;
    } expected[] = {
        {"Prodotti",
         {"IDProd", "Zefiro", "BarcodeTitolo", "Testata", "SottoTitolo", "IDTipoProdotto",
          "GiorniScadenzaResa"}},
        {"Uscite",
         {"IDUscita", "IDProd", "BarcodeAddon", "Addon", "NumeroCopertina", "DataUscita",
          "PrezzoCopertinaEuroDistributore", "Zefiro", "dataRRpdv1", "dataResa", "IDIva",
          "PrezzoVenditaExtra", "Giacenza", "PrezzoNetto", "UmAcquisto", "UmVendita"}},
        {"vUscite",
         {"IDUscita", "IDTipoProdotto", "Testata", "NumeroCopertina", "PrezzoNetto", "UmAcquisto",
          "UmVendita"}},
        {"IVA", {"IDIVA", "Aliquota"}},
        {"TipiDocumento", {"IDTipoDocumento", "Descrizione", "NomeContatore"}},
        {"Vendite_VT",
         {"IDVendita", "IDRiga", "Data", "Ora", "Barcode", QStringLiteral("Quantità"), "IDUscita", "Prezzo",
          "Elaborato"}},
        {"Documenti",
         {"IDDocumento", "IDFornitore", "numero", "IDTipoDocumento", "Descrizione", "Note", "Data",
          "TotaleImponibile", "TotaleIVA", "TotaleBolla", "ValoreBolla", "TotaleFIEG", "TotaleAltri"}},
        {"DocumentiRighe",
         {"IDDocumentoRiga", "IDDocumento", "NumeroRiga", "IDUscita", "idcausaleMovimento", "Descrizione",
          "Iva", "PrezzoNetto", "PrezzoCopertina", "Spunta", "QTA", "QtaRec", "UM"}},
    };
    for (const auto& row : expected)
        EXPECT_EQ(columnsOf(connection, QString::fromLatin1(row.table)), row.columns) << row.table;

    // Type 7 names its numbering counter, and that counter exists.
    QSqlQuery type = connection.esegui(
        QStringLiteral("SELECT NomeContatore FROM TipiDocumento WHERE IDTipoDocumento = 7"));
    ASSERT_TRUE(type.next());
    const QString counter = type.value(0).toString();
    EXPECT_FALSE(counter.isEmpty());
    for (const QString& name : {QStringLiteral("IDDocumento"), QStringLiteral("IDDocumentoRiga"), counter})
        EXPECT_EQ(ServiziDocumento(connection).IncrementaContatore(name), 1) << qPrintable(name);
}

TEST_F(EmbeddedStore, ViewTakesTypeAndTitleFromTheIssuesTitle)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    connection.esegui(
        QStringLiteral("INSERT INTO Prodotti (IDProd, Testata, IDTipoProdotto) VALUES (5, 'Gazzetta', 2)"));
    connection.esegui(
        QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, NumeroCopertina, PrezzoNetto, UmAcquisto, "
                       "UmVendita) VALUES (50, 5, '123', 1.2, 'CF', 'PZ')"));
    QSqlQuery view = connection.esegui(QStringLiteral("SELECT * FROM vUscite WHERE IDUscita=50"));
    ASSERT_TRUE(view.next());
    EXPECT_EQ(view.value(QStringLiteral("IDTipoProdotto")).toInt(), 2);
    EXPECT_EQ(view.value(QStringLiteral("Testata")).toString(), QStringLiteral("Gazzetta"));
    EXPECT_EQ(view.value(QStringLiteral("NumeroCopertina")).toString(), QStringLiteral("123"));
    EXPECT_EQ(view.value(QStringLiteral("UmVendita")).toString(), QStringLiteral("PZ"));
}

TEST_F(EmbeddedStore, AStoreOnAReadOnlyDiskIsToldAsNotWritable)
{
    // The store's folder mounted read-only for the tool alone (a mount namespace of its own).
    const QString file = path(QStringLiteral("TAVIRA_RO.sqlite"));
    creaStoreVuoto(file);
    QProcess child;
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount --bind -o ro \"$1\" \"$1\" || exit 77; exec \"$2\" aggiorna \"$3\""),
                 QStringLiteral("sh"), folder(), QStringLiteral(EI_TAVIRA_STORE), file});
    ASSERT_TRUE(child.waitForFinished(30000));
    if (child.exitCode() == 77 || child.error() == QProcess::FailedToStart)
        GTEST_SKIP() << "no read-only mount allowed here";
    const QString said = QString::fromUtf8(child.readAllStandardError() + child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 1);
    EXPECT_TRUE(said.contains(QLatin1String("essere scritto"))) << qPrintable(said);
}

TEST_F(EmbeddedStore, AnExistingFileIsNeverOverwritten)
{
    const QString file = QDir(storeFolder()).filePath(QStringLiteral("TAVIRA.sqlite"));
    writeBytes(QStringLiteral("negozio/TAVIRA.sqlite"), "keep me");
    EXPECT_NE(failureOf([&] { creaStoreVuoto(file); }), QString());
    EXPECT_EQ(readBytes(QStringLiteral("negozio/TAVIRA.sqlite")), QByteArray("keep me"));
}

TEST_F(EmbeddedStore, CounterGivesConsecutiveValuesAndMinusOneWithoutValue)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    ServiziDocumento services(connection);
    const qint32 first = services.IncrementaContatore(QStringLiteral("IDDocumento"));
    EXPECT_EQ(services.IncrementaContatore(QStringLiteral("IDDocumento")), first + 1);
    // Another connection on the same file sees and advances the same counter.
    ConnessioneStore other(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    EXPECT_EQ(ServiziDocumento(other).IncrementaContatore(QStringLiteral("iddocumento ")), first + 2);

    EXPECT_EQ(services.IncrementaContatore(QStringLiteral("Sconosciuto")), -1);
    connection.esegui(QStringLiteral("INSERT INTO Contatori (NomeContatore, Valore) VALUES ('Vuoto', NULL)"));
    EXPECT_EQ(services.IncrementaContatore(QStringLiteral("Vuoto")), -1);
    connection.esegui(
        QStringLiteral("UPDATE Contatori SET Valore = 2147483647 WHERE NomeContatore = 'IDDocumentoRiga'"));
    // A value beyond 32 bits is a failure, which the service answers with its fallback 0.
    EXPECT_EQ(services.IncrementaContatore(QStringLiteral("IDDocumentoRiga")), 0);
}

TEST_F(EmbeddedStore, TextComparisonsIgnoreCaseAndTrailingBlanks)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    const SqlDialect& dialect = connection.dialetto();
    for (const auto& [sale, line] : {std::pair{"ABC", "0001"}, {"Città", "1"}, {"S1", "1 "}})
        connection.esegui(
            QStringLiteral("INSERT INTO Vendite_VT (IDVendita, IDRiga, Elaborato) VALUES (?, ?, '0')"),
            {QString::fromUtf8(sale), QString::fromLatin1(line)});
    const struct
    {
        const char* name;
        QString probe;
        int matches;
    } rows[] = {
        {"same text", QStringLiteral("ABC"), 1},
        {"lower case", QStringLiteral("abc"), 1},
        {"trailing blanks", QStringLiteral("abc   "), 1},
        {"leading blank counts", QStringLiteral(" abc"), 0},
        {"inner blank counts", QStringLiteral("a bc"), 0},
        {"other letters as stored", QStringLiteral("Città "), 1},
        {"accent itself counts", QStringLiteral("citta"), 0},
        {"different text", QStringLiteral("abd"), 0},
    };
    const QString byValue = QStringLiteral("SELECT count(*) FROM Vendite_VT WHERE ") +
                            dialect.testoUguale(QStringLiteral("IDVendita"));
    for (const auto& row : rows) {
        QSqlQuery query = connection.esegui(byValue, {row.probe});
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toInt(), row.matches) << row.name;
    }
    // A literal with a blank before the closing quote, as the sales run writes it.
    QSqlQuery literal =
        connection.esegui(QStringLiteral("SELECT IDRiga FROM Vendite_VT WHERE ") +
                          dialect.testoUguale(QStringLiteral("IDVendita"), QStringLiteral("'abc '")));
    ASSERT_TRUE(literal.next());
    EXPECT_EQ(literal.value(0).toString(), QStringLiteral("0001"));

    // A staged line found by sale and line number, as the sales import checks for duplicates: "S1"
    // and "s1 " are one line, and the lookup goes through the index.
    const QString duplicate = QStringLiteral("FROM Vendite_VT WHERE ") +
                              dialect.testoUguale(QStringLiteral("IDVendita")) + QStringLiteral(" AND ") +
                              dialect.testoUguale(QStringLiteral("IDRiga"));
    QSqlQuery found = connection.esegui(QStringLiteral("SELECT count(*) ") + duplicate,
                                        {QStringLiteral("s1 "), QStringLiteral("1")});
    ASSERT_TRUE(found.next());
    EXPECT_EQ(found.value(0).toInt(), 1);
    QSqlQuery plan = connection.esegui(QStringLiteral("EXPLAIN QUERY PLAN SELECT count(*) ") + duplicate,
                                       {QStringLiteral("s1"), QStringLiteral("1")});
    QString steps;
    while (plan.next())
        steps += plan.value(QStringLiteral("detail")).toString() + QLatin1Char('\n');
    EXPECT_TRUE(steps.contains(QStringLiteral("USING INDEX IX_Vendite_VT_IDVendita_IDRiga")))
        << qPrintable(steps);

    // Sorting on a text column ignores letter case.
    QSqlQuery sorted =
        connection.esegui(QStringLiteral("SELECT IDVendita FROM Vendite_VT ORDER BY IDVendita"));
    QStringList order;
    while (sorted.next())
        order << sorted.value(0).toString();
    EXPECT_EQ(order, (QStringList{QStringLiteral("ABC"), QStringLiteral("Città"), QStringLiteral("S1")}));
}

TEST(TextCollation, OrdersLikeAFoldedTextWithoutTrailingBlanks)
{
    const auto cmp = [](const QByteArray& a, const QByteArray& b) {
        return confrontaTesti(a.constData(), int(a.size()), b.constData(), int(b.size()));
    };
    EXPECT_EQ(cmp("abc", "ABC  "), 0);
    EXPECT_LT(cmp("abc", "abd"), 0);
    EXPECT_GT(cmp("B", "a"), 0);               // letters sort without regard to case
    EXPECT_LT(cmp("ab", "abc"), 0);            // a prefix first
    EXPECT_LT(cmp("ab ", "ab!"), 0);           // the trailing blank is gone: "ab" < "ab!"
    EXPECT_EQ(cmp("\xC3\xA0", "\xC3\x80"), 0); // à = À
    EXPECT_EQ(cmp("", "   "), 0);
}

TEST_F(EmbeddedStore, PricesAreReadAsExactDecimalText)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    connection.esegui(
        QStringLiteral("INSERT INTO Uscite (IDUscita, PrezzoCopertinaEuroDistributore, Giacenza) VALUES "
                       "(1, 2.675, -3), (2, '1.005', 999), (3, 0.1, 2.5)"));
    const struct
    {
        int id;
        qint64 cents;
        QString text;
    } rows[] = {
        {1, 268, QStringLiteral("2.675")}, {2, 100, QStringLiteral("1.005")}, {3, 10, QStringLiteral("0.1")}};
    for (const auto& row : rows) {
        QSqlQuery query = connection.esegui(
            QStringLiteral("SELECT PrezzoCopertinaEuroDistributore FROM Uscite WHERE IDUscita = ?"),
            {row.id});
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), row.text) << row.id;
        const std::optional<NumeroEsatto> price = NumeroEsatto::daValore(query.value(0));
        ASSERT_TRUE(price.has_value());
        EXPECT_EQ(price->inUnita(2), row.cents) << row.id;
    }
}

TEST_F(EmbeddedStore, ResultsStayOpenWhileOtherQueriesRun)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    for (int id = 1; id <= 3; ++id) {
        connection.esegui(QStringLiteral("INSERT INTO Prodotti (IDProd, Zefiro) VALUES (?, 1)"), {id});
        connection.esegui(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd) VALUES (?, ?)"),
                          {id * 10, id});
    }
    QSqlQuery titles = connection.esegui(QStringLiteral("SELECT IDProd FROM Prodotti ORDER BY IDProd"));
    QList<int> issues;
    while (titles.next()) {
        QSqlQuery issue = connection.esegui(QStringLiteral("SELECT IDUscita FROM Uscite WHERE IDProd = ?"),
                                            {titles.value(0)});
        while (issue.next())
            issues << issue.value(0).toInt();
    }
    EXPECT_EQ(issues, (QList<int>{10, 20, 30}));
    EXPECT_EQ(titles.size(), -1); // no record count: the runs count by reading
}

TEST_F(EmbeddedStore, DatabaseNamesAreFoundWithoutRegardToCaseButNeverOutsideTheFolder)
{
    createStore(QStringLiteral("Tavira_Demo"));
    EXPECT_TRUE(ConnessioneStore(settingsFor(QStringLiteral(" TAVIRA_DEMO ")), 3, 60).aperta());

    for (const char* name : {"", "..", ".", "../negozio/Tavira_Demo", "sub/Tavira_Demo", "C:Tavira_Demo"}) {
        try {
            ConnessioneStore connection(settingsFor(QString::fromLatin1(name)), 3, 60);
            ADD_FAILURE() << "opened " << name;
        } catch (const ConnessioneRifiutata&) {
        }
    }
}

TEST_F(EmbeddedStore, MissingFileFailsWithoutCreatingOne)
{
    const QString description =
        failureOf([&] { ConnessioneStore(settingsFor(QStringLiteral("TAVIRA_NUOVO")), 3, 60); });
    EXPECT_TRUE(description.contains(QStringLiteral("TAVIRA_NUOVO"))) << qPrintable(description);
    EXPECT_TRUE(QDir(storeFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(EmbeddedStore, FileThatIsNotADatabaseFailsClearly)
{
    writeBytes(QStringLiteral("negozio/TAVIRA_ROTTO.sqlite"),
               QByteArray("This is not a database at all.\r\n").repeated(200));
    const QString description =
        failureOf([&] { ConnessioneStore(settingsFor(QStringLiteral("TAVIRA_ROTTO")), 3, 60); });
    EXPECT_TRUE(description.contains(QStringLiteral("non è un database SQLite"))) << qPrintable(description);
    EXPECT_EQ(readBytes(QStringLiteral("negozio/TAVIRA_ROTTO.sqlite")).size(), 32 * 200); // untouched
}

TEST_F(EmbeddedStore, MissingTableFailsClearly)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    connection.esegui(QStringLiteral("DROP VIEW vUscite"));
    connection.esegui(QStringLiteral("DROP TABLE Uscite"));
    const QString description =
        failureOf([&] { connection.esegui(QStringLiteral("SELECT IDUscita FROM Uscite")); });
    EXPECT_TRUE(description.contains(QStringLiteral("no such table: Uscite"))) << qPrintable(description);
}

TEST_F(EmbeddedStore, ServerNamesPointAtTheFolder)
{
    createStore(QStringLiteral("TAVIRA"));
    ImpostazioniConnessione absolute = settingsFor(QStringLiteral("TAVIRA"));
    absolute.server = QStringLiteral(" sqlite:") + storeFolder() + QStringLiteral(" ");
    EXPECT_TRUE(ConnessioneStore(absolute, 3, 60).aperta());
    EXPECT_EQ(cartellaStoreEmbedded(QStringLiteral("SQLite:")), QDir::cleanPath(folder()));
    EXPECT_EQ(motoreDelServer(QStringLiteral("sqlite:x")), Motore::Embedded);
    EXPECT_EQ(motoreDelServer(QStringLiteral("SERVER\\SQLEXPRESS")), Motore::SqlServer);

    // "master" is the folder itself: present or not.
    EXPECT_TRUE(ConnessioneStore(settingsFor(QStringLiteral("MASTER")), 3, 60).aperta());
    ImpostazioniConnessione missing = settingsFor(QStringLiteral("master"));
    missing.server = QStringLiteral("sqlite:assente");
    EXPECT_TRUE(failureOf([&] { ConnessioneStore(missing, 3, 60); }).contains(QStringLiteral("non esiste")));
}

TEST(StoreDialect, QueryTextsOfEachEngine)
{
    const SqlDialect server(Motore::SqlServer);
    const SqlDialect embedded(Motore::Embedded);
    const QString rest = QStringLiteral("IDUscita from Uscite Where IDProd = 1 order by Datauscita desc");
    EXPECT_EQ(server.selectTop(3, rest), QStringLiteral("SELECT top 3 ") + rest);
    EXPECT_EQ(embedded.selectTop(3, rest), QStringLiteral("SELECT ") + rest + QStringLiteral(" LIMIT 3"));
    EXPECT_EQ(server.letteraleData(QDate(2026, 6, 10)), QStringLiteral("'20260610'"));
    EXPECT_EQ(embedded.letteraleData(QDate(2026, 6, 10)), QStringLiteral("julianday('2026-06-10')"));
    EXPECT_EQ(server.dataDi("DataUscita"), "DataUscita");
    EXPECT_EQ(embedded.dataDi("DataUscita"), "julianday(DataUscita)");
    EXPECT_EQ(server.testoUguale("IDVendita"), "IDVendita = CAST(? AS varchar(8000))");
    EXPECT_EQ(embedded.testoUguale("IDVendita", "'0'"), "rtrim(IDVendita) COLLATE NOCASE = rtrim('0')");
    // The counter's output comes back as a result column, so a NULL keeps its null indicator.
    EXPECT_TRUE(
        server.avanzaContatore().contains(QStringLiteral("EXEC Contatore_update @NomeContatore = ?")));
    EXPECT_TRUE(server.avanzaContatore().endsWith(QStringLiteral("SELECT @Valore AS Valore")));
    EXPECT_EQ(server.elencoDatabase(), QStringLiteral("sp_databases"));
}

TEST_F(EmbeddedStore, DateLiteralComparesAsTheDayAtMidnight)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    connection.esegui(QStringLiteral(
        "INSERT INTO Uscite (IDUscita, DataUscita) VALUES (1, '2026-06-09'), (2, '2026-06-10'), "
        "(3, '2026-06-10 00:00:00'), (4, '2026-06-10 00:00:01'), (5, '2026-06-11'), "
        "(6, '2026-06-10T00:00:00'), (7, '2026-06-10 00:00:00.000'), (8, '2026-06-10T00:00:00.001')"));
    QSqlQuery later = connection.esegui(
        QStringLiteral("SELECT IDUscita FROM Uscite WHERE ") +
        connection.dialetto().dataDi(QStringLiteral("DataUscita")) + QStringLiteral(" > ") +
        connection.dialetto().letteraleData(QDate(2026, 6, 10)) + QStringLiteral(" ORDER BY IDUscita"));
    QList<int> ids;
    while (later.next())
        ids << later.value(0).toInt();
    EXPECT_EQ(ids, (QList<int>{4, 5, 8}));
}
