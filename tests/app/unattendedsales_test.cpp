#include "qtprinting.h"
#include "services/parametri.h"
#include "sitefixture.h"
#include "store/storeconnection.h"

#include <QSqlQuery>
#include <QTimer>

// "/A /C /V" with the program's own runs on a site: the export, then the import of the sales file in the
// program folder, then TimerEnd and the exit status a scheduler reads.
namespace {
QByteArray riga(const char* id)
{
    return QByteArray(id).leftJustified(15, ' ') + "2026120709050001" +
           QByteArray("0").rightJustified(12, ' ') + QByteArray(18, ' ') + "        1" + "000000250" +
           QByteArray(41, ' ') + "\r\n";
}

class UnattendedSales : public SiteTest
{
protected:
    // TimerComandiAuto's tick, then TimerEnd's: the exit status.
    int runToTheEnd()
    {
        program->comandiRun().tickComandiAuto();
        QTimer* end = window().findChild<QTimer*>(QStringLiteral("TimerEnd"));
        EXPECT_TRUE(end && end->isActive());
        EXPECT_EQ(end ? end->interval() : 0, 3000);
        try {
            program->comandiRun().tickEnd();
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
        ADD_FAILURE() << "TimerEnd did not end the program";
        return -1;
    }

    int staged() const
    {
        StoreConnection store({storeServer(), QStringLiteral("sa"), QString(), QStringLiteral("TAVIRA_TEST")},
                              3, 60);
        QSqlQuery query = store.esegui(QStringLiteral("SELECT COUNT(*) FROM Vendite_VT"));
        return query.next() ? query.value(0).toInt() : -1;
    }

    bool logged(const QByteArray& text) const { return readBytes(QStringLiteral("LOG.Dat")).contains(text); }
};

TEST_F(UnattendedSales, ExportThenImportExitStatusZero)
{
    ASSERT_TRUE(start(QStringLiteral("/A /C /V"), RunDisponibili::delProgramma()));
    writeBytes(QStringLiteral("Vendite.DAT"), riga("S1") + riga("S2"));
    EXPECT_EQ(runToTheEnd(), 0);
    EXPECT_TRUE(logged("Esportazione Titoli Terminata con Successo !"));
    EXPECT_TRUE(logged("Righe Saltate = 0"));
    EXPECT_TRUE(logged("Importazione Vendite Terminata con Successo !"));
    EXPECT_EQ(staged(), 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Vendite.DAT"))));
    EXPECT_TRUE(errors.empty());
}

TEST_F(UnattendedSales, InterruptedImportExitStatusOne)
{
    ASSERT_TRUE(start(QStringLiteral("/A /C /V"), RunDisponibili::delProgramma()));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), path(QStringLiteral("nessuna"))));
    EXPECT_EQ(runToTheEnd(), 1);
    EXPECT_TRUE(logged("Esportazione Titoli Terminata con Successo !"));
    EXPECT_TRUE(logged("la cartella di Origine non Esiste!!"));
    EXPECT_TRUE(logged("Esportazione INTERROTTA !!"));
    EXPECT_EQ(staged(), 0);
}
} // namespace
