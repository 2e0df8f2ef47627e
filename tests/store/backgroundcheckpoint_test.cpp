// The write-ahead log of the embedded store copied back on a thread of its own: the log stays bounded
// while a writer commits without pause, and nothing committed is lost.
#include "store/backgroundcheckpoint.h"

#include "storefixture.h"

#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>

namespace {
class BackgroundCheckpointTest : public StoreFolderTest
{
protected:
    sqlite3* apri(const QString& path)
    {
        sqlite3* handle = nullptr;
        EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        return handle;
    }
    static void esegui(sqlite3* handle, const char* sql)
    {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(handle, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
    }
    static int contaRighe(sqlite3* handle)
    {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(handle, "SELECT count(*) FROM Pagine", -1, &statement, nullptr);
        const int rows = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
        sqlite3_finalize(statement);
        return rows;
    }
};
} // namespace

TEST_F(BackgroundCheckpointTest, TheLogStaysBoundedWhileTheWriterCommitsAndNothingIsLost)
{
    const QString path = createStore(QStringLiteral("CHECK"));
    sqlite3* writer = apri(path);
    esegui(writer, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; "
                   "CREATE TABLE Pagine (id INTEGER PRIMARY KEY, dati BLOB)");
    const QString log = path + QStringLiteral("-wal");
    qint64 longestLog = 0;
    std::optional<BackgroundCheckpoint> checkpoint(std::in_place, writer, 20, 100);
    // 150 commits of about ten pages each: fifteen times the longest log.
    for (int i = 0; i < 150; ++i) {
        esegui(writer, "INSERT INTO Pagine (dati) VALUES (zeroblob(40000))");
        longestLog = std::max(longestLog, QFileInfo(log).size());
    }
    EXPECT_GT(checkpoint->copieFatte(), 0) << "the thread copied";
    EXPECT_LE(longestLog, 130 * (4096 + 24) + 32) << "the log started over";
    checkpoint.reset();

    // What the copies left in the file and the log is all there for another connection.
    sqlite3* reader = apri(path);
    EXPECT_EQ(contaRighe(reader), 150);
    sqlite3_close(reader);
    sqlite3_close(writer);
}
