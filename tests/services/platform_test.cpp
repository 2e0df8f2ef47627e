#include "services/exchangelock.h"
#include "services/platform.h"
#include "services/programfolder.h"
#include "services/rejectedlines.h"

#include "testfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using TemporaryFile = ProgramFolderTest;

TEST_F(TemporaryFile, ALeftoverFileIsReplacedByANewOne)
{
    writeBytes("TEMP_Vendite.DAT", "left by a run that was killed");
    QFile file;
    ASSERT_TRUE(creaFileTemporaneo(file, path("TEMP_Vendite.DAT")));
    ASSERT_EQ(file.write("new"), 3);
    file.close();
    EXPECT_EQ(readBytes("TEMP_Vendite.DAT"), "new");
}

TEST_F(TemporaryFile, AFolderUnderTheNameIsLeftAlone)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("TEMP_Vendite.DAT")));
    QFile file;
    EXPECT_FALSE(creaFileTemporaneo(file, path("TEMP_Vendite.DAT")));
    EXPECT_TRUE(QFileInfo(path("TEMP_Vendite.DAT")).isDir());
}

#ifdef Q_OS_UNIX
TEST_F(TemporaryFile, APlantedLinkIsNeverFollowed)
{
    struct Row
    {
        const char* name;
        bool targetExists;
    };
    const Row rows[] = {{"link to a file", true}, {"link to nothing", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(path("TEMP_Vendite.DAT"));
        QFile::remove(path("bersaglio"));
        if (row.targetExists) writeBytes("bersaglio", "precious");
        ASSERT_TRUE(QFile::link(path("bersaglio"), path("TEMP_Vendite.DAT")));
        QFile file;
        EXPECT_FALSE(creaFileTemporaneo(file, path("TEMP_Vendite.DAT")));
        EXPECT_FALSE(file.isOpen());
        EXPECT_TRUE(QFileInfo(path("TEMP_Vendite.DAT")).isSymLink());
        EXPECT_EQ(QFile::exists(path("bersaglio")), row.targetExists);
        if (row.targetExists) {
            EXPECT_EQ(readBytes("bersaglio"), "precious");
        }
        // A side file that only grows is not appended through the link either.
        ASSERT_TRUE(QFile::link(path("bersaglio"), path("SALTATO_Vendite.DAT")));
        ScriviRigaSaltata(conSeparatoreFinale(folder()), QStringLiteral("Vendite.DAT"), "riga");
        EXPECT_EQ(QFile::exists(path("bersaglio")), row.targetExists);
        if (row.targetExists) {
            EXPECT_EQ(readBytes("bersaglio"), "precious");
        }
        QFile::remove(path("SALTATO_Vendite.DAT"));
    }
}
#endif

TEST(ExchangeLockPlace, NotTheUsersOwnTemporaryFolder)
{
    // A scheduled task running as another user has a temporary folder of its own.
    QTemporaryDir own;
    const QByteArray before = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(own.path()));
    const QString lock = ExchangeLock::lockFileFor(own.filePath(QStringLiteral("Vendite.DAT")));
    const QString userTemp = QDir::tempPath();
    qputenv("TMPDIR", before);
    EXPECT_EQ(QFileInfo(lock).absolutePath(), QDir(cartellaComuneMacchina()).absolutePath());
    EXPECT_FALSE(lock.startsWith(userTemp)) << qPrintable(lock);
}
