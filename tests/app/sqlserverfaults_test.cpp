// Faults on the SQL Server path with real causes, each judged by what the store holds afterwards: another
// session's lock on an issue a sale lowers, two program folders importing into one database at once, a
// constraint of the store refusing a write in the middle of a sale, a value longer than its column, the
// program killed part-way and run again.
#include "plainsqlite.h"
#include "sqlserversite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace {
// Another session of the store (the store product) holding a write lock on an issue's row until released.
class LockHolder
{
public:
    LockHolder(const TsqlEngine& engine, const QString& database, int idUscita)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), kName);
        db.setDatabaseName(
            QStringLiteral("DRIVER={FreeTDS};Server=127.0.0.1;Port=%1;Database=%2;UID=%3;PWD=%4;"
                           "TDS_Version=7.4")
                .arg(engine.serverName().section(',', 1), database, engine.user(), engine.password()));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        run(QStringLiteral("BEGIN TRANSACTION; UPDATE Uscite SET Giacenza = Giacenza WHERE IDUscita = %1")
                .arg(idUscita));
    }
    ~LockHolder()
    {
        release();
        QSqlDatabase::removeDatabase(kName);
    }
    void release()
    {
        if (m_released) return;
        m_released = true;
        run(QStringLiteral("ROLLBACK"));
        QSqlDatabase::database(kName, false).close();
    }

private:
    void run(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(kName, false));
        query.setForwardOnly(true);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
    }
    static inline const QString kName = QStringLiteral("lockholder");
    bool m_released = false;
};

// The issue of the sales file's first line.
int firstIssue(const QString& salesFile)
{
    return readAll(salesFile).mid(31, 12).trimmed().toInt();
}

int pending(const QString& store)
{
    return PlainSqlite(store)
        .run(QStringLiteral("SELECT COUNT(*) FROM Vendite_VT WHERE Elaborato = '0' AND IDUscita > 0"))
        .value(0)
        .toInt();
}
} // namespace

TEST_F(SqlServerPath, AnotherSessionsLockIsWaitedForWithinItsLimit)
{
    const struct
    {
        const char* name;
        int releasedAfterMs; // from the program's start; -1: never
        int status;
    } rows[] = {{"released while the sale is tried again", 9000, 0}, {"never released", -1, kErrorReport}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Site server = served(QString::fromLatin1(row.name).section(' ', 0, 0));
        LockHolder lock(engine(), server.database, firstIssue(baseFile(QStringLiteral("Vendite.DAT"))));
        EXPECT_EQ(run(server.folder,
                      [&](int elapsed) {
                          if (row.releasedAfterMs >= 0 && elapsed >= row.releasedAfterMs) lock.release();
                      }),
                  row.status);
        lock.release();
        const QString store = result(server);
        expectNothingHalfSaved(store, base());
        if (row.status == 0) {
            EXPECT_EQ(pending(store), 0);
        } else {
            EXPECT_GT(pending(store), 0) << "the sale behind the lock stays pending";
        }
    }
}

// Two shops' folders import 3,000 lines each into one database at the same time: their sales meet on the
// same issues, and the engine picks deadlock victims, which are undone and made again.
TEST_F(SqlServerPath, TwoFoldersImportingIntoOneDatabaseAtOnce)
{
    const Site first = served(QStringLiteral("first"));
    Site second = first;
    second.folder = m_sites.filePath(QStringLiteral("second"));
    QDir().mkpath(second.folder);
    QFile::copy(first.folder + QStringLiteral("/Tavira.XML"), second.folder + QStringLiteral("/Tavira.XML"));
    int n = 0;
    for (const Site* site : {&first, const_cast<const Site*>(&second)}) {
        QFile::remove(site->folder + QStringLiteral("/Vendite.DAT"));
        EXPECT_EQ(QProcess::execute(QStringLiteral(EI_STORETOOL),
                                    {"vendite", base(), site->folder + "/Vendite.DAT", "--linee", "3000",
                                     "--righe", "8", "--senza-prove", "--seed", QString::number(20 + ++n)}),
                  0);
    }
    QProcess parallel;
    start(parallel, second.folder, {QStringLiteral("/V")});
    EXPECT_EQ(run(first.folder, {}, 600000), 0);
    EXPECT_TRUE(parallel.waitForFinished(600000));
    EXPECT_EQ(parallel.exitCode(), 0);
    const QString store = result(first);
    expectNothingHalfSaved(store, base());
    EXPECT_EQ(pending(store), 0);
    EXPECT_EQ(PlainSqlite(store).run(QStringLiteral("SELECT COUNT(*) FROM Vendite_VT")).value(0), "6000");
}

// A write the store refuses in the middle of a sale undoes that sale alone; the run ends in the error
// report with the sales before it documented.
TEST_F(SqlServerPath, ARefusedWriteUndoesItsSaleAndEndsInTheErrorReport)
{
    const struct
    {
        const char* name;
        const char* change; // what the store is made to refuse
        const char* reported;
    } rows[] = {
        {"a CHECK on the third row of a sale",
         "ALTER TABLE DocumentiRighe ADD CONSTRAINT Prova CHECK (NumeroRiga < 3)", "DocumentiRighe"},
        {"a trigger refusing a stock change",
         "CREATE TRIGGER Prova ON Uscite AFTER UPDATE AS BEGIN IF EXISTS (SELECT 1 FROM inserted WHERE "
         "Giacenza < 0) RAISERROR('giacenza negativa', 16, 1) END",
         "UPDATE Uscite SET Giacenza"},
        {"a value longer than its column", "ALTER TABLE Documenti ALTER COLUMN Note varchar(10)",
         "Documenti"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Site server = served(QStringLiteral("refused%1").arg(++n));
        if (QString::fromLatin1(row.name).contains("stock")) {
            EXPECT_EQ(engine().exec(server.database, QStringLiteral("UPDATE Uscite SET Giacenza = 0")), "");
        }
        EXPECT_EQ(engine().exec(server.database, QString::fromLatin1(row.change)), "");
        EXPECT_EQ(run(server.folder), kErrorReport);
        EXPECT_TRUE(readAll(server.folder + QStringLiteral("/LogErrori.TXT")).contains(row.reported));
        const QString store = result(server);
        if (QString::fromLatin1(row.name).contains("stock")) {
            EXPECT_EQ(PlainSqlite(store).run(QStringLiteral("SELECT COUNT(*) FROM Documenti")).value(0), "0");
        } else {
            expectNothingHalfSaved(store, base());
        }
        EXPECT_GT(pending(store), 0);
    }
}

// The program killed at moments of its import, then run again to its end: the store ends as after one
// clean run.
TEST_F(SqlServerPath, KilledPartWayAndRunAgainTheStoreEndsAsAfterOneCleanRun)
{
    const Site local = embedded(QStringLiteral("clean"));
    EXPECT_EQ(run(local.folder), 0);
    const Site server = served(QStringLiteral("killed"));
    const int delays[] = {150, 700, 1400}; // after the import began
    for (const int delay : delays) {
        SCOPED_TRACE(delay);
        QProcess child;
        start(child, server.folder, {QStringLiteral("/V")});
        const qint64 logged = readAll(server.folder + QStringLiteral("/LOG.Dat")).size();
        for (int waited = 0; waited < 60000 && child.state() != QProcess::NotRunning; waited += 50) {
            child.waitForFinished(50);
            if (readAll(server.folder + QStringLiteral("/LOG.Dat"))
                    .mid(logged)
                    .contains("Inizio Importazione")) {
                QThread::msleep(ulong(delay));
                break;
            }
        }
        child.kill();
        child.waitForFinished();
    }
    EXPECT_EQ(run(server.folder), 0);
    EXPECT_EQ(difference(storeState(result(server)), storeState(local.store())), "");
}

// A line the store refuses while the file is staged: the lines staged before it stay staged (SQL Server
// undoes the whole open batch), and the temporary copy stays for the next run.
TEST_F(SqlServerPath, AStagingFailureKeepsTheLinesStagedBeforeIt)
{
    const Site local = embedded(QStringLiteral("clean"));
    EXPECT_EQ(run(local.folder), 0);
    const Site server = served(QStringLiteral("refused"));
    // The refused line is the file's last one.
    EXPECT_EQ(
        engine().exec(server.database,
                      QStringLiteral("CREATE TRIGGER Prova ON Vendite_VT AFTER INSERT AS BEGIN IF EXISTS "
                                     "(SELECT 1 FROM inserted WHERE IDVendita = 'SENZABARCODE') "
                                     "RAISERROR('riga rifiutata', 16, 1) END")),
        "");
    EXPECT_EQ(run(server.folder), kErrorReport);
    const QString staged = QStringLiteral("SELECT COUNT(*) FROM Vendite_VT");
    EXPECT_EQ(PlainSqlite(result(server)).run(staged).value(0).toInt(),
              PlainSqlite(local.store()).run(staged).value(0).toInt() - 1);
    EXPECT_TRUE(QFile::exists(server.folder + QStringLiteral("/TEMP_Vendite.DAT")));
}
