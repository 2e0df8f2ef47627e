#include "loglines.h"
#include "services/activenames.h"
#include "services/activitylog.h"
#include "services/errorreport.h"
#include "services/failure.h"
#include "testfolder.h"

#include <gtest/gtest.h>

using ActivityLog = ProgramFolderTest;
using ErrorLog = ProgramFolderTest;

TEST_F(ActivityLog, HeaderOnANewFileThenEntriesOf163Characters)
{
    setActiveNamesProvider([] {
        return ActiveNames{QStringLiteral("FrmMain"), QStringLiteral("cmdImpVendite")};
    });
    ScriviLog(QStringLiteral("   Connessione OK !  "));
    ScriviLog(QString(75, QLatin1Char('x')));
    setActiveNamesProvider({});
    ScriviLog(QStringLiteral("però"));

    const auto got = logLines(readBytes("LOG.Dat"));
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0], field("Data", 10) + field("Ora", 8) + field("Testo", 60) + field("Form Attivo", 40) +
                          field("Oggetto Attivo", 40));
    EXPECT_EQ(got[1], field("07/12/2026", 10) + field("09:05:03", 8) + field("Connessione OK !", 60) +
                          field("FrmMain", 40) + field("cmdImpVendite", 40));
    EXPECT_EQ(got[2].mid(20, 61), field(QByteArray(60, 'x'), 60));
    EXPECT_EQ(got[3].mid(20, 61), field("per\xF2", 60));
    for (const QByteArray& line : got)
        EXPECT_EQ(line.size(), 163);
}

TEST_F(ActivityLog, CharactersOutsideTheCodePageAndLineBreaksKeepTheLineWhole)
{
    setActiveNamesProvider([] { return ActiveNames{QStringLiteral("Frm😀"), QStringLiteral("txt")}; });
    ScriviLog(QStringLiteral("Nuova Destinazione CAT Totale = C:\\Cartella\n😀\r\nfine"));
    setActiveNamesProvider({});
    const auto got = logLines(readBytes("LOG.Dat"));
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[1].size(), 163);
    EXPECT_EQ(got[1].mid(20), field("Nuova Destinazione CAT Totale = C:\\Cartella ?  fine", 60) +
                                  field("Frm?", 40) + field("txt", 40));
}

TEST_F(ActivityLog, AFolderThatCannotBeWrittenLosesTheLineQuietly)
{
    qputenv("ESPORTA_IMPORTA_DIR", path("non-esiste/sotto").toLocal8Bit());
    ScriviLog(QStringLiteral("perso"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ErrorLog, HeaderAndEntryOf392CharactersDescriptionCutTo300)
{
    ErrorRecord record{
        -2147467259, 42, QString(310, QLatin1Char('d')) + QStringLiteral("(Crea File Catalogo)"),
        QStringLiteral("  FrmMainConUnNomeMoltoLungo  "), QStringLiteral("cmdCreaCatalogoTot")};
    appendErrorLog(record, QStringLiteral("1.0.0"));
    appendErrorLog(record, QStringLiteral("1.0.0"));
    const auto got = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0], errorLogHeaderLine());
    EXPECT_EQ(got[1], field("07/12/2026", 10) + field("09:05:03", 8) + field("FrmMainConUnNomeMolt", 20) +
                          field("cmdCreaCatalogoTot", 20) + field("42", 6) + field("1.0.0", 10) +
                          field("-214746725", 10) + field(QByteArray(300, 'd'), 300));
    for (const QByteArray& line : got)
        EXPECT_EQ(line.size(), 392);
}

TEST_F(ErrorLog, CharactersOutsideTheCodePageKeepTheLineAt392)
{
    const ErrorRecord record{5, 1, QStringLiteral("guasto 😀 😀"), QStringLiteral("Frm😀"), {}};
    appendErrorLog(record, QStringLiteral("1.0.0"));
    const auto got = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[1].size(), 392);
    EXPECT_EQ(got[1].mid(20, 21), field("Frm?", 20));
    EXPECT_EQ(got[1].mid(91), field("guasto ? ?", 300));
}

TEST_F(ErrorLog, TrapHandsTheFailureWithItsLineAndTagToTheReport)
{
    int thrownAt = 0;
    try {
        thrownAt = __LINE__ + 1;
        throw Failure(FailureCode::FileNotFound, QStringLiteral("File non trovato"));
    } catch (...) {
        segnalaErrore(QStringLiteral("(Crea File Catalogo)"));
    }
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        segnalaErrore(QStringLiteral(" (LeggiParametro) "));
    }
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, 53);
    EXPECT_EQ(errors[0].line, thrownAt);
    EXPECT_EQ(errors[0].description, QStringLiteral("File non trovato(Crea File Catalogo)"));
    EXPECT_EQ(errors[1].description, QStringLiteral("boom (LeggiParametro) "));
    EXPECT_EQ(versioneProgramma(), QStringLiteral(ESPORTA_IMPORTA_VERSION));
}

TEST_F(ErrorLog, WithoutAWindowTheReportIsLoggedAndTheProgramEnds)
{
    setErrorPresenter({});
    EXPECT_THROW(MostraErrore(5, 3, QStringLiteral("guasto"), {}, {}), ProgramEnded);
    const auto got = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(got.size(), 2);
    EXPECT_TRUE(got[1].contains("guasto"));
}
