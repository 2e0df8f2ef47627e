#include "services/parametri.h"

#include "testfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <gtest/gtest.h>

namespace {
QByteArray scrambledLine(const QByteArray& plain)
{
    return codificaRiga(plain) + "\r\n";
}
} // namespace

using ParameterFile = ProgramFolderTest;

TEST(Scrambling, EveryCodeFromOneTo255RoundTrips)
{
    for (int c = 1; c < 256; ++c) {
        const QByteArray plain(1, char(c));
        EXPECT_EQ(decodificaRiga(codificaRiga(plain)), plain) << c;
    }
    EXPECT_EQ(codificaRiga("A="), QByteArray("KG"));
    EXPECT_EQ(codificaRiga("\xFF\xF6\xF5"), QByteArray("\x00\x09\xFF", 3));
}

TEST_F(ParameterFile, ReadingWithoutAFileCreatesAnEmptyOne)
{
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileVendite")), QString());
    EXPECT_TRUE(QFile::exists(path("term.ini")));
    EXPECT_TRUE(readBytes("term.ini").isEmpty());
}

TEST_F(ParameterFile, AppendThenReplaceInPlaceKeepingTheOtherLines)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), QStringLiteral("C:\\Vendite\\")));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("  Vendite.DAT  ")));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("Ultimo"), QStringLiteral("x")));
    const QByteArray before = readBytes("term.ini");
    EXPECT_EQ(before, scrambledLine("PATHORIGINEVENDITE=C:\\Vendite\\") +
                          scrambledLine("NOMEFILEVENDITE=Vendite.DAT") + scrambledLine("ULTIMO=x"));

    ASSERT_TRUE(ScriviParametro(QStringLiteral("nomefilevendite"), QStringLiteral("Altro.DAT")));
    EXPECT_EQ(readBytes("term.ini"), scrambledLine("PATHORIGINEVENDITE=C:\\Vendite\\") +
                                         scrambledLine("NOMEFILEVENDITE=Altro.DAT") +
                                         scrambledLine("ULTIMO=x"));
    EXPECT_FALSE(QFile::exists(path("termTemp.ini")));
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileVendite")), QStringLiteral("Altro.DAT"));
}

TEST_F(ParameterFile, MatchingRules)
{
    writeBytes("term.ini", scrambledLine("NomeFileVendite=mixed") + scrambledLine(" NOMEFILE=leading blank") +
                               scrambledLine("NOMEFILE=short key") + scrambledLine("NOMEFILE=duplicate") +
                               scrambledLine("EQ=a=b==c") + scrambledLine("SPAZI=  blanks  ") +
                               scrambledLine("ALTO=\xFF\xF8"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("nomefilevendite")), QStringLiteral("mixed"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFile")),
              QStringLiteral("short key")); // first match, prefix safe
    EXPECT_EQ(LeggiParametro(QStringLiteral("  eq")), QStringLiteral("a=b==c"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("Spazi")), QStringLiteral("  blanks  "));
    EXPECT_EQ(LeggiParametro(QStringLiteral("Alto")), QString::fromLatin1("\xFF\xF8"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("Assente")), QString());
    // Blanks are trimmed after "=" is appended, so blanks after the key stay part of it.
    EXPECT_EQ(LeggiParametro(QStringLiteral("eq  ")), QString());

    // A write replaces every match and leaves the line with the leading blank alone.
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFile"), QStringLiteral("nuovo")));
    EXPECT_EQ(readBytes("term.ini"), scrambledLine("NomeFileVendite=mixed") +
                                         scrambledLine(" NOMEFILE=leading blank") +
                                         scrambledLine("NOMEFILE=nuovo") + scrambledLine("NOMEFILE=nuovo") +
                                         scrambledLine("EQ=a=b==c") + scrambledLine("SPAZI=  blanks  ") +
                                         scrambledLine("ALTO=\xFF\xF8"));
}

TEST_F(ParameterFile, HighCodesAreStoredAsLowCodesAndReadBack)
{
    const QString value = QString::fromLatin1("\xFF\xFE\xF6");
    ASSERT_TRUE(ScriviParametro(QStringLiteral("K"), value));
    EXPECT_EQ(readBytes("term.ini"), QByteArray("UG\x00\x01\x09\r\n", 7));
    EXPECT_EQ(LeggiParametro(QStringLiteral("K")), value);
}

TEST_F(ParameterFile, GarbageIsReadWithoutHarm)
{
    QByteArray garbage(200000, '\x01');
    garbage += QByteArray("\x00\x00\r\n\n\n\r", 7) + scrambledLine("TROVAMI=si").chopped(2);
    writeBytes("term.ini", garbage);
    EXPECT_EQ(LeggiParametro(QStringLiteral("Trovami")), QStringLiteral("si"));
    EXPECT_TRUE(ScriviParametro(QStringLiteral("Trovami"), QStringLiteral("no")));
    EXPECT_EQ(LeggiParametro(QStringLiteral("Trovami")), QStringLiteral("no"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ParameterFile, AReadOnlyFileIsLeftAsItIsAndAnUnchangedValueIsNotWritten)
{
    struct Row
    {
        const char* name;
        const char* key;
        const char* value;
        bool result;
    };
    const Row rows[] = {
        {"same value: nothing to write", "A", "1", true},
        {"new value", "A", "2", false},
        {"new key", "B", "1", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes("term.ini", scrambledLine("A=1"));
        const QByteArray before = readBytes("term.ini");
        ASSERT_TRUE(QFile::setPermissions(path("term.ini"), QFileDevice::ReadOwner | QFileDevice::ReadOther));
        EXPECT_EQ(ScriviParametro(QString::fromLatin1(row.key), QString::fromLatin1(row.value)), row.result);
        EXPECT_EQ(readBytes("term.ini"), before);
        EXPECT_EQ(QFile::permissions(path("term.ini")) & QFileDevice::WriteOwner, 0);
        EXPECT_TRUE(errors.empty());
        QFile::setPermissions(path("term.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

#ifdef Q_OS_UNIX
TEST_F(ParameterFile, ALinkIsFollowedAndTheFileItNamesIsReplacedThere)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("condivisa")));
    writeBytes("condivisa/term.ini", scrambledLine("A=1") + scrambledLine("B=x"));
    ASSERT_TRUE(QFile::link(path("condivisa/term.ini"), path("term.ini")));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("A"), QStringLiteral("2")));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("C"), QStringLiteral("3")));
    EXPECT_TRUE(QFileInfo(path("term.ini")).isSymLink());
    EXPECT_EQ(readBytes("condivisa/term.ini"),
              scrambledLine("A=2") + scrambledLine("B=x") + scrambledLine("C=3"));
    EXPECT_EQ(QDir(path("condivisa")).entryList(QDir::Files), QStringList{QStringLiteral("term.ini")});
}
#endif

TEST_F(ParameterFile, AnAppendedKeyNeverJoinsALastLineWithoutLineEnd)
{
    writeBytes("term.ini", codificaRiga("PASSWORDAMMINISTRATORE=segreta"));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT")));
    EXPECT_EQ(readBytes("term.ini"),
              scrambledLine("PASSWORDAMMINISTRATORE=segreta") + scrambledLine("NOMEFILEVENDITE=Vendite.DAT"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("PasswordAmministratore")), QStringLiteral("segreta"));
}

TEST_F(ParameterFile, LinesEndingWithLfAloneAreSeparateLines)
{
    struct Row
    {
        const char* name;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"lf only", codificaRiga("A=1") + "\n" + codificaRiga("B=2") + "\n"},
        {"mixed", codificaRiga("A=1") + "\n" + codificaRiga("B=2") + "\r\n"},
        {"cr only", codificaRiga("A=1") + "\r" + codificaRiga("B=2")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes("term.ini", row.bytes);
        EXPECT_EQ(LeggiParametro(QStringLiteral("A")), QStringLiteral("1"));
        EXPECT_EQ(LeggiParametro(QStringLiteral("B")), QStringLiteral("2"));
        ASSERT_TRUE(ScriviParametro(QStringLiteral("A"), QStringLiteral("9")));
        EXPECT_EQ(readBytes("term.ini"), scrambledLine("A=9") + scrambledLine("B=2"));
    }
}

TEST_F(ParameterFile, CharactersThatWouldScrambleToALineEndAreStoredAsQuestionMarks)
{
    // Code 0 would scramble to LF and code 3 to CR, cutting the stored line in two.
    ASSERT_TRUE(ScriviParametro(QStringLiteral("A"), QString::fromLatin1("x\0y\3z", 5)));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("B"), QStringLiteral("2")));
    EXPECT_EQ(LeggiParametro(QStringLiteral("A")), QStringLiteral("x?y?z"));
    EXPECT_EQ(readBytes("term.ini"), scrambledLine("A=x?y?z") + scrambledLine("B=2"));
}

TEST_F(ParameterFile, AReadOnlyFolderMakesWritesFailWithoutAReport)
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
#endif
    ASSERT_TRUE(ScriviParametro(QStringLiteral("A"), QStringLiteral("1")));
    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(path("term.ini"), QFileDevice::ReadOwner);
    EXPECT_FALSE(ScriviParametro(QStringLiteral("A"), QStringLiteral("2")));
    EXPECT_FALSE(ScriviParametro(QStringLiteral("B"), QStringLiteral("2")));
    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(LeggiParametro(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ParameterFile, AnUnreadableFileGoesToTheErrorReportWithTheProcedureTag)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("term.ini"))); // a folder where the file should be
    EXPECT_EQ(LeggiParametro(QStringLiteral("A")), QString());
    EXPECT_FALSE(ScriviParametro(QStringLiteral("A"), QStringLiteral("1")));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(errors[0].description.endsWith(QStringLiteral(" (LeggiParametro) ")));
    EXPECT_TRUE(errors[1].description.endsWith(QStringLiteral(" (ScriviParametro) ")));
    EXPECT_GT(errors[0].line, 0);
}
