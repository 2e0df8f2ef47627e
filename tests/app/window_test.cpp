#include "app/frmmain.h"
#include "app/windowdisplay.h"
#include "qtprinting.h"

#include "app/loglist.h"
#include "services/activenames.h"
#include "services/failure.h"
#include "services/programfolder.h"
#include "services/ui/frmerrore.h"
#include "testfolder.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
class MainWindow : public ProgramFolderTest
{
protected:
    template <typename T> T* find(const char* name) const
    {
        T* widget = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit& field(const char* name) const { return *find<QLineEdit>(name); }
    QLabel& indicator() const { return *find<QLabel>("lblTest1"); }

    FrmMain window;
};

struct Caption
{
    const char* name;
    const char* text;
};

// Every caption of the window, found by the control's name.
const Caption kCaptions[] = {
    {"grpImpostazioni", "Impostazioni"},
    {"grpConnessione", "Connessione DataBase Tavira"},
    {"Label31", "Nome Server"},
    {"Label32", "Nome DataBase"},
    {"Label33", "Utente"},
    {"Label1", "TEST di Connessione al DataBase"},
    {"cmdCambiaDB", "&Cambia"},
    {"grpOpzioniCatalogo", "Opzioni per la Creazione del Catalogo Totale(Esporta)"},
    {"Label4", "Cartella Dest."},
    {"CmdCartellaCatalogo", "Cartella"},
    {"Label5", "Nome File"},
    {"Label2", "Quali Titoli ?"},
    {"cmdOpzioniCatTot", "&Cambia Impostazioni"},
    {"grpOpzioniVendite", "Opzioni per Importare le Vendite (Importa)"},
    {"Label7", "Cartella Orig."},
    {"CmdCartellaVendite", "Cartella"},
    {"Label6", "Nome File"},
    {"cmdOpzioniVendite", "&Cambia Impostazioni"},
    {"grpOpzioniAggiornamento", "Opzioni per la Creazione del File di Aggiornamento"},
    {"Label3", "Cartella Orig."},
    {"CmdCartellaAggiornamento", "Cartella"},
    {"Label8", "Nome File"},
    {"cmdOpzioniAggiornamento", "&Cambia Impostazioni"},
    {"grpCatalogo", "Crea File del Catalogo Totale"},
    {"cmdCreaCatalogoTot", "Inizio Espostazione Catalogo Totale"},
    {"grpVendite", "Importa File delle Vendite"},
    {"cmdImpVendite", "Inizio Importazione  Vendite"},
    {"grpAggiornamento", "Crea File di Aggiornamento"},
    {"cmdCreaAggiornamento", "Inizio Espostazione Aggiornamento"},
    {"CmdEsci", "&ESCI"},
};

QString captionOf(const QWidget& widget)
{
    if (auto* group = qobject_cast<const QGroupBox*>(&widget)) return group->title();
    if (auto* button = qobject_cast<const QPushButton*>(&widget)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    return QStringLiteral("<no caption>");
}

TEST_F(MainWindow, Captions)
{
    EXPECT_EQ(window.objectName(), QStringLiteral("FrmMain"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Esporta Importa in \"Vetrina\""));
    for (const Caption& row : kCaptions) {
        const QWidget* widget = find<QWidget>(row.name);
        if (widget) {
            EXPECT_EQ(captionOf(*widget), QString::fromUtf8(row.text)) << row.name;
        }
    }
    EXPECT_EQ(find<QPushButton>("CmdEsci")->toolTip(), QStringLiteral("Esci dal Programma"));
    // Everything sits in the outer group, the exit button included.
    const QWidget* outer = find<QWidget>("grpImpostazioni");
    for (const char* name : {"grpConnessione", "grpCatalogo", "grpAggiornamento", "CmdEsci", "ListLOG3"})
        EXPECT_TRUE(outer->isAncestorOf(find<QWidget>(name))) << name;
}

TEST_F(MainWindow, FieldsAreReadOnly)
{
    for (const char* name : {"txtServer", "txtDb", "txtUtente", "txtDest", "txtFile", "txtQualiTit",
                             "txtOrig", "txtNomeFileVen", "txtDestAgg", "txtNomeFileAgg"}) {
        EXPECT_TRUE(field(name).isReadOnly()) << name;
        EXPECT_TRUE(field(name).isEnabled()) << name; // selectable, only not editable
    }
}

TEST_F(MainWindow, TimersDisarmedAtCreation)
{
    for (const char* name : {"TimerComandiAuto", "TimerEnd"}) {
        const QTimer* timer = find<QTimer>(name);
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 3000) << name;
        EXPECT_FALSE(timer->isActive()) << name;
    }
}

TEST_F(MainWindow, PanelsStartEmpty)
{
    for (const char* name : {"PB1", "PB2", "Pb3"}) {
        const QProgressBar* bar = find<QProgressBar>(name);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
    }
    for (const char* name : {"lblAvan", "lblAvan2", "lblAvan3"})
        EXPECT_EQ(find<QLabel>(name)->text(), QString());
}

TEST_F(MainWindow, ConnectionSettingsWithTheHiddenPassword)
{
    window.mostraConnessione({QStringLiteral("SRV\\TAVIRA"), QStringLiteral("negozio"),
                              QStringLiteral("s3greta!"), QStringLiteral("TAVIRA_1")});
    EXPECT_EQ(field("txtServer").text(), QStringLiteral("SRV\\TAVIRA"));
    EXPECT_EQ(field("txtServer").toolTip(), QStringLiteral("SRV\\TAVIRA"));
    EXPECT_EQ(field("txtUtente").text(), QStringLiteral("negozio"));
    EXPECT_EQ(field("txtUtente").toolTip(), QStringLiteral("negozio"));
    EXPECT_EQ(field("txtDb").toolTip(), QStringLiteral("TAVIRA_1"));
    const ImpostazioniConnessione settings = window.impostazioniConnessione();
    EXPECT_EQ(settings.password, QStringLiteral("s3greta!"));
    EXPECT_EQ(settings.database, QStringLiteral("TAVIRA_1"));
    for (const QLineEdit* shown : window.findChildren<QLineEdit*>()) {
        EXPECT_FALSE(shown->text().contains(QStringLiteral("s3greta"))) << qPrintable(shown->objectName());
        EXPECT_FALSE(shown->toolTip().contains(QStringLiteral("s3greta"))) << qPrintable(shown->objectName());
    }
    // The database chooser writes the field itself; the settings follow it.
    window.campoDatabase().setText(QStringLiteral("TAVIRA_2"));
    EXPECT_EQ(window.impostazioniConnessione().database, QStringLiteral("TAVIRA_2"));
}

struct IndicatorCase
{
    StatoConnessione state;
    QColor colour;
    const char* caption;
    const char* tooltip;
};

TEST_F(MainWindow, IndicatorStates)
{
    const IndicatorCase cases[] = {
        {StatoConnessione::Connessa, QColor(0, 255, 0), "OK",
         "Connessione al Database di Tavira Avvenuta con Successo!!"},
        {StatoConnessione::NonRiuscitaAvvio, QColor(255, 0, 0), "NO",
         "Connessione al Database di Tavira non Riuscita"},
        {StatoConnessione::NonRiuscita, QColor(255, 0, 0), "NO",
         "Connessione al Database di Tavira non Riuscita!!"},
        {StatoConnessione::InAttesa, QColor(255, 0, 0), "NO", ""},
    };
    for (const IndicatorCase& row : cases) {
        window.mostraStatoConnessione(row.state);
        EXPECT_EQ(indicator().palette().color(QPalette::Window), row.colour) << row.caption;
        EXPECT_TRUE(indicator().autoFillBackground());
        EXPECT_EQ(indicator().text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(indicator().toolTip(), QString::fromUtf8(row.tooltip));
    }
    window.mostraStatoConnessione(StatoConnessione::Connessa);
    window.mostraEsitoConnessione(false); // the test command keeps the last message
    EXPECT_EQ(indicator().text(), QStringLiteral("NO"));
    EXPECT_EQ(indicator().palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(indicator().toolTip(),
              QStringLiteral("Connessione al Database di Tavira Avvenuta con Successo!!"));
}

TEST_F(MainWindow, BlankingEmptiesEverything)
{
    window.mostraConnessione(
        {QStringLiteral("s"), QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("d")});
    window.mostraStatoConnessione(StatoConnessione::Connessa);
    for (const Pannello exchange : scambi())
        window.mostraImpostazioni(exchange,
                                  {QStringLiteral("/x/"), QStringLiteral("n.DAT"), QStringLiteral("q")});
    DisplayFinestra display(window);
    display.scriviLog(Pannello::Catalogo, QStringLiteral("riga"));
    display.impostaMassimo(Pannello::Vendite, 20);
    for (int i = 0; i < 10; ++i)
        display.avanzaProgresso(Pannello::Vendite);

    window.svuota();

    for (const char* name : {"txtServer", "txtDb", "txtUtente", "txtDest", "txtFile", "txtOrig",
                             "txtNomeFileVen", "txtDestAgg", "txtNomeFileAgg"})
        EXPECT_EQ(field(name).text(), QString()) << name;
    for (const char* name : {"txtServer", "txtDb", "txtUtente"})
        EXPECT_EQ(field(name).toolTip(), QString()) << name;
    EXPECT_EQ(window.impostazioniConnessione().password, QString());
    EXPECT_EQ(indicator().text(), QStringLiteral("NO"));
    EXPECT_EQ(indicator().toolTip(), QString());
    EXPECT_EQ(find<LogList>("ListLOG1")->count(), 0);
    EXPECT_EQ(find<QLabel>("lblAvan3")->text(), QString());
    EXPECT_EQ(find<QProgressBar>("Pb3")->maximum(), 100);
    EXPECT_EQ(find<QProgressBar>("Pb3")->value(), 0);
}

TEST_F(MainWindow, ExitButtonReportsItsCommand)
{
    QSignalSpy exit(&window, &FrmMain::esciRichiesto);
    window.show();
    QTest::mouseClick(find<QPushButton>("CmdEsci"), Qt::LeftButton);
    EXPECT_EQ(exit.count(), 1);
}
} // namespace

TEST_F(MainWindow, AReportDuringTheBusyStateNamesTheControlThatHadTheFocus)
{
    installaReportErrori();
    setErrorPresenter([this](const ErrorRecord& record) { errors.push_back(record); });
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    find<QPushButton>("cmdCreaCatalogoTot")->setFocus();

    window.impostaOccupato(true);
    try {
        throw Failure(FailureCode::InvalidCall, QStringLiteral("Chiamata non valida"));
    } catch (...) {
        segnalaErrore(QStringLiteral("(Crea File Catalogo)"));
    }
    window.impostaOccupato(false);
    window.hide();

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].form, QStringLiteral("FrmMain"));
    EXPECT_EQ(errors[0].control, QStringLiteral("cmdCreaCatalogoTot"));
    setActiveNamesProvider({});
}
