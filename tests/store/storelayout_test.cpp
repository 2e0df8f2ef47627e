#include "layout1schema.h"
#include "plainsqlite.h"
#include "qtprinting.h"
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/sqlitecollation.h"
#include "store/storelayout.h"
#include "storefixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {
const QStringList kTables = {"Prodotti",  "Uscite",         "IVA",      "TipiDocumento", "Vendite_VT",
                             "Documenti", "DocumentiRighe", "Contatori"};

// Every row of every table with its rowid, in rowid order.
QStringList contents(PlainSqlite& store)
{
    QStringList all;
    for (const QString& table : kTables)
        for (const QString& row :
             store.run(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(table)))
            all << table + QLatin1Char(':') + row;
    return all;
}

QStringList schemaOf(PlainSqlite& store)
{
    return store.run(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"));
}
} // namespace

class StoreLayout : public StoreFolderTest
{
protected:
    // A store of layout 1, as the earlier program created and filled it.
    QString createLayout1Store(const QString& name)
    {
        const QString file = QDir(storeFolder()).filePath(name + QStringLiteral(".sqlite"));
        PlainSqlite store(file);
        EXPECT_TRUE(registraCollazione(handleSqlite(store.database())));
        for (const QString& statement : QString::fromUtf8(kSchemaLayout1).split(QStringLiteral(";\n")))
            if (!statement.trimmed().isEmpty()) {
                EXPECT_EQ(store.run(statement), QStringList()) << qPrintable(statement);
            }
        const char* rows[] = {
            "INSERT INTO Prodotti VALUES (7, 1, '9771234567003', 'Il Mio Giardino ', 'MENSILE', 1, 60)",
            "INSERT INTO Prodotti VALUES (3, 1, NULL, 'abc', NULL, 2, NULL)",
            "INSERT INTO Uscite (IDUscita, IDProd, BarcodeAddon, DataUscita, "
            "PrezzoCopertinaEuroDistributore, "
            "Giacenza) VALUES (70, 7, '977123456700300012', '2026-06-05', 3.5, 4)",
            "INSERT INTO IVA VALUES (4, 4)",
            "INSERT INTO Vendite_VT VALUES ('S1', '1', '2026-12-01', '10:00', '123', 2, 70, 2.6, '0')",
            "INSERT INTO Vendite_VT VALUES ('s2 ', '0001', '2026-12-01', '10:01', '124', 1, 70, 1.5, '1')",
            "DELETE FROM Vendite_VT WHERE IDVendita = 'S1'", // rowids with a gap
            "INSERT INTO Vendite_VT VALUES ('S3', '1', '2026-12-02', '09:00', '125', 1, NULL, 0.5, '0 ')",
            "INSERT INTO Documenti (IDDocumento, numero, Descrizione) VALUES (1, 1, 'Vendita')",
            "INSERT INTO DocumentiRighe (IDDocumentoRiga, IDDocumento, NumeroRiga, UM) VALUES (1, 1, 1, "
            "'PZ')",
            "UPDATE Contatori SET Valore = 41 WHERE NomeContatore = 'idDocumento '",
        };
        for (const char* row : rows)
            EXPECT_EQ(store.run(QString::fromUtf8(row)), QStringList()) << row;
        EXPECT_EQ(store.run(QStringLiteral("PRAGMA user_version")), QStringList{"1"});
        return file;
    }
};

TEST_F(StoreLayout, OldLayoutIsRebuiltOnFirstOpenWithEveryRowKept)
{
    const QString file = createLayout1Store(QStringLiteral("TAVIRA"));
    QStringList before;
    {
        PlainSqlite old(file);
        ASSERT_TRUE(registraCollazione(handleSqlite(old.database())));
        before = contents(old);
        ASSERT_EQ(before.size(), 12) << qPrintable(before.join('\n'));
    }
    {
        PlainSqlite tool(file); // what a standard tool met before
        EXPECT_TRUE(tool.run("SELECT count(*) FROM Uscite").value(0).contains("no such collation sequence"));
    }

    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);

    // The program's comparisons still ignore letter case and trailing blanks.
    const SqlDialect& dialect = connection.dialetto();
    QSqlQuery sale =
        connection.esegui(QStringLiteral("SELECT IDRiga FROM Vendite_VT WHERE ") +
                              dialect.testoUguale("IDVendita") + " AND " + dialect.testoUguale("Elaborato"),
                          {QStringLiteral("S2"), QStringLiteral("1  ")});
    ASSERT_TRUE(sale.next());
    EXPECT_EQ(sale.value(0).toString(), "0001");
    sale.finish();
    QSqlQuery counter = connection.esegui(dialect.avanzaContatore(), {1, QStringLiteral("IDDOCUMENTO")});
    ASSERT_TRUE(counter.next());
    EXPECT_EQ(counter.value(0).toInt(), 42);
    counter.finish();

    // Nothing lost, and the layout is the one a new store has, to the last index.
    PlainSqlite upgraded(file);
    QStringList after = contents(upgraded);
    after.replaceInStrings("Contatori:1|IDDocumento|42", "Contatori:1|IDDocumento|41");
    EXPECT_EQ(after, before);
    EXPECT_EQ(upgraded.run("PRAGMA user_version"), QStringList{QString::number(kLayoutStore)});
    EXPECT_EQ(upgraded.run("PRAGMA integrity_check"), QStringList{"ok"});
    createStore(QStringLiteral("NUOVO"));
    PlainSqlite fresh(QDir(storeFolder()).filePath("NUOVO.sqlite"));
    EXPECT_EQ(schemaOf(upgraded), schemaOf(fresh));

    // A standard tool, with no collation of the program, now counts, sorts and writes.
    EXPECT_EQ(upgraded.run("SELECT count(*) FROM Uscite"), QStringList{"1"});
    EXPECT_EQ(upgraded.run("SELECT Testata FROM Prodotti ORDER BY Testata"),
              (QStringList{"abc", "Il Mio Giardino "}));
    EXPECT_EQ(upgraded.run("INSERT INTO Vendite_VT (IDVendita, IDRiga) VALUES ('S4', '1')"), QStringList());
    EXPECT_EQ(upgraded.run("UPDATE Prodotti SET Testata = 'X' WHERE Testata = 'ABC'"), QStringList());
    EXPECT_EQ(upgraded.run("SELECT IDProd FROM Prodotti WHERE Testata = 'X'"), QStringList{"3"});
}

TEST_F(StoreLayout, ALaterLayoutIsRefused)
{
    const QString file = createStore(QStringLiteral("TAVIRA"));
    {
        PlainSqlite store(file);
        store.run(QStringLiteral("PRAGMA user_version = %1").arg(kLayoutStore + 1));
    }
    try {
        ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
        ADD_FAILURE() << "opened";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("più recente")) << qPrintable(failure.description());
    }
}

TEST_F(StoreLayout, StoreLockedByAnotherProgramFailsAsBusyWithinTheLoginLimit)
{
    const QString file = createStore(QStringLiteral("TAVIRA"));
    PlainSqlite holder(file);
    ASSERT_EQ(holder.run("BEGIN EXCLUSIVE"), QStringList());
    QElapsedTimer elapsed;
    elapsed.start();
    QString description;
    try {
        ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 1, 60);
    } catch (const Failure& failure) {
        description = failure.description();
    }
    EXPECT_LT(elapsed.elapsed(), 10000); // the login limit, not the command limit
    EXPECT_TRUE(description.contains("occupato")) << qPrintable(description);
    EXPECT_FALSE(description.contains("non è un database")) << qPrintable(description);
    holder.run("ROLLBACK");
    EXPECT_TRUE(ConnessioneStore(settingsFor(QStringLiteral("TAVIRA")), 1, 60).aperta());
}
