// The store layer on the real T-SQL engine: the session's options as the server holds them, conflicts
// told from other failures, the unit of work checked by its own mark, the counter procedure, a value's
// declared length, a statement held up by another session's lock.
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/odbcbinding.h"
#include "store/servizidocumento.h"
#include "store/transazione.h"
#include "testfolder.h"
#include "tsqlengine.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QTemporaryDir>

#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

namespace {
class SqlServerStore : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(engine().started()) << engine().error().toStdString();
        qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", "FreeTDS");
        if (s_database.isEmpty()) {
            // One empty store for the suite; each test changes only what it undoes or reads.
            QTemporaryDir scratch;
            const QString file = scratch.filePath(QStringLiteral("TAVIRA_VUOTO.sqlite"));
            creaStoreVuoto(file);
            QString why;
            s_database = engine().load(file, &why);
            ASSERT_FALSE(s_database.isEmpty()) << why.toStdString();
        }
    }
    void TearDown() override
    {
        qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
        ProgramFolderTest::TearDown();
    }
    static TsqlEngine& engine() { return TsqlEngine::instance(); }
    static ImpostazioniConnessione settings() { return engine().settings(s_database); }
    static inline QString s_database;
};
} // namespace

TEST(Conflitto, ToldFromTheNativeCodesAndStates)
{
    const struct
    {
        const char* name;
        const char* codes;
        QStringList states;
        bool conflict;
    } rows[] = {
        {"deadlock victim", "1205", {}, true},
        {"lock time-out", "1222", {}, true},
        {"lock time-out of an engine built on PostgreSQL", "33557097", {}, true},
        {"several records joined by the driver", "3621;1205", {}, true},
        {"statement time-out, no native code", "0", {"HYT00"}, true},
        {"statement time-out as FreeTDS states it", "0", {"S1T00"}, true},
        {"not serialisable", "", {"40001"}, true},
        {"a code that holds 1205 is not it", "11205", {"42000"}, false},
        {"a constraint", "547", {"23000"}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(eConflitto(QString::fromLatin1(row.codes), row.states), row.conflict) << row.name;
}

// Set in a plain batch, the options hold for the connection: sent through a server cursor, the server
// would undo them when the cursor's procedure returns (or refuse them).
TEST_F(SqlServerStore, TheSessionsOptionsHoldForTheConnection)
{
    ConnessioneStore connection(settings(), 3, 3);
    QSqlQuery query = connection.esegui(QStringLiteral("SELECT @@OPTIONS & 16384, @@LOCK_TIMEOUT"));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 16384) << "XACT_ABORT";
    EXPECT_EQ(query.value(1).toInt(), ConnessioneStore::kAttesaBlocchiMs);
}

// Once the server has undone the unit, a statement may open another transaction by itself (as drivers
// with implicit transactions do): the check must see that it is not the unit's own.
TEST_F(SqlServerStore, AUnitUndoneByTheServerIsToldEvenWithAnotherTransactionOpen)
{
    ConnessioneStore connection(settings(), 3, 3);
    Transazione unit(connection);
    connection.scrivi(QStringLiteral("UPDATE Contatori SET Valore = Valore WHERE NomeContatore = ?"),
                      {QStringLiteral("IDDocumento")});
    EXPECT_THROW(connection.scrivi(QStringLiteral("INSERT INTO IVA (IDIVA, Aliquota) VALUES (1, 1), (1, 1)")),
                 Failure);
    connection.eseguiLotto(QStringLiteral("BEGIN TRANSACTION"));
    EXPECT_THROW(unit.verificaAttiva(), Failure);
}

TEST_F(SqlServerStore, TheCounterProcedureGivesTheNewValueOrMinusOneForNull)
{
    const struct
    {
        const char* name;
        const char* stored;
        qint32 expected;
    } rows[] = {{"a value", "6", 7}, {"NULL", "NULL", -1}, {"value 0", "-1", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(
            engine().exec(s_database, QStringLiteral("UPDATE Contatori SET Valore = %1 WHERE NomeContatore = "
                                                     "'IDDocumento'")
                                          .arg(QLatin1String(row.stored))),
            "");
        ConnessioneStore connection(settings(), 3, 3);
        ServiziDocumento servizi(connection);
        EXPECT_EQ(servizi.IncrementaContatore(QStringLiteral("IDDocumento")), row.expected);
        EXPECT_EQ(servizi.fallimenti(), 0);
        EXPECT_EQ(connection.timeoutComandi(), 200);
    }
}

// What the driver is told of a value, as Microsoft's drivers check it: an empty text declared with no
// length is refused there ("Invalid precision value"), though FreeTDS lets it through.
TEST_F(SqlServerStore, AnEmptyTextIsDeclaredAtLeastOneCharacterLong)
{
    ConnessioneStore connection(settings(), 3, 3);
    QSqlQuery query = connection.prepara(QStringLiteral("SELECT IDProd FROM Uscite WHERE barcodeAddon = ?"));
    SQLHANDLE statement = *static_cast<const SQLHANDLE*>(query.result()->handle().constData());
    OdbcBinding binding;
    ASSERT_TRUE(binding.bind(statement, {QStringLiteral("")}));
    SQLHDESC parameters = nullptr;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetStmtAttr(statement, SQL_ATTR_IMP_PARAM_DESC, &parameters, 0, nullptr)));
    SQLULEN length = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetDescField(parameters, 1, SQL_DESC_LENGTH, &length, 0, nullptr)));
    EXPECT_GE(length, 1u);
    OdbcBinding::release(statement);
}

// A statement held up by another session's lock fails when the first limit runs out, its command limit
// or the session's lock time-out, and either way as a conflict, which the sale may try again.
TEST_F(SqlServerStore, AStatementHeldByAnotherSessionsLockEndsAsAConflict)
{
    const struct
    {
        const char* name;
        int commandLimit;
        int lowMs, highMs;
    } rows[] = {{"the command limit first (ODBC state HYT00)", 1, 900, 3500},
                {"the lock time-out first", 30, ConnessioneStore::kAttesaBlocchiMs - 100,
                 ConnessioneStore::kAttesaBlocchiMs + 3000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConnessioneStore holder(settings(), 3, 0);
        Transazione lock(holder);
        holder.scrivi(QStringLiteral("UPDATE Contatori SET Valore = Valore WHERE NomeContatore = ?"),
                      {QStringLiteral("IDDocumento")});
        ConnessioneStore blocked(settings(), 3, row.commandLimit);
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_THROW(blocked.scrivi(QStringLiteral("UPDATE Contatori SET Valore = Valore + 1 WHERE "
                                                   "NomeContatore = ?"),
                                    {QStringLiteral("IDDocumento")}),
                     ConflittoStore);
        EXPECT_GE(elapsed.elapsed(), row.lowMs);
        EXPECT_LT(elapsed.elapsed(), row.highMs);
    }
}
