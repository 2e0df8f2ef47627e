#include "qtprinting.h"
#include "services/exchangelock.h"
#include "services/parametri.h"
#include "sitefixture.h"
#include "store/connessionestore.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QThread>

#include <memory>

// Whole program instances, as the scheduler and the operator start them: the built program in child
// processes, each with its own program folder, all on one store.
namespace {
constexpr int kTitoli = 3000;

class Instances : public SiteTest
{
protected:
    void SetUp() override
    {
        SiteTest::SetUp();
        // Issues dated from the real clock: the children do not share the test's pinned one.
        ConnessioneStore store(
            {storeServer(), QStringLiteral("sa"), QString(), QStringLiteral("TAVIRA_TEST")}, 3, 60);
        const QString recent = QDate::currentDate().addDays(-5).toString(Qt::ISODate);
        store.esegui(QStringLiteral("BEGIN"));
        for (int id = 1; id <= kTitoli; ++id) {
            store.esegui(
                QStringLiteral("INSERT INTO Prodotti (IDProd, Zefiro, BarcodeTitolo, Testata, SottoTitolo, "
                               "IDTipoProdotto, GiorniScadenzaResa) VALUES (?, 1, ?, ?, 'MENSILE', 1, 30)"),
                {id, QStringLiteral("97700%1").arg(id, 8, 10, QLatin1Char('0')),
                 QStringLiteral("TITOLO %1").arg(id)});
            for (int issue = 0; issue < 3; ++issue)
                store.esegui(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, Addon, NumeroCopertina, "
                                            "DataUscita, PrezzoCopertinaEuroDistributore, Zefiro, Giacenza) "
                                            "VALUES (?, ?, '1', ?, ?, 3.5, 1, 4)"),
                             {id * 10 + issue, id, QString::number(issue + 1), recent});
        }
        store.esegui(QStringLiteral("COMMIT"));
    }

    // A second store, the same titles at another price, so that two exports of it and of the site's
    // store differ in their bytes but not in their length.
    QString secondStore()
    {
        QDir().mkpath(path(QStringLiteral("store2")));
        EXPECT_TRUE(QFile::copy(storeFile(), path(QStringLiteral("store2/TAVIRA_TEST.sqlite"))));
        const QString server = QStringLiteral("sqlite:") + path(QStringLiteral("store2"));
        ConnessioneStore store({server, QStringLiteral("sa"), QString(), QStringLiteral("TAVIRA_TEST")}, 3,
                               60);
        store.esegui(QStringLiteral("UPDATE Uscite SET PrezzoCopertinaEuroDistributore = 4.5"));
        return server;
    }

    void TearDown() override
    {
        for (auto& child : m_children)
            if (child->state() != QProcess::NotRunning) {
                child->kill();
                child->waitForFinished();
            }
        SiteTest::TearDown();
    }

    // A program folder beside the site's own, on the same store, exporting to `destination`.
    QString programFolder(const QString& name, const QString& destination, const QString& server = {})
    {
        const QString programDir = name.isEmpty() ? folder() : path(name);
        QDir().mkpath(programDir);
        QDir().mkpath(destination);
        if (!name.isEmpty()) {
            QByteArray site = readBytes(QStringLiteral("Tavira.XML"));
            if (!server.isEmpty()) site.replace(storeServer().toUtf8(), server.toUtf8());
            QFile file(programDir + QStringLiteral("/Tavira.XML"));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(site);
        }
        const QByteArray own = qgetenv("ESPORTA_IMPORTA_DIR");
        qputenv("ESPORTA_IMPORTA_DIR", programDir.toLocal8Bit());
        EXPECT_TRUE(ScriviParametro(QStringLiteral("PathDestCatalogoTotale"), destination));
        EXPECT_TRUE(
            ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("Catalogo.DAT")));
        qputenv("ESPORTA_IMPORTA_DIR", own);
        return programDir;
    }

    // Starts the program unattended, exporting the catalog: "/A /C".
    QProcess& startExport(const QString& programDir)
    {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ESPORTA_IMPORTA_DIR"), programDir);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child->setProcessEnvironment(environment);
        child->start(QStringLiteral(EI_PROGRAM), {QStringLiteral("/A"), QStringLiteral("/C")});
        EXPECT_TRUE(child->waitForStarted());
        m_children.push_back(std::move(child));
        return *m_children.back();
    }

    static bool completed(QProcess& child, int ms)
    {
        return child.waitForFinished(ms) && child.exitStatus() == QProcess::NormalExit &&
               child.exitCode() == 0;
    }

    std::vector<std::unique_ptr<QProcess>> m_children;
};
} // namespace

TEST_F(Instances, TwoExportsToOneDestinationPublishAWholeCatalog)
{
    const QString server = secondStore();
    QProcess& alone = startExport(programFolder(QString(), path(QStringLiteral("clean"))));
    QProcess& aloneToo =
        startExport(programFolder(QStringLiteral("second"), path(QStringLiteral("clean2")), server));
    ASSERT_TRUE(completed(alone, 120000));
    ASSERT_TRUE(completed(aloneToo, 120000));
    const QByteArray clean = readBytes(QStringLiteral("clean/Catalogo.DAT"));
    const QByteArray clean2 = readBytes(QStringLiteral("clean2/Catalogo.DAT"));
    ASSERT_EQ(clean.size(), kTitoli * 3 * 142);
    ASSERT_EQ(clean2.size(), clean.size());
    ASSERT_NE(clean2, clean);

    const QString shared = path(QStringLiteral("shared"));
    QProcess& first = startExport(programFolder(QString(), shared));
    QProcess& second = startExport(programFolder(QStringLiteral("second"), shared, server));
    // Each one completes, or, when the other kept the destination too long, ends interrupted and stays
    // open with its log on screen; at least one completes.
    const bool firstDone = completed(first, 120000);
    const bool secondDone = completed(second, 20000);
    EXPECT_TRUE(firstDone || secondDone);
    const QByteArray published = readBytes(QStringLiteral("shared/Catalogo.DAT"));
    EXPECT_TRUE(published == clean || published == clean2) << "a mix of the two exports";
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("shared/TEMP_Catalogo.DAT"))));
    QFile::remove(ExchangeLock::lockFileFor(shared + QStringLiteral("/Catalogo.DAT")));
}

TEST_F(Instances, AKilledExportDoesNotHoldItsDestinationForEver)
{
    const QString destination = path(QStringLiteral("dest"));
    const QString lockFile = ExchangeLock::lockFileFor(destination + QStringLiteral("/Catalogo.DAT"));
    QProcess& child = startExport(programFolder(QString(), destination));
    const QDeadlineTimer deadline(60000);
    QLockFile held(lockFile);
    qint64 pid = 0;
    QString host;
    QString application;
    while (!held.getLockInfo(&pid, &host, &application) && !deadline.hasExpired() &&
           child.state() == QProcess::Running)
        QThread::msleep(5);
    ASSERT_EQ(pid, child.processId()) << "the export never held its destination";
    child.kill();
    child.waitForFinished();
    ASSERT_TRUE(QFile::exists(lockFile)); // left behind by the killed process

    ExchangeLock lock(destination + QStringLiteral("/Catalogo.DAT"));
    EXPECT_TRUE(lock.acquire(1000, {}));
}
