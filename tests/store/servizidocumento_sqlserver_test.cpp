// The counter service on the SQL Server path: Qt's ODBC driver with FreeTDS against the TDS test server,
// whose counter procedure advances the store's counter: a value, or NULL that stays NULL.
#include "store/servizidocumento.h"

#include "plainsqlite.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/sharedconnection.h"
#include "tdstestserver.h"
#include "testfolder.h"

#include <QFile>
#include <QSqlDatabase>

#include <gtest/gtest.h>

#include <optional>

namespace {
bool freeTdsInstalled()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) return false;
    QFile registry(QStringLiteral("/etc/odbcinst.ini"));
    return registry.open(QIODevice::ReadOnly) && registry.readAll().contains("[FreeTDS]");
}

class ContatoreSqlServer : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        if (!freeTdsInstalled()) GTEST_SKIP() << "FreeTDS ODBC driver not installed";
        qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", "FreeTDS");
        chiudiConnessioneCondivisa();
    }
    void TearDown() override
    {
        qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
        chiudiConnessioneCondivisa();
        ProgramFolderTest::TearDown();
    }
};
} // namespace

TEST_F(ContatoreSqlServer, ANullValueGivesMinusOneAndAValueItself)
{
    struct Row
    {
        const char* name;
        const char* stored; // the counter's value before
        qint32 expected;
    };
    const Row rows[] = {{"value 7", "6", 7}, {"NULL", "NULL", -1}, {"value 0", "-1", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(path(QStringLiteral("TAVIRA.sqlite")));
        creaStoreVuoto(path(QStringLiteral("TAVIRA.sqlite")));
        PlainSqlite(path(QStringLiteral("TAVIRA.sqlite")))
            .run(QStringLiteral("UPDATE Contatori SET Valore = %1 WHERE NomeContatore = 'IDDocumento'")
                     .arg(QLatin1String(row.stored)));
        TdsTestServer server(folder());
        ConnessioneStore connection(
            {server.serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")}, 3, 3);
        ServiziDocumento servizi(connection);
        EXPECT_EQ(servizi.IncrementaContatore(QStringLiteral("IDDocumento")), row.expected);
        EXPECT_EQ(servizi.fallimenti(), 0);
        EXPECT_EQ(connection.timeoutComandi(), 200);
        const QStringList calls = server.statements().filter(QStringLiteral("Contatore_update"));
        ASSERT_EQ(calls.size(), 1);
        EXPECT_TRUE(calls.at(0).contains(QStringLiteral("@Valore = @Valore OUTPUT")))
            << calls.at(0).toStdString();
        EXPECT_TRUE(calls.at(0).endsWith(QStringLiteral("= N'IDDocumento'"))) << "the name as a bound value";
    }
}
