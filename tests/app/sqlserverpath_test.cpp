// The SQL Server path from end to end on the real T-SQL engine: the unattended run against the same run
// on the same store embedded; amounts as the row's columns hold them; a trigger written for one row;
// the login; the database chooser.
#include "modalscript.h"
#include "plainsqlite.h"
#include "sqlserversite.h"
#include "store/ui/frmelencodatabase.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

// The served run against the embedded one: the same catalog, the same lines turned away, the same staged
// rows, documents and their totals, rows, stock, marks and counters, the same story in LOG.Dat.
TEST_F(SqlServerPath, TheUnattendedRunEndsAsOnTheEmbeddedStore)
{
    const Site local = embedded(QStringLiteral("embedded"));
    const Site server = served(QStringLiteral("served"));
    EXPECT_EQ(run(local.folder), 0);
    EXPECT_EQ(run(server.folder), 0);

    const QByteArray catalog = readAll(local.folder + QStringLiteral("/Catalogo.DAT"));
    EXPECT_GT(catalog.size(), 140 * 10);
    EXPECT_EQ(readAll(server.folder + QStringLiteral("/Catalogo.DAT")), catalog);
    const QStringList skipped = QDir(local.folder).entryList({QStringLiteral("SALTATO_*")}, QDir::Files);
    EXPECT_FALSE(skipped.isEmpty()) << "the demo sales file holds lines to turn away";
    EXPECT_EQ(QDir(server.folder).entryList({QStringLiteral("SALTATO_*")}, QDir::Files), skipped);
    for (const QString& file : skipped)
        EXPECT_EQ(readAll(server.folder + '/' + file), readAll(local.folder + '/' + file))
            << file.toStdString();
    const QStringList after = storeState(local.store());
    EXPECT_NE(after, storeState(base())) << "the import changed nothing";
    EXPECT_EQ(difference(storeState(result(server)), after), "");
    EXPECT_EQ(difference(storyOf(server.folder + QStringLiteral("/LOG.Dat"))
                             .replace(server.database, QStringLiteral("TAVIRA_DEMO"), Qt::CaseInsensitive)
                             .split(QStringLiteral("\r\n")),
                         storyOf(local.folder + QStringLiteral("/LOG.Dat")).split(QStringLiteral("\r\n"))),
              "");
}

// A price with more decimals than the document rows' column keeps: the row holds it at the column's two,
// and the document's totals are computed from that.
TEST_F(SqlServerPath, RowAmountsComeFromThePricesAsTheRowHoldsThem)
{
    QTemporaryDir scratch;
    const QString store = scratch.filePath(QStringLiteral("TAVIRA_PREZZI.sqlite"));
    QFile::copy(base(), store);
    PlainSqlite(store).run(QStringLiteral("UPDATE Uscite SET PrezzoNetto = 1.235"));
    const Site server = served(QStringLiteral("served"), {}, store);
    EXPECT_EQ(run(server.folder), 0);
    const QStringList documents =
        PlainSqlite(result(server))
            .run(QStringLiteral(
                "SELECT d.TotaleImponibile, (SELECT total(1.24 * r.QTA) FROM DocumentiRighe r WHERE "
                "r.IDDocumento = d.IDDocumento AND r.Iva > 0) FROM Documenti d WHERE d.TotaleImponibile <> "
                "0"));
    ASSERT_FALSE(documents.isEmpty()) << "no document with taxed rows";
    for (const QString& document : documents)
        EXPECT_NEAR(document.section('|', 0, 0).toDouble(), document.section('|', 1, 1).toDouble(), 1e-9)
            << document.toStdString();
}

// A store's trigger written for one row at a time (SELECT @x = ... FROM inserted) sees every row and
// every stock change: each is a statement of its own.
TEST_F(SqlServerPath, ATriggerWrittenForOneRowSeesEveryRow)
{
    const Site server = served(QStringLiteral("served"));
    EXPECT_EQ(
        engine().exec(server.database, QStringLiteral("CREATE TABLE Visti (Tabella varchar(20), ID int)")),
        "");
    EXPECT_EQ(
        engine().exec(server.database,
                      QStringLiteral("CREATE TRIGGER RigaVista ON DocumentiRighe AFTER INSERT AS "
                                     "BEGIN DECLARE @id int; SELECT @id = IDDocumentoRiga FROM inserted; "
                                     "INSERT INTO Visti VALUES ('righe', @id); END")),
        "");
    EXPECT_EQ(engine().exec(server.database,
                            QStringLiteral("CREATE TRIGGER GiacenzaVista ON Uscite AFTER UPDATE AS "
                                           "BEGIN DECLARE @id int; SELECT @id = IDUscita FROM inserted; "
                                           "INSERT INTO Visti VALUES ('uscite', @id); END")),
              "");
    EXPECT_EQ(run(server.folder), 0);
    const QString file = result(server);
    PlainSqlite store(file);
    const QString rows = store.run(QStringLiteral("SELECT COUNT(*) FROM DocumentiRighe")).value(0);
    EXPECT_NE(rows, "0");
    // The trigger's table is not one of the store's: it is read on the engine itself.
    EXPECT_EQ(engine().exec(server.database,
                            QStringLiteral("IF (SELECT COUNT(*) FROM Visti WHERE Tabella = 'righe') <> %1 "
                                           "OR (SELECT COUNT(*) FROM Visti WHERE Tabella = 'uscite') <> %1 "
                                           "RAISERROR('not every row seen', 16, 1)")
                                .arg(rows)),
              "");
}

TEST_F(SqlServerPath, AWrongPasswordEndsInTheConnectionFailure)
{
    const Site server = served(QStringLiteral("served"), QStringLiteral("sbagliata"));
    EXPECT_EQ(run(server.folder), 1);
    EXPECT_TRUE(storyOf(server.folder + QStringLiteral("/LOG.Dat"))
                    .contains("Connessione al Database di Tavira Fallita"));
    EXPECT_EQ(readAll(server.folder + QStringLiteral("/Catalogo.DAT")), QByteArray());
}

TEST_F(SqlServerPath, TheChooserListsTheServedDatabases)
{
    QStringList loaded;
    for (int i = 0; i < 2; ++i)
        loaded << served(QStringLiteral("site%1").arg(i)).database.toUpper();
    QLineEdit txtDb;
    FrmElencoDatabase dialog({engine().serverName(), engine().user(), engine().password(), QString()}, txtDb);
    QComboBox* combo = dialog.findChild<QComboBox*>(QStringLiteral("ComboDB"));
    ASSERT_NE(combo, nullptr);
    QStringList listed;
    for (int i = 0; i < combo->count(); ++i)
        listed << combo->itemText(i).toUpper();
    for (const QString& name : loaded)
        EXPECT_TRUE(listed.contains(name))
            << name.toStdString() << " not in " << listed.join(' ').toStdString();
}
