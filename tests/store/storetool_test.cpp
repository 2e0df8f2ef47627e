#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/tool/demodata.h"
#include "store/tool/salesfile.h"
#include "store/tool/storetool.h"
#include "testfolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace {
struct ToolRun
{
    int status;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = eseguiStrumento(arguments, outStream, errStream);
    return {status, out, err};
}

// Every row of the tables the demo fills, as one digest.
QByteArray contentDigest(const QString& file)
{
    ConnessioneStore connection(impostazioniFileStore(file), 3, 0);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* table : {"Prodotti ORDER BY IDProd", "Uscite ORDER BY IDUscita", "IVA ORDER BY IDIVA"}) {
        QSqlQuery query = connection.esegui(QStringLiteral("SELECT * FROM ") + QLatin1String(table));
        while (query.next())
            for (int i = 0; i < query.record().count(); ++i)
                hash.addData(query.value(i).toString().toUtf8() + '|');
    }
    return hash.result();
}

qlonglong single(ConnessioneStore& connection, const QString& sql)
{
    QSqlQuery query = connection.esegui(sql);
    return query.next() ? query.value(0).toLongLong() : -1;
}
} // namespace

using StoreTool = ProgramFolderTest;

TEST_F(StoreTool, BadArgumentsGiveTheUsageAndStatusTwo)
{
    const struct
    {
        const char* name;
        QStringList arguments;
    } rows[] = {
        {"nothing", {}},
        {"unknown command", {"crea", "a.sqlite"}},
        {"init without FILE", {"init"}},
        {"init with two files", {"init", "a.sqlite", "b.sqlite"}},
        {"vendite without OUT", {"vendite", "a.sqlite"}},
        {"unknown option", {"demo", "a.sqlite", "--righe", "3"}},
        {"option without value", {"demo", "a.sqlite", "--titoli"}},
        {"value not a number", {"demo", "a.sqlite", "--titoli", "molti"}},
        {"value out of range", {"demo", "a.sqlite", "--titoli", "0"}},
        {"seed below zero", {"vendite", "a.sqlite", "v.dat", "--seed", "-1"}},
        {"sales and lines together", {"vendite", "a.sqlite", "v.dat", "--vendite", "3", "--linee", "10"}},
        {"no trial lines for a demo", {"demo", "a.sqlite", "--senza-prove"}},
        {"store not named .sqlite", {"init", "a.db"}},
        {"bare suffix", {"init", ".sqlite"}},
        {"aggiorna without FILE", {"aggiorna"}},
        {"aggiorna with an option", {"aggiorna", "a.sqlite", "--sovrascrivi"}},
    };
    for (const auto& row : rows) {
        const ToolRun run = runTool(row.arguments);
        EXPECT_EQ(run.status, 2) << row.name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("tavira-store demo FILE"))) << row.name;
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("a.sqlite")));
}

TEST_F(StoreTool, HelpPrintsTheUsageAndSucceeds)
{
    for (const char* option : {"--help", "-h"}) {
        const ToolRun run = runTool({QString::fromLatin1(option)});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_TRUE(run.out.contains(QStringLiteral("tavira-store aggiorna FILE"))) << option;
        EXPECT_TRUE(run.err.isEmpty()) << option;
    }
}

TEST_F(StoreTool, InitNeverOverwritesSilently)
{
    const QString file = path(QStringLiteral("Tavira.sqlite"));
    ASSERT_EQ(runTool({"init", file}).status, 0);
    ConnessioneStore(impostazioniFileStore(file), 3, 0); // a store with the schema opens

    writeBytes(QStringLiteral("Altro.sqlite"), "non toccare");
    const ToolRun refused = runTool({"init", path(QStringLiteral("Altro.sqlite"))});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--sovrascrivi")));
    EXPECT_EQ(readBytes(QStringLiteral("Altro.sqlite")), QByteArray("non toccare"));

    ASSERT_EQ(runTool({"init", path(QStringLiteral("Altro.sqlite")), "--sovrascrivi"}).status, 0);
    {
        ConnessioneStore replaced(impostazioniFileStore(path(QStringLiteral("Altro.sqlite"))), 3, 0);
        EXPECT_EQ(single(replaced, QStringLiteral("SELECT count(*) FROM Contatori")), 3);
    }
    // No working file is left beside the stores (nor their logs, once closed).
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 2);
}

TEST_F(StoreTool, DemoIsPlausibleAndDeterministic)
{
    const QString file = path(QStringLiteral("TAVIRA_DEMO.sqlite"));
    const ToolRun run = runTool({"demo", file, "--titoli", "400", "--seed", "5"});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    ConnessioneStore store(impostazioniFileStore(file), 3, 0);
    EXPECT_EQ(single(store, QStringLiteral("SELECT count(*) FROM Prodotti")), 400);
    EXPECT_GE(single(store, QStringLiteral("SELECT count(DISTINCT IDTipoProdotto) FROM Prodotti")), 4);
    EXPECT_GT(single(store, QStringLiteral("SELECT count(*) FROM Prodotti WHERE IDTipoProdotto = 2")), 20);
    EXPECT_GT(single(store, QStringLiteral("SELECT count(*) FROM Prodotti WHERE Zefiro = 1")), 300);
    EXPECT_GT(single(store, QStringLiteral("SELECT count(*) FROM Prodotti WHERE Zefiro = 0")), 0);
    const QString today = pinnedNow().date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString yearAgo = pinnedNow().date().addDays(-365).toString(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(single(store, QStringLiteral(
                                "SELECT count(*) FROM Uscite WHERE DataUscita > '%1' OR DataUscita < '%2'")
                                .arg(today, yearAgo)),
              0);
    for (const char* condition :
         {"Giacenza = 0", "Giacenza < 0", "Giacenza = 999", "Giacenza > 0 AND Giacenza < 999",
          "dataResa IS NOT NULL", "dataRRpdv1 IS NOT NULL", "length(BarcodeAddon) = 18",
          "BarcodeAddon IS NULL", "IDIva IS NULL", "IDIva = 4", "PrezzoVenditaExtra > 0"})
        EXPECT_GT(
            single(store, QStringLiteral("SELECT count(*) FROM Uscite WHERE ") + QLatin1String(condition)), 0)
            << condition;
    EXPECT_EQ(single(store, QStringLiteral("SELECT count(*) FROM Uscite WHERE length(Addon) <> 5")), 0);
    // Title barcodes: 13 digits with a valid check digit.
    QSqlQuery barcodes = store.esegui(QStringLiteral("SELECT BarcodeTitolo FROM Prodotti"));
    while (barcodes.next()) {
        const QString barcode = barcodes.value(0).toString();
        ASSERT_EQ(barcode.size(), 13);
        EXPECT_EQ(barcode.right(1).toInt(), cifraControlloEan(barcode.left(12))) << qPrintable(barcode);
    }
    // Prices are decimal values of whole cents.
    QSqlQuery prices =
        store.esegui(QStringLiteral("SELECT PrezzoCopertinaEuroDistributore, PrezzoNetto FROM Uscite"));
    while (prices.next())
        for (int i = 0; i < 2; ++i) {
            const QString text = prices.value(i).toString();
            ASSERT_TRUE(text.contains(QLatin1Char('.')) ? text.section(QLatin1Char('.'), 1).size() <= 2
                                                        : true)
                << qPrintable(text);
        }

    ASSERT_EQ(runTool({"demo", path(QStringLiteral("same.sqlite")), "--titoli", "400", "--seed", "5"}).status,
              0);
    ASSERT_EQ(
        runTool({"demo", path(QStringLiteral("other.sqlite")), "--titoli", "400", "--seed", "6"}).status, 0);
    EXPECT_EQ(contentDigest(file), contentDigest(path(QStringLiteral("same.sqlite"))));
    EXPECT_NE(contentDigest(file), contentDigest(path(QStringLiteral("other.sqlite"))));
}

TEST(EanCheckDigit, KnownBarcodes)
{
    EXPECT_EQ(cifraControlloEan(QStringLiteral("400638133393")), 1);
    EXPECT_EQ(cifraControlloEan(QStringLiteral("977123456700")), 3);
    EXPECT_EQ(cifraControlloEan(QStringLiteral("000000000000")), 0);
}

TEST(SalesLine, FieldsStandAtTheirPositions)
{
    RigaFileVendite line;
    line.idMovimento = QStringLiteral("V42");
    line.quando = QDateTime(QDate(2026, 12, 7), QTime(9, 5));
    line.rigaMovimento = 3;
    line.idUscita = 12345;
    line.barcode = QStringLiteral("9771234567003");
    line.addon = QStringLiteral("00123");
    line.quantita = -1;
    line.prezzoCentesimi = 250;
    const QString text = componiRigaVendite(line);
    ASSERT_EQ(text.size(), 120);
    EXPECT_EQ(text.mid(0, 15), QStringLiteral("V42            "));
    EXPECT_EQ(text.mid(15, 12), QStringLiteral("202612070905"));
    EXPECT_EQ(text.mid(27, 4), QStringLiteral("0003"));
    EXPECT_EQ(text.mid(31, 12), QStringLiteral("000000012345"));
    EXPECT_EQ(text.mid(43, 13), QStringLiteral("9771234567003"));
    EXPECT_EQ(text.mid(56, 5), QStringLiteral("00123"));
    EXPECT_EQ(text.mid(61, 9).trimmed(), QStringLiteral("-1"));
    EXPECT_EQ(text.mid(70, 9), QStringLiteral("000000250"));
    EXPECT_EQ(text.mid(79), QString(41, QLatin1Char(' ')));

    line.idMovimento = QStringLiteral("1234567890123456"); // 16 characters: refused, not cut
    EXPECT_THROW(componiRigaVendite(line), Failure);
}

TEST_F(StoreTool, SalesFileForTheStoresIssues)
{
    const QString store = path(QStringLiteral("TAVIRA.sqlite"));
    ASSERT_EQ(runTool({"demo", store, "--titoli", "50"}).status, 0);
    const QString out = path(QStringLiteral("Vendite.DAT"));
    const ToolRun run = runTool({"vendite", store, out, "--vendite", "30", "--righe", "4", "--seed", "9"});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);

    const QByteArray bytes = readBytes(QStringLiteral("Vendite.DAT"));
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    ASSERT_TRUE(lines.takeLast().isEmpty());
    // The lines for the import to turn away follow the sales; the import's tests take them through it.
    ASSERT_GT(lines.size(), kRigheDiProvaVendite);
    const QList<QByteArray> trials = lines.mid(lines.size() - kRigheDiProvaVendite);
    lines.resize(lines.size() - kRigheDiProvaVendite);
    EXPECT_EQ(trials.first().size(), 119 + 1);
    EXPECT_EQ(trials[6], lines.first()) << "the first line again";
    ConnessioneStore connection(impostazioniFileStore(store), 3, 0);
    QSet<QByteArray> sales;
    QByteArray previousSale;
    int expectedRow = 0;
    for (QByteArray line : lines) {
        ASSERT_TRUE(line.endsWith('\r'));
        line.chop(1);
        ASSERT_EQ(line.size(), 120);
        const QByteArray sale = line.left(15);
        expectedRow = sale == previousSale ? expectedRow + 1 : 1;
        EXPECT_TRUE(sale == previousSale || !sales.contains(sale)) << "rows of one sale are together";
        sales.insert(sale);
        previousSale = sale;
        EXPECT_EQ(line.mid(27, 4).toInt(), expectedRow);
        EXPECT_LE(expectedRow, 4);
        EXPECT_EQ(line.mid(15, 8), QByteArray("20261207"));
        const int issue = line.mid(31, 12).toInt();
        const QString barcodeAddon = QString::fromLatin1(line.mid(43, 18)).trimmed();
        // The barcode and add-on are those of a store issue (the one named, when it is named).
        QSqlQuery match = connection.esegui(
            QStringLiteral(
                "SELECT u.IDUscita, u.PrezzoCopertinaEuroDistributore FROM Uscite AS u JOIN Prodotti AS p "
                "ON p.IDProd = u.IDProd WHERE (u.BarcodeAddon = ? OR p.BarcodeTitolo || u.Addon = ?)%1")
                .arg(issue ? QStringLiteral(" AND u.IDUscita = %1").arg(issue) : QString()),
            {barcodeAddon, barcodeAddon});
        ASSERT_TRUE(match.next()) << line.constData();
        EXPECT_EQ(line.mid(70, 9).toLongLong(), NumeroEsatto::daValore(match.value(1))->inUnita(2).value());
    }
    EXPECT_EQ(sales.size(), 30);

    const ToolRun again = runTool({"vendite", store, out});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(readBytes(QStringLiteral("Vendite.DAT")), bytes);
    EXPECT_EQ(runTool({"vendite", store, out, "--sovrascrivi", "--vendite", "1", "--righe", "1"}).status, 0);
    EXPECT_EQ(readBytes(QStringLiteral("Vendite.DAT")).size(), 122 * (1 + kRigheDiProvaVendite) - 1);
}

TEST_F(StoreTool, SalesFileOfAGivenNumberOfLines)
{
    const QString store = path(QStringLiteral("TAVIRA.sqlite"));
    ASSERT_EQ(runTool({"demo", store, "--titoli", "20"}).status, 0);
    const QString out = path(QStringLiteral("Vendite.DAT"));
    const ToolRun run =
        runTool({"vendite", store, out, "--linee", "997", "--righe", "8", "--senza-prove", "--seed", "4"});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);

    QList<QByteArray> lines = readBytes(QStringLiteral("Vendite.DAT")).split('\n');
    ASSERT_TRUE(lines.takeLast().isEmpty());
    ASSERT_EQ(lines.size(), 997) << "no trial lines after the sales";
    QByteArray previousSale;
    int row = 0, sales = 0, longest = 0;
    for (const QByteArray& line : lines) {
        ASSERT_EQ(line.size(), 121) << line.constData(); // every one a sale line, CR included
        const QByteArray sale = line.left(15);
        row = sale == previousSale ? row + 1 : 1;
        if (row == 1) ++sales;
        longest = qMax(longest, row);
        previousSale = sale;
        EXPECT_EQ(line.mid(27, 4).toInt(), row);
    }
    EXPECT_EQ(longest, 8);
    EXPECT_TRUE(run.out.contains(QStringLiteral(": %1 vendite, 997 righe").arg(sales)))
        << qPrintable(run.out);
}

TEST_F(StoreTool, SalesNeedAStoreWithIssues)
{
    EXPECT_EQ(
        runTool({"vendite", path(QStringLiteral("assente.sqlite")), path(QStringLiteral("v.dat"))}).status,
        1);
    ASSERT_EQ(runTool({"init", path(QStringLiteral("vuoto.sqlite"))}).status, 0);
    const ToolRun empty =
        runTool({"vendite", path(QStringLiteral("vuoto.sqlite")), path(QStringLiteral("v.dat"))});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("non contiene uscite")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("v.dat"))));
    writeBytes(QStringLiteral("rotto.sqlite"), QByteArray(4096, 'x'));
    EXPECT_EQ(
        runTool({"vendite", path(QStringLiteral("rotto.sqlite")), path(QStringLiteral("v.dat"))}).status, 1);
}
