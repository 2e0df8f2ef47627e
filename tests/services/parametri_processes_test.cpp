#include "services/parametri.h"

#include "testfolder.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
QByteArray scrambledLine(const QByteArray& plain)
{
    return codificaRiga(plain) + "\r\n";
}
} // namespace

using ParameterFileShared = ProgramFolderTest;

// Four instances started together in one folder, each doing what start-up does to term.ini: the
// passwords and the title selection prepared by hand survive, and every key is written once.
TEST_F(ParameterFileShared, InstancesStartedTogetherLoseNoKey)
{
    const QByteArray prepared =
        scrambledLine("PASSWORDAMMINISTRATORE=segreta") + scrambledLine("QUALITITOLICATALOGOTOTALE=1");
    const QByteArray expected = prepared + scrambledLine("PATHDESTCATALOGOTOTALE=C:\\Cataloghi\\") +
                                scrambledLine("NOMEFILECATALOGOTOTALE=Catalogo.DAT") +
                                scrambledLine("PATHORIGINEVENDITE=C:\\Vendite\\") +
                                scrambledLine("NOMEFILEVENDITE=Vendite.DAT") +
                                scrambledLine("PATHDESTINAZIONEAGGIORNAMENTO=C:\\Update\\") +
                                scrambledLine("NOMEFILEAGGIORNAMENTO=Update.DAT");
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        writeBytes("term.ini", prepared);
        const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 400);
        std::vector<std::unique_ptr<QProcess>> instances;
        for (int i = 0; i < 4; ++i) {
            instances.push_back(std::make_unique<QProcess>());
            instances.back()->start(QStringLiteral(PARAMETER_WRITER), {folder(), startAt});
        }
        for (const auto& instance : instances) {
            ASSERT_TRUE(instance->waitForFinished(30000));
            EXPECT_EQ(instance->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(instance->exitCode(), 0);
        }
        EXPECT_EQ(readBytes("term.ini"), expected);
        // No error report, no temporary file, no lock left behind.
        EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("term.ini")});
    }
}

// An instance killed while it writes leaves its lock behind; the next write takes it over at once.
TEST_F(ParameterFileShared, ALockLeftByAKilledInstanceDoesNotBlockWrites)
{
    QProcess holder;
    holder.start(QStringLiteral(PARAMETER_WRITER), {folder(), QStringLiteral("tieni")});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAll().trimmed(), "preso");
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(path("term.ini.lock")));

    QElapsedTimer took;
    took.start();
    EXPECT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT")));
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileVendite")), QStringLiteral("Vendite.DAT"));
    EXPECT_FALSE(QFile::exists(path("term.ini.lock")));
}
