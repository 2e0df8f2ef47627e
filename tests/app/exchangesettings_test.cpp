#include "app/core/exchangesettings.h"
#include "qtprinting.h"

#include "services/parametri.h"
#include "services/programfolder.h"
#include "testfolder.h"

#include <QDir>

namespace {
class ExchangeSettings : public ProgramFolderTest
{
protected:
    // The plain lines of term.ini.
    QStringList storedLines() const
    {
        QStringList lines;
        for (const QByteArray& raw : readBytes(QStringLiteral("term.ini")).split('\n')) {
            QByteArray line = raw;
            if (line.endsWith('\r')) line.chop(1);
            if (!line.isEmpty()) lines << QString::fromLatin1(decodificaRiga(line));
        }
        return lines;
    }

    QString programFolderWithSeparator() const
    {
        return QDir::toNativeSeparators(folder()) + QDir::separator();
    }
};

TEST_F(ExchangeSettings, FirstStartStoresTheSixKeysWithTheirDefaults)
{
    for (const Pannello exchange : scambi())
        scriviImpostazioni(exchange, leggiImpostazioni(exchange));

    const QString home = programFolderWithSeparator();
    EXPECT_EQ(storedLines(), QStringList({QStringLiteral("PATHDESTCATALOGOTOTALE=") + home,
                                          QStringLiteral("NOMEFILECATALOGOTOTALE=Catalogo.DAT"),
                                          QStringLiteral("PATHORIGINEVENDITE=") + home,
                                          QStringLiteral("NOMEFILEVENDITE=Vendite.DAT"),
                                          QStringLiteral("PATHDESTINAZIONEAGGIORNAMENTO=") + home,
                                          QStringLiteral("NOMEFILEAGGIORNAMENTO=Update.DAT")}));
}

TEST_F(ExchangeSettings, DefaultsShown)
{
    const ImpostazioniScambio catalog = leggiImpostazioni(Pannello::Catalogo);
    EXPECT_EQ(catalog.cartella, programFolderWithSeparator());
    EXPECT_EQ(catalog.nome, QStringLiteral("Catalogo.DAT"));
    EXPECT_EQ(catalog.qualiTitoli, QStringLiteral("Solo i non Richiamati"));
    EXPECT_EQ(leggiImpostazioni(Pannello::Vendite).nome, QStringLiteral("Vendite.DAT"));
    EXPECT_FALSE(leggiImpostazioni(Pannello::Vendite).qualiTitoli.has_value());
    EXPECT_EQ(leggiImpostazioni(Pannello::Aggiornamento).nome, QStringLiteral("Update.DAT"));
}

TEST_F(ExchangeSettings, StoredValuesKeptExactly)
{
    ScriviParametro(QStringLiteral("PathOrigineVendite"), QStringLiteral("/srv/vendite"));
    ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("vend.txt"));
    const ImpostazioniScambio sales = leggiImpostazioni(Pannello::Vendite);
    EXPECT_EQ(sales.cartella, QStringLiteral("/srv/vendite")); // no separator added to a stored folder
    EXPECT_EQ(sales.nome, QStringLiteral("vend.txt"));
    scriviImpostazioni(Pannello::Vendite, sales);
    EXPECT_EQ(LeggiParametro(QStringLiteral("PathOrigineVendite")), QStringLiteral("/srv/vendite"));
}

TEST_F(ExchangeSettings, BlankValuesTakeTheDefaults)
{
    writeBytes(QStringLiteral("term.ini"), codificaRiga("PATHDESTINAZIONEAGGIORNAMENTO=   ") + "\r\n" +
                                               codificaRiga("NOMEFILEAGGIORNAMENTO= ") + "\r\n");
    const ImpostazioniScambio update = leggiImpostazioni(Pannello::Aggiornamento);
    EXPECT_EQ(update.cartella, programFolderWithSeparator());
    EXPECT_EQ(update.nome, QStringLiteral("Update.DAT"));
}

TEST_F(ExchangeSettings, ReadingNeverWritesTheTitleSelection)
{
    for (const Pannello exchange : scambi())
        scriviImpostazioni(exchange, leggiImpostazioni(exchange));
    for (const QString& line : storedLines())
        EXPECT_FALSE(line.startsWith(QStringLiteral("QUALITITOLI"))) << qPrintable(line);
}

struct SelectionCase
{
    const char* stored;
    const char* shown;
};

class TitleSelection : public ::testing::TestWithParam<SelectionCase>
{
};

TEST_P(TitleSelection, ZeroMeansOnlyNotRecalled)
{
    EXPECT_EQ(testoQualiTitoli(QString::fromUtf8(GetParam().stored)), QString::fromUtf8(GetParam().shown))
        << GetParam().stored;
}

const char* const kSolo = "Solo i non Richiamati";
const char* const kTutti = "Tutti i Titoli (Ultimi 3 Numeri)";

INSTANTIATE_TEST_SUITE_P(Stored, TitleSelection,
                         ::testing::Values(SelectionCase{"1", kTutti}, SelectionCase{"7", kTutti},
                                           SelectionCase{"0", kSolo}, SelectionCase{"", kSolo},
                                           SelectionCase{"abc", kSolo}, SelectionCase{"  0", kSolo},
                                           SelectionCase{"-1", kTutti}, SelectionCase{"0.5", kTutti},
                                           SelectionCase{"1 0", kTutti}, SelectionCase{"0x", kSolo}));
} // namespace
