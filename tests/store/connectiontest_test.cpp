#include "store/connectionstrings.h"
#include "store/connectiontest.h"
#include "store/databaselist.h"
#include "store/sharedconnection.h"
#include "storefixture.h"

#include <QDir>

#include <gtest/gtest.h>

using ConnectionTest = StoreFolderTest;

namespace {
struct CountingPump
{
    int calls = 0;
    EventPump pump()
    {
        return [this] { ++calls; };
    }
};
} // namespace

TEST_F(ConnectionTest, StoreDatabaseOpensAndBecomesTheSharedConnection)
{
    createStore(QStringLiteral("TAVIRA_A"));
    CountingPump pump;
    EXPECT_TRUE(ConnettiDatabase(settingsFor(QStringLiteral("tavira_a")), pump.pump()));
    EXPECT_GE(pump.calls, 2); // before waiting and after
    EXPECT_EQ(stringaConnessioneCorrente(),
              StringaConnessione(QStringLiteral("sqlite:negozio"), QStringLiteral("utente"),
                                 QStringLiteral("segreta"), QStringLiteral("tavira_a")));
    ASSERT_TRUE(connessioneCondivisaAperta());
    EXPECT_EQ(impostazioniConnessioneCondivisa().database, QStringLiteral("tavira_a"));
}

TEST_F(ConnectionTest, SharedConnectionIsNeverReopened)
{
    createStore(QStringLiteral("TAVIRA_A"));
    createStore(QStringLiteral("TAVIRA_B"));
    ASSERT_TRUE(ConnettiDatabase(settingsFor(QStringLiteral("TAVIRA_A")), {}));
    EXPECT_TRUE(ConnettiDatabase(settingsFor(QStringLiteral("TAVIRA_B")), {}));
    EXPECT_EQ(impostazioniConnessioneCondivisa().database, QStringLiteral("TAVIRA_A"));
    // A failing test leaves it open too.
    EXPECT_FALSE(ConnettiDatabase(settingsFor(QStringLiteral("TAVIRA_C")), {}));
    EXPECT_TRUE(connessioneCondivisaAperta());
}

TEST_F(ConnectionTest, MissingDatabaseIsFalseSilently)
{
    CountingPump pump;
    EXPECT_FALSE(ConnettiDatabase(settingsFor(QStringLiteral("TAVIRA_ASSENTE")), pump.pump()));
    EXPECT_FALSE(connessioneCondivisaAperta());
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(QFile::exists(QDir(storeFolder()).filePath(QStringLiteral("TAVIRA_ASSENTE.sqlite"))));
}

TEST_F(ConnectionTest, MasterTestAndItsMessages)
{
    QStringList messages;
    const auto show = [&messages](const QString& text) { messages << text; };

    EXPECT_TRUE(ConnettiMaster(settingsFor(QStringLiteral("TAVIRA_QUALSIASI")), {}, show));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(stringaConnessioneCorrente(),
              StringaConnessioneMaster(QStringLiteral("sqlite:negozio"), QStringLiteral("utente"),
                                       QStringLiteral("segreta")));
    EXPECT_EQ(impostazioniConnessioneCondivisa().database, QStringLiteral("master"));
    chiudiConnessioneCondivisa();

    ImpostazioniConnessione missing = settingsFor(QString());
    missing.server = QStringLiteral("sqlite:cartella_assente");
    EXPECT_FALSE(ConnettiMaster(missing, {}, show));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Impossibile Connettersi al DataBase")});
    EXPECT_FALSE(connessioneCondivisaAperta());

    // Settings that cannot be sent: the reason follows two line breaks.
    qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", "FreeTDS");
    messages.clear();
    EXPECT_FALSE(ConnettiMaster(
        {QStringLiteral("127.0.0.1,1"), QStringLiteral("sa"), QStringLiteral("a}b"), QString()}, {}, show));
    qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(
        QStringLiteral("Impossibile Connettersi al DataBase\r\n\r\nLa password contiene")))
        << qPrintable(messages[0]);
}

TEST_F(ConnectionTest, DatabaseListOfTheStoreFolder)
{
    for (const char* name : {"tavira_b", "CORVUS1", "master", "Altro", "TAVIRA_A"})
        createStore(QString::fromLatin1(name));
    writeBytes(QStringLiteral("negozio/TAVIRA_NOTE.txt"), "x");
    ASSERT_TRUE(QDir(storeFolder()).mkdir(QStringLiteral("TAVIRA_CARTELLA.sqlite")));
    QStringList list{QStringLiteral("vecchio")};
    ASSERT_TRUE(
        ElencaDatabase(list, QStringLiteral("sqlite:negozio"), QStringLiteral("u"), QStringLiteral("p")));
    EXPECT_EQ(list, (QStringList{"CORVUS1", "TAVIRA_A", "TAVIRA_B"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ConnectionTest, DatabaseListFailureGoesToTheErrorReport)
{
    QStringList list{QStringLiteral("vecchio")};
    EXPECT_FALSE(
        ElencaDatabase(list, QStringLiteral("sqlite:assente"), QStringLiteral("u"), QStringLiteral("p")));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].description.endsWith(QStringLiteral(" (Cambia DataBase)")))
        << qPrintable(errors[0].description);
    EXPECT_EQ(list, QStringList{QStringLiteral("vecchio")});
}

TEST(StoreDatabaseNames, UpperCasedMatchesInServerOrder)
{
    const struct
    {
        const char* name;
        QStringList names;
        QStringList expected;
    } rows[] = {
        {"lower case tavira is listed in upper case", {"tavira_1"}, {"TAVIRA_1"}},
        {"master is never listed", {"master", "model", "tempdb"}, {}},
        {"server order kept", {"TAVIRA_Z", "corvus", "Tavira_A"}, {"TAVIRA_Z", "CORVUS", "TAVIRA_A"}},
        {"the name must begin with the pattern", {"XTAVIRA", " TAVIRA", "TAVIR"}, {}},
        {"the bare prefixes", {"tavira", "CORVUS"}, {"TAVIRA", "CORVUS"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(databaseDelNegozio(row.names), row.expected) << row.name;
}
