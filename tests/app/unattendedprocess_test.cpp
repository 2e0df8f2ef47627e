#include "qtprinting.h"
#include "services/parametri.h"
#include "sitefixture.h"
#include "store/connessionestore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>

// The built program as a scheduler starts it, "/A /C /V" on a site with a sales file in the program
// folder: the exit status it reads, and the program ending after the import.
namespace {
QByteArray riga(const char* id)
{
    return QByteArray(id).leftJustified(15, ' ') + "2026120709050001" +
           QByteArray("0").rightJustified(12, ' ') + QByteArray(18, ' ') + "        1" + "000000250" +
           QByteArray(41, ' ') + "\r\n";
}

// The built program started unattended on a program folder.
void avvia(QProcess& child, const QString& programFolder, const QStringList& switches)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ESPORTA_IMPORTA_DIR"), programFolder);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(EI_PROGRAM), switches);
}

class ScheduledRun : public SiteTest
{
protected:
    // The program's exit status, or -1 when it did not end by itself within a minute.
    int run()
    {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        avvia(child, folder(), {QStringLiteral("/A"), QStringLiteral("/C"), QStringLiteral("/V")});
        if (!child.waitForFinished(60000)) {
            child.kill();
            child.waitForFinished();
            return -1;
        }
        elapsedMs = clock.elapsed();
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

    bool logged(const QByteArray& text) const { return readBytes(QStringLiteral("LOG.Dat")).contains(text); }

    int staged() const
    {
        ConnessioneStore store(
            {storeServer(), QStringLiteral("sa"), QString(), QStringLiteral("TAVIRA_TEST")}, 3, 60);
        QSqlQuery query = store.esegui(QStringLiteral("SELECT COUNT(*) FROM Vendite_VT"));
        return query.next() ? query.value(0).toInt() : -1;
    }

    qint64 elapsedMs = 0;
};

TEST_F(ScheduledRun, BothRunsCompleteStatusZero)
{
    writeBytes(QStringLiteral("Vendite.DAT"), riga("S1") + riga("S2"));
    EXPECT_EQ(run(), 0);
    // Three seconds before the runs and three after, each within the 5% a coarse timer may be early.
    EXPECT_GE(elapsedMs, 5700);
    EXPECT_TRUE(logged("Esportazione Titoli Terminata con Successo !"));
    EXPECT_TRUE(logged("Importazione Vendite Terminata con Successo !"));
    EXPECT_TRUE(logged("Righe Saltate = 0"));
    EXPECT_EQ(staged(), 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Vendite.DAT"))));
}

TEST_F(ScheduledRun, AnInterruptedImportStillEndsTheProgramStatusOne)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), path(QStringLiteral("nessuna"))));
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(logged("Esportazione Titoli Terminata con Successo !"));
    EXPECT_TRUE(logged("la cartella di Origine non Esiste!!"));
    EXPECT_TRUE(logged("Esportazione INTERROTTA !!"));
    EXPECT_EQ(staged(), 0);
}
TEST_F(ScheduledRun, TwoProgramFoldersImportIntoOneStoreAtOnce)
{
    // Each folder has its own sales file; the second writer waits for the first instead of failing.
    const QString second = path(QStringLiteral("secondo"));
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("secondo")));
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("Tavira.XML")), second + QStringLiteral("/Tavira.XML")));
    QByteArray first, other;
    for (int i = 0; i < 3000; ++i) {
        first += riga(QByteArray("A" + QByteArray::number(i)).constData());
        other += riga(QByteArray("B" + QByteArray::number(i)).constData());
    }
    writeBytes(QStringLiteral("Vendite.DAT"), first);
    writeBytes(QStringLiteral("secondo/Vendite.DAT"), other);
    QProcess a, b;
    avvia(a, folder(), {QStringLiteral("/A"), QStringLiteral("/V")});
    avvia(b, second, {QStringLiteral("/A"), QStringLiteral("/V")});
    ASSERT_TRUE(a.waitForFinished(90000));
    ASSERT_TRUE(b.waitForFinished(90000));
    EXPECT_EQ(a.exitCode(), 0);
    EXPECT_EQ(b.exitCode(), 0);
    EXPECT_EQ(staged(), 6000);
}
} // namespace
