#include "qtprinting.h"
#include "sitefixture.h"

#include "services/activitylog.h"
#include "services/parametri.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

namespace {
class StartUp : public SiteTest
{
protected:
    QLabel& indicator() const { return find<QLabel>("lblTest1"); }
    bool termIniExists() const { return QFile::exists(path(QStringLiteral("term.ini"))); }

    // The keys of term.ini, in their stored order.
    QStringList storedKeys() const
    {
        QStringList keys;
        for (QByteArray line : readBytes(QStringLiteral("term.ini")).split('\n')) {
            if (line.endsWith('\r')) line.chop(1);
            if (!line.isEmpty())
                keys << QString::fromLatin1(decodificaRiga(line)).section(QLatin1Char('='), 0, 0);
        }
        return keys;
    }
};

TEST_F(StartUp, FirstStartWithoutTermIni)
{
    ModalScript script;
    ASSERT_TRUE(start(QStringLiteral("/A")));
    EXPECT_EQ(script.shown(), 0);

    EXPECT_EQ(text("txtServer"), storeServer());
    EXPECT_EQ(tip("txtServer"), storeServer());
    EXPECT_EQ(text("txtDb"), QStringLiteral("TAVIRA_TEST"));
    EXPECT_EQ(tip("txtDb"), QStringLiteral("TAVIRA_TEST"));
    EXPECT_EQ(text("txtUtente"), QStringLiteral("negozio"));
    EXPECT_EQ(window().impostazioniConnessione().password, QStringLiteral("pw-negozio"));

    EXPECT_EQ(indicator().text(), QStringLiteral("OK"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(indicator().toolTip(),
              QStringLiteral("Connessione al Database di Tavira Avvenuta con Successo!!"));

    const QString home = folderShownByDefault();
    EXPECT_TRUE(home.endsWith(QDir::separator()));
    const std::pair<const char*, QString> shown[] = {
        {"txtDest", home},    {"txtFile", QStringLiteral("Catalogo.DAT")},
        {"txtOrig", home},    {"txtNomeFileVen", QStringLiteral("Vendite.DAT")},
        {"txtDestAgg", home}, {"txtNomeFileAgg", QStringLiteral("Update.DAT")}};
    for (const auto& [field, value] : shown) {
        EXPECT_EQ(text(field), value) << field;
        EXPECT_EQ(tip(field), value) << field;
    }
    EXPECT_EQ(text("txtQualiTit"), QStringLiteral("Solo i non Richiamati"));

    EXPECT_EQ(storedKeys(),
              QStringList({QStringLiteral("PATHDESTCATALOGOTOTALE"), QStringLiteral("NOMEFILECATALOGOTOTALE"),
                           QStringLiteral("PATHORIGINEVENDITE"), QStringLiteral("NOMEFILEVENDITE"),
                           QStringLiteral("PATHDESTINAZIONEAGGIORNAMENTO"),
                           QStringLiteral("NOMEFILEAGGIORNAMENTO")}));
    EXPECT_EQ(LeggiParametro(QStringLiteral("PathDestCatalogoTotale")), home);
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileVendite")), QStringLiteral("Vendite.DAT"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileAggiornamento")), QStringLiteral("Update.DAT"));

    EXPECT_TRUE(find<QTimer>("TimerComandiAuto").isActive());
    EXPECT_FALSE(find<QTimer>("TimerEnd").isActive());
    EXPECT_FALSE(window().windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(program->modoAutomatico().autoCatalogo);
    EXPECT_FALSE(program->modoAutomatico().autoVendite);
    EXPECT_TRUE(errors.empty());
}

TEST_F(StartUp, StoredFolderWithoutSeparatorShownAndWrittenBackUnchanged)
{
    ScriviParametro(QStringLiteral("PathOrigineVendite"), QStringLiteral("/srv/cassa/vendite"));
    ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("CATALOGO.TXT"));
    ASSERT_TRUE(start(QStringLiteral("/A")));
    EXPECT_EQ(text("txtOrig"), QStringLiteral("/srv/cassa/vendite"));
    EXPECT_EQ(tip("txtOrig"), QStringLiteral("/srv/cassa/vendite"));
    EXPECT_EQ(text("txtFile"), QStringLiteral("CATALOGO.TXT"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("PathOrigineVendite")), QStringLiteral("/srv/cassa/vendite"));
    EXPECT_EQ(LeggiParametro(QStringLiteral("NomeFileCatalogoTotale")), QStringLiteral("CATALOGO.TXT"));
}

TEST_F(StartUp, UnreachableStoreShowsTheFailedIndicator)
{
    writeSiteConfiguration(QStringLiteral("sqlite:") + path(QStringLiteral("spento")));
    ASSERT_TRUE(start(QStringLiteral("/A")));
    EXPECT_EQ(indicator().text(), QStringLiteral("NO"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(indicator().toolTip(), QStringLiteral("Connessione al Database di Tavira non Riuscita"));
    EXPECT_TRUE(find<QTimer>("TimerComandiAuto").isActive()); // not an error: start-up goes on
    EXPECT_EQ(text("txtFile"), QStringLiteral("Catalogo.DAT"));
}

struct SelectionCase
{
    const char* stored;
    const char* shown;
};

// The whole table of stored selections is checked on the rule itself (exchangesettings_test); here one
// value of each kind goes through start-up.
class StartUpTitleSelection : public StartUp, public ::testing::WithParamInterface<SelectionCase>
{
};

TEST_P(StartUpTitleSelection, ShownAndNeverWrittenBack)
{
    ScriviParametro(QStringLiteral("QualiTitoliCatalogoTotale"), QString::fromUtf8(GetParam().stored));
    const QByteArray before = readBytes(QStringLiteral("term.ini"));
    ASSERT_TRUE(start(QStringLiteral("/A")));
    EXPECT_EQ(text("txtQualiTit"), QString::fromUtf8(GetParam().shown));
    EXPECT_EQ(tip("txtQualiTit"), QString());
    EXPECT_TRUE(
        readBytes(QStringLiteral("term.ini")).startsWith(before)); // the selection line kept as it was
}

INSTANTIATE_TEST_SUITE_P(Stored, StartUpTitleSelection,
                         ::testing::Values(SelectionCase{"1", "Tutti i Titoli (Ultimi 3 Numeri)"},
                                           SelectionCase{"  0", "Solo i non Richiamati"}));

struct SwitchCase
{
    const char* line;
    bool autoCatalogo;
    bool autoVendite;
};

class StartUpSwitches : public StartUp, public ::testing::WithParamInterface<SwitchCase>
{
};

TEST_P(StartUpSwitches, FlagsAndMinimizedWindowWithoutPassword)
{
    ModalScript script;
    ASSERT_TRUE(start(QString::fromUtf8(GetParam().line)));
    EXPECT_EQ(script.shown(), 0) << "no password with /A";
    EXPECT_EQ(program->modoAutomatico().autoCatalogo, GetParam().autoCatalogo);
    EXPECT_EQ(program->modoAutomatico().autoVendite, GetParam().autoVendite);
    EXPECT_EQ(bool(window().windowState() & Qt::WindowMinimized),
              GetParam().autoCatalogo || GetParam().autoVendite);
    EXPECT_TRUE(find<QTimer>("TimerComandiAuto").isActive());
    EXPECT_FALSE(window().isVisible()); // start-up never shows the window itself
}

INSTANTIATE_TEST_SUITE_P(Lines, StartUpSwitches,
                         ::testing::Values(SwitchCase{"/a /c", true, false},
                                           SwitchCase{"/A /C /V", true, true},
                                           SwitchCase{"/A/c/v", true, true},
                                           SwitchCase{"/A /CV", true, false}, SwitchCase{"/A", false, false},
                                           SwitchCase{"/a /v", false, true}));

TEST_F(StartUp, PasswordAskedWithoutSlashA)
{
    ModalScript script;
    script.then(typePassword(QStringLiteral("vespra")));
    ASSERT_TRUE(start(QStringLiteral("/V")));
    EXPECT_EQ(script.shown(), 1);
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(program->modoAutomatico().autoVendite);
    EXPECT_TRUE(window().windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(find<QTimer>("TimerComandiAuto").isActive());
}

TEST_F(StartUp, RefusedAccessEndsTheProgram)
{
    ModalScript script;
    script.then(cancelPassword());
    try {
        start(QStringLiteral("/V"));
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.status, 1);
    }
    EXPECT_EQ(script.shown(), 1); // the password dialog only: no message of its own
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(find<QTimer>("TimerComandiAuto").isActive());
    EXPECT_FALSE(program->modoAutomatico().autoVendite);
    EXPECT_TRUE(errors.empty());
}

TEST_F(StartUp, MissingSiteConfigurationEndsTheProgram)
{
    QFile::remove(path(QStringLiteral("Tavira.XML")));
    ModalScript script;
    script.thenPress(QMessageBox::Ok);
    try {
        start(QStringLiteral("/A /C"));
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.status, 1);
    }
    ASSERT_EQ(script.shown(), 1);
    EXPECT_EQ(script.titles().value(0), QStringLiteral("Attenzione!"));
    EXPECT_EQ(script.texts().value(0), QStringLiteral("Il File di configurazione '") +
                                           QDir::toNativeSeparators(path(QStringLiteral("Tavira.XML"))) +
                                           QStringLiteral("' non è Stato Trovato!! "));
    const QList<QByteArray> log = readBytes(QStringLiteral("LOG.Dat")).split('\n');
    ASSERT_EQ(log.size(), 3); // header, one entry, the empty rest after the last CR LF
    EXPECT_EQ(QString::fromLatin1(log.at(1).trimmed()),
              activityLogLine(QStringLiteral("File 'Tavira.XML' non è Stato Trovato")).trimmed());
    EXPECT_FALSE(termIniExists());
    // The connection was never tested: the indicator is still blank and pending.
    EXPECT_EQ(indicator().toolTip(), QString());
    EXPECT_EQ(text("txtServer"), QString());
    EXPECT_FALSE(find<QTimer>("TimerComandiAuto").isActive());
    EXPECT_FALSE(program->modoAutomatico().autoCatalogo);
}

} // namespace
