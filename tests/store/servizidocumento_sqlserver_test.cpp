// The counter service on the SQL Server path: Qt's ODBC driver with FreeTDS against the TDS stub, which
// answers the counter's batch with a canned value or NULL.
#include "store/servizidocumento.h"

#include "store/connessionestore.h"
#include "store/sharedconnection.h"
#include "tdsstub.h"
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
        std::optional<int> served;
        qint32 expected;
    };
    const Row rows[] = {{"value 7", 7, 7}, {"NULL", std::nullopt, -1}, {"value 0", 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TdsStub stub(TdsStub::Behaviour::Answer, row.served, 10000);
        ConnessioneStore connection(
            {stub.serverName(), QStringLiteral("sa"), QStringLiteral("x"), QStringLiteral("TAVIRA")}, 3, 3);
        ServiziDocumento servizi(connection);
        EXPECT_EQ(servizi.IncrementaContatore(QStringLiteral("IDDocumento")), row.expected);
        EXPECT_EQ(servizi.fallimenti(), 0);
        EXPECT_EQ(stub.textValues(), QStringList{QStringLiteral("IDDocumento")})
            << "the name as a bound value";
        EXPECT_EQ(connection.timeoutComandi(), 200);
        const QStringList calls = stub.statements().filter(QStringLiteral("Contatore_update"));
        ASSERT_EQ(calls.size(), 1);
        EXPECT_TRUE(calls.at(0).contains(QStringLiteral("@Valore = @Valore OUTPUT")))
            << calls.at(0).toStdString();
    }
}
