#include "app/frmmain.h"

#include "ui_frmmain.h"

#include "app/folderopener.h"
#include "services/activenames.h"
#include "services/fixedwidth.h"
#include "services/ui/apppointer.h"

#include <QCloseEvent>
#include <QTimer>

namespace {
// The password travels with the user field as a property that no widget displays.
const char* const kPassword = "password";

constexpr int kIntervalloTimer = 3000;

// Dot limits of the panels: the catalog row empties past 22 dots, the sales row past 27; the update
// panel has none.
constexpr int kPuntiCatalogo = 22;
constexpr int kPuntiVendite = 27;

void mostraCampo(QLineEdit& field, const QString& text)
{
    field.setText(text);
    field.setToolTip(text);
}

int indice(Pannello panel)
{
    return static_cast<int>(panel);
}

QTimer* nuovoTimer(QWidget* owner, const char* name)
{
    auto* timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(kIntervalloTimer);
    return timer;
}
} // namespace

FrmMain::FrmMain(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::FrmMain>()),
      m_timerComandiAuto(nuovoTimer(this, "TimerComandiAuto")), m_timerEnd(nuovoTimer(this, "TimerEnd"))
{
    m_ui->setupUi(this);
    // Created at the size its layout needs: a platform that does not follow size hints (offscreen) would
    // otherwise give the window back its designed size later, with the run panels overlapping.
    resize(size().expandedTo(minimumSizeHint()));
    m_pannelli[indice(Pannello::Catalogo)] =
        std::make_unique<PannelloRun>(*m_ui->ListLOG1, *m_ui->PB1, *m_ui->lblAvan, kPuntiCatalogo);
    m_pannelli[indice(Pannello::Vendite)] =
        std::make_unique<PannelloRun>(*m_ui->ListLOG3, *m_ui->Pb3, *m_ui->lblAvan3, kPuntiVendite);
    m_pannelli[indice(Pannello::Aggiornamento)] =
        std::make_unique<PannelloRun>(*m_ui->ListLOG2, *m_ui->PB2, *m_ui->lblAvan2, 0);
    for (auto& panel : m_pannelli)
        panel->azzera();
    ::mostraStatoConnessione(*m_ui->lblTest1, StatoConnessione::InAttesa);
    collegaComandi();
}

FrmMain::~FrmMain() = default;

void FrmMain::collegaComandi()
{
    connect(m_ui->cmdCambiaDB, &QPushButton::clicked, this, &FrmMain::cambiaDatabaseRichiesto);
    connect(m_ui->lblTest1, &EtichettaCliccabile::clicked, this, &FrmMain::testConnessioneRichiesto);
    connect(m_ui->cmdOpzioniCatTot, &QPushButton::clicked, this,
            [this] { Q_EMIT opzioniRichieste(Pannello::Catalogo); });
    connect(m_ui->cmdOpzioniVendite, &QPushButton::clicked, this,
            [this] { Q_EMIT opzioniRichieste(Pannello::Vendite); });
    connect(m_ui->cmdOpzioniAggiornamento, &QPushButton::clicked, this,
            [this] { Q_EMIT opzioniRichieste(Pannello::Aggiornamento); });
    connect(m_ui->cmdCreaCatalogoTot, &QPushButton::clicked, this,
            [this] { Q_EMIT runRichiesto(Pannello::Catalogo); });
    connect(m_ui->cmdImpVendite, &QPushButton::clicked, this,
            [this] { Q_EMIT runRichiesto(Pannello::Vendite); });
    connect(m_ui->cmdCreaAggiornamento, &QPushButton::clicked, this,
            [this] { Q_EMIT runRichiesto(Pannello::Aggiornamento); });
    connect(m_ui->CmdEsci, &QPushButton::clicked, this, &FrmMain::esciRichiesto);
    connect(m_ui->CmdCartellaCatalogo, &QPushButton::clicked, this,
            [this] { apriCartellaDi(*m_ui->txtDest); });
    connect(m_ui->CmdCartellaVendite, &QPushButton::clicked, this,
            [this] { apriCartellaDi(*m_ui->txtOrig); });
    connect(m_ui->CmdCartellaAggiornamento, &QPushButton::clicked, this,
            [this] { apriCartellaDi(*m_ui->txtDestAgg); });
}

void FrmMain::svuota()
{
    mostraConnessione({});
    ::mostraStatoConnessione(*m_ui->lblTest1, StatoConnessione::InAttesa);
    for (QLineEdit* field : {m_ui->txtDest, m_ui->txtFile, m_ui->txtOrig, m_ui->txtNomeFileVen,
                             m_ui->txtNomeFileAgg, m_ui->txtDestAgg})
        field->setText(QString());
    for (auto& panel : m_pannelli) {
        panel->svuotaAttivita();
        panel->azzera();
    }
}

void FrmMain::mostraConnessione(const ImpostazioniConnessione& settings)
{
    mostraCampo(*m_ui->txtServer, settings.server);
    mostraCampo(*m_ui->txtUtente, settings.utente);
    m_ui->txtUtente->setProperty(kPassword, settings.password);
    mostraCampo(*m_ui->txtDb, settings.database);
}

ImpostazioniConnessione FrmMain::impostazioniConnessione() const
{
    return {m_ui->txtServer->text(), m_ui->txtUtente->text(), m_ui->txtUtente->property(kPassword).toString(),
            m_ui->txtDb->text()};
}

QLineEdit& FrmMain::campoDatabase()
{
    return *m_ui->txtDb;
}

void FrmMain::mostraStatoConnessione(StatoConnessione state)
{
    ::mostraStatoConnessione(*m_ui->lblTest1, state);
}

void FrmMain::mostraEsitoConnessione(bool connected)
{
    ::mostraEsitoConnessione(*m_ui->lblTest1, connected);
}

void FrmMain::mostraImpostazioni(Pannello exchange, const ImpostazioniScambio& settings)
{
    switch (exchange) {
    case Pannello::Catalogo:
        mostraCampo(*m_ui->txtDest, settings.cartella);
        mostraCampo(*m_ui->txtFile, settings.nome);
        m_ui->txtQualiTit->setText(settings.qualiTitoli.value_or(QString()));
        break;
    case Pannello::Vendite:
        mostraCampo(*m_ui->txtOrig, settings.cartella);
        mostraCampo(*m_ui->txtNomeFileVen, settings.nome);
        break;
    case Pannello::Aggiornamento:
        mostraCampo(*m_ui->txtDestAgg, settings.cartella);
        mostraCampo(*m_ui->txtNomeFileAgg, settings.nome);
        break;
    }
}

QTimer& FrmMain::timerComandiAuto()
{
    return *m_timerComandiAuto;
}
QTimer& FrmMain::timerEnd()
{
    return *m_timerEnd;
}

void FrmMain::impostaControlloChiusura(std::function<bool()> mayClose)
{
    m_controlloChiusura = std::move(mayClose);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    if (m_controlloChiusura && !m_controlloChiusura()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void FrmMain::apriCartellaDi(const QLineEdit& field)
{
    // The window's own hourglass, not the application's, while the desktop is asked.
    setCursor(Qt::WaitCursor);
    apriCartella(field.text());
    unsetCursor();
}

PannelloRun& FrmMain::pannello(Pannello panel)
{
    return *m_pannelli[indice(panel)];
}

void FrmMain::impostaOccupato(bool busy)
{
    // Busy: the whole window refuses input and the application shows the hourglass. Idle: the window
    // takes input again and the application pointer is the icon pointer (shown as the arrow).
    // A disabled window has no focused control: the error report and the logs name the one that had
    // the focus before, for as long as the window is busy.
    if (busy && !m_occupato) {
        const QWidget* focused = focusWidget();
        ricordaControlloAttivo(focused ? focused->objectName() : QString());
    } else if (!busy) {
        ricordaControlloAttivo(QString());
    }
    m_occupato = busy;
    setEnabled(!busy);
    setAppPointer(busy ? AppPointer::Hourglass : AppPointer::Icon);
}
