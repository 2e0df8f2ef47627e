#include "qtprinting.h"
#include "sitefixture.h"

#include "services/parametri.h"
#include "store/embeddedstore.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
class SettingsCommands : public SiteTest
{
protected:
    void SetUp() override
    {
        SiteTest::SetUp();
        ASSERT_TRUE(start(QStringLiteral("/A")));
        window().timerComandiAuto().stop();
        window().show();
    }

    void click(const char* button) { QTest::mouseClick(&find<QPushButton>(button), Qt::LeftButton); }
    QLabel& indicator() const { return find<QLabel>("lblTest1"); }

    // Every settings field, to compare before and after a command.
    QStringList fields() const
    {
        QStringList values;
        for (const char* name : {"txtServer", "txtDb", "txtUtente", "txtDest", "txtFile", "txtQualiTit",
                                 "txtOrig", "txtNomeFileVen", "txtDestAgg", "txtNomeFileAgg"})
            values << text(name) << tip(name);
        values << indicator().text() << indicator().toolTip();
        return values;
    }

    // A settings dialog step standing for an operator who stored these values and closed the dialog.
    static ModalScript::Step storeAndClose(QList<std::pair<QString, QString>> values)
    {
        return [values](QDialog& dialog) {
            for (const auto& [key, value] : values)
                ScriviParametro(key, value);
            dialog.reject();
        };
    }
};

struct OptionsCase
{
    const char* button;
    const char* folderKey;
    const char* nameKey;
    const char* folderField;
    const char* nameField;
    const char* defaultName;
};

const OptionsCase kOptions[] = {
    {"cmdOpzioniCatTot", "PathDestCatalogoTotale", "NomeFileCatalogoTotale", "txtDest", "txtFile",
     "Catalogo.DAT"},
    {"cmdOpzioniVendite", "PathOrigineVendite", "NomeFileVendite", "txtOrig", "txtNomeFileVen",
     "Vendite.DAT"},
    {"cmdOpzioniAggiornamento", "PathDestinazioneAggiornamento", "NomeFileAggiornamento", "txtDestAgg",
     "txtNomeFileAgg", "Update.DAT"},
};

TEST_F(SettingsCommands, FieldsReadAgainWhenTheDialogCloses)
{
    for (const OptionsCase& row : kOptions) {
        ModalScript script;
        script.then(typePassword(QStringLiteral("vespra")))
            .then(storeAndClose({{QString::fromUtf8(row.folderKey), QStringLiteral("/srv/scambio")},
                                 {QString::fromUtf8(row.nameKey), QStringLiteral("nuovo.dat")}}));
        click(row.button);
        EXPECT_EQ(script.shown(), 2) << row.button;
        EXPECT_TRUE(script.finished()) << row.button;
        EXPECT_EQ(text(row.folderField), QStringLiteral("/srv/scambio")) << row.button;
        EXPECT_EQ(tip(row.folderField), QStringLiteral("/srv/scambio")) << row.button;
        EXPECT_EQ(text(row.nameField), QStringLiteral("nuovo.dat")) << row.button;
        EXPECT_EQ(tip(row.nameField), QStringLiteral("nuovo.dat")) << row.button;
        EXPECT_TRUE(window().isEnabled()) << row.button;
    }
}

TEST_F(SettingsCommands, EmptyKeysShowTheDefaultsAndStayEmpty)
{
    for (const OptionsCase& row : kOptions) {
        ModalScript script;
        script.then(typePassword(QStringLiteral("vespra")))
            .then(storeAndClose({{QString::fromUtf8(row.folderKey), QString()},
                                 {QString::fromUtf8(row.nameKey), QStringLiteral("   ")}}));
        click(row.button);
        EXPECT_EQ(text(row.folderField), folderShownByDefault()) << row.button;
        EXPECT_EQ(tip(row.folderField), folderShownByDefault()) << row.button;
        EXPECT_EQ(text(row.nameField), QString::fromUtf8(row.defaultName)) << row.button;
        // Nothing written back: term.ini keeps the empty values until the next start.
        EXPECT_EQ(LeggiParametro(QString::fromUtf8(row.folderKey)), QString()) << row.button;
        EXPECT_EQ(LeggiParametro(QString::fromUtf8(row.nameKey)), QString()) << row.button;
    }
}

TEST_F(SettingsCommands, CatalogTitleSelectionReadAgain)
{
    ModalScript script;
    script.then(typePassword(QStringLiteral("vespra")))
        .then(storeAndClose({{QStringLiteral("QualiTitoliCatalogoTotale"), QStringLiteral("1")}}));
    click("cmdOpzioniCatTot");
    EXPECT_EQ(text("txtQualiTit"), QStringLiteral("Tutti i Titoli (Ultimi 3 Numeri)"));

    ModalScript again;
    again.then(typePassword(QStringLiteral("vespra")))
        .then(storeAndClose({{QStringLiteral("QualiTitoliCatalogoTotale"), QStringLiteral("0")}}));
    click("cmdOpzioniCatTot");
    EXPECT_EQ(text("txtQualiTit"), QStringLiteral("Solo i non Richiamati"));
}

TEST_F(SettingsCommands, ClosingWithoutSavingKeepsTheSameValues)
{
    const QStringList before = fields();
    const QByteArray stored = readBytes(QStringLiteral("term.ini"));
    ModalScript script;
    script.then(typePassword(QStringLiteral("vespra"))).then([](QDialog& dialog) { dialog.reject(); });
    click("cmdOpzioniVendite");
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(fields(), before);
    EXPECT_EQ(readBytes(QStringLiteral("term.ini")), stored);
}

TEST_F(SettingsCommands, RefusedPasswordChangesNothing)
{
    for (const char* button :
         {"cmdCambiaDB", "cmdOpzioniCatTot", "cmdOpzioniVendite", "cmdOpzioniAggiornamento"}) {
        const QStringList before = fields();
        const QByteArray stored = readBytes(QStringLiteral("term.ini"));
        ModalScript script;
        script.then(cancelPassword());
        click(button);
        EXPECT_EQ(script.shown(), 1) << button; // no dialog after the refusal
        EXPECT_EQ(script.unexpected(), 0) << button;
        EXPECT_EQ(fields(), before) << button;
        EXPECT_EQ(readBytes(QStringLiteral("term.ini")), stored) << button;
        EXPECT_TRUE(window().isEnabled()) << button;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor) << button;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsCommands, ServerDownShowsTheMessageAndAsksNoPassword)
{
    window().mostraConnessione({QStringLiteral("sqlite:") + path(QStringLiteral("spento")),
                                QStringLiteral("negozio"), QStringLiteral("pw"),
                                QStringLiteral("TAVIRA_TEST")});
    const QStringList before = fields();
    ModalScript script;
    script.thenPress(QMessageBox::Ok);
    click("cmdCambiaDB");
    ASSERT_EQ(script.shown(), 1);
    EXPECT_EQ(script.titles().value(0), QStringLiteral("Attenzione"));
    EXPECT_TRUE(script.texts().value(0).startsWith(QStringLiteral("Impossibile Connettersi al DataBase")));
    EXPECT_EQ(fields(), before);
    EXPECT_TRUE(window().isEnabled());
}

TEST_F(SettingsCommands, ChoosingADatabaseTestsItAgain)
{
    const QString other = path(QStringLiteral("store/TAVIRA_ALTRO.sqlite"));
    creaStoreVuoto(other);
    ModalScript script;
    script.then(typePassword(QStringLiteral("vespra"))).then([other](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>(QStringLiteral("ComboDB"));
        auto* choose = dialog.findChild<QPushButton*>(QStringLiteral("cmdModifica"));
        ASSERT_TRUE(list && choose);
        list->setCurrentIndex(list->findText(QStringLiteral("TAVIRA_ALTRO")));
        QFile::remove(other); // the chosen database accepts no connection any more
        QTest::mouseClick(choose, Qt::LeftButton);
    });
    click("cmdCambiaDB");
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(text("txtDb"), QStringLiteral("TAVIRA_ALTRO"));
    EXPECT_EQ(tip("txtDb"), QStringLiteral("TAVIRA_ALTRO"));
    EXPECT_EQ(indicator().text(), QStringLiteral("NO"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(indicator().toolTip(), QStringLiteral("Connessione al Database di Tavira non Riuscita!!"));
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(LeggiParametro(QStringLiteral("PathDestCatalogoTotale")),
              folderShownByDefault()); // nothing stored
}

TEST_F(SettingsCommands, ClosingTheChooserTestsTheCurrentDatabase)
{
    window().mostraStatoConnessione(StatoConnessione::NonRiuscitaAvvio);
    ModalScript script;
    script.then(typePassword(QStringLiteral("vespra"))).then([](QDialog& dialog) { dialog.reject(); });
    click("cmdCambiaDB");
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(text("txtDb"), QStringLiteral("TAVIRA_TEST"));
    EXPECT_EQ(indicator().text(), QStringLiteral("OK"));
    EXPECT_EQ(indicator().toolTip(),
              QStringLiteral("Connessione al Database di Tavira Avvenuta con Successo!!"));
}

TEST_F(SettingsCommands, IndicatorClickTestsWithoutChangingTheTooltip)
{
    ASSERT_EQ(indicator().text(), QStringLiteral("OK"));
    ASSERT_TRUE(QFile::remove(storeFile())); // the store goes away
    ModalScript script;
    QTest::mouseClick(&indicator(), Qt::LeftButton);
    EXPECT_EQ(script.shown(), 0); // no password, no message
    EXPECT_EQ(indicator().text(), QStringLiteral("NO"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(indicator().toolTip(),
              QStringLiteral("Connessione al Database di Tavira Avvenuta con Successo!!"));
    EXPECT_TRUE(window().isEnabled());

    creaStoreVuoto(storeFile()); // and comes back
    QTest::mouseClick(&indicator(), Qt::LeftButton);
    EXPECT_EQ(indicator().text(), QStringLiteral("OK"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(0, 255, 0));
}
} // namespace
