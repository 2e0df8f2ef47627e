#include "app/startup.h"

#include "app/connectioncheck.h"
#include "app/core/commandline.h"
#include "app/core/exchangesettings.h"
#include "app/frmmain.h"
#include "services/activitylog.h"
#include "services/errorreport.h"
#include "services/programexit.h"
#include "services/ui/accesso.h"
#include "services/ui/modal.h"
#include "store/siteconfig.h"

#include <QTimer>

namespace {
constexpr int kStatoErrore = 1;
}

Avvio::Avvio(FrmMain& window, ModoAutomatico& flags) : m_window(window), m_flags(flags) {}

bool Avvio::esegui(const QString& commandLine)
{
    std::optional<int> end;
    try {
        end = passi(commandLine);
        if (!end) m_window.timerComandiAuto().start();
    } catch (...) {
        segnalaErrore(QStringLiteral("(ConfFTP_Click)"));
        return false;
    }
    // Ending the program stays outside the trap: it is no failure.
    if (end) terminaProgramma(*end);
    return true;
}

std::optional<int> Avvio::passi(const QString& commandLine)
{
    m_window.svuota();
    if (!configurazioneLetta()) return kStatoErrore;

    const ConfigurazioneSito& site = configurazioneSito();
    m_window.mostraConnessione({site.server, site.utente, site.password, site.database});
    m_window.mostraStatoConnessione(verificaConnessione(m_window.impostazioniConnessione())
                                        ? StatoConnessione::Connessa
                                        : StatoConnessione::NonRiuscitaAvvio);

    mostraImpostazioniScambi();

    m_flags = ModoAutomatico{};
    const SwitchAvvio switches = leggiSwitch(commandLine);
    if (!switches.senzaAccesso && !AccessoLimitato(nullptr)) return kStatoErrore;
    m_flags.autoCatalogo = switches.autoCatalogo;
    m_flags.autoVendite = switches.autoVendite;
    if (switches.autoCatalogo || switches.autoVendite)
        m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
    return std::nullopt;
}

bool Avvio::configurazioneLetta()
{
    if (LeggiConfigurazione(PercorsoConfigurazione())) return true;
    ScriviLog(QStringLiteral("File 'Tavira.XML' non è Stato Trovato"));
    mostraMessaggio(nullptr, QMessageBox::Critical, QStringLiteral("Attenzione!"),
                    QStringLiteral("Il File di configurazione '") + PercorsoConfigurazione() +
                        QStringLiteral("' non è Stato Trovato!! "));
    return false;
}

void Avvio::mostraImpostazioniScambi()
{
    // Each exchange: read and show its folder and name (and the catalog's title selection), then write
    // back folder and name, so that the defaults shown become stored values.
    for (const Pannello exchange : scambi()) {
        const ImpostazioniScambio settings = leggiImpostazioni(exchange);
        m_window.mostraImpostazioni(exchange, settings);
        scriviImpostazioni(exchange, settings);
    }
}
