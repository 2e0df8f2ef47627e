#include "app/settingscommands.h"

#include "app/connectioncheck.h"
#include "app/core/exchangesettings.h"
#include "app/frmmain.h"
#include "services/errorreport.h"
#include "services/ui/accesso.h"
#include "services/ui/modal.h"
#include "settings/opzioni.h"
#include "store/ui/frmelencodatabase.h"

#include <QApplication>

namespace {
// What differs between the three settings buttons.
struct ComandoOpzioni
{
    Pannello scambio;
    TipoOpzioni dialogo;
    const char* tag; // of the error report
};

constexpr ComandoOpzioni kComandiOpzioni[] = {
    {Pannello::Catalogo, TipoOpzioni::CatalogoTotale, "(Opzioni Cat.Totale)"},
    {Pannello::Vendite, TipoOpzioni::Vendite, "(Opzioni Vendite)"},
    {Pannello::Aggiornamento, TipoOpzioni::Aggiornamento, "(Opzioni Aggiornamento)"},
};

const ComandoOpzioni& comandoOpzioni(Pannello exchange)
{
    for (const ComandoOpzioni& command : kComandiOpzioni)
        if (command.scambio == exchange) return command;
    return kComandiOpzioni[0];
}
} // namespace

ComandiImpostazioni::ComandiImpostazioni(FrmMain& window) : m_window(window) {}

void ComandiImpostazioni::cambiaDatabase()
{
    m_window.impostaOccupato(true);
    try {
        if (verificaServer(m_window.impostazioniConnessione(), &m_window) && AccessoLimitato(&m_window)) {
            {
                FrmElencoDatabase chooser(m_window.impostazioniConnessione(), m_window.campoDatabase(),
                                          &m_window);
                eseguiModale(chooser);
            }
            // Also when the chooser was closed without a choice: the current database is tested again.
            m_window.mostraStatoConnessione(StatoConnessione::InAttesa);
            m_window.mostraStatoConnessione(verificaConnessione(m_window.impostazioniConnessione())
                                                ? StatoConnessione::Connessa
                                                : StatoConnessione::NonRiuscita);
        }
    } catch (...) {
        segnalaErrore(QStringLiteral("(Cambia Database)"));
    }
    m_window.impostaOccupato(false);
}

void ComandiImpostazioni::testConnessione()
{
    m_window.mostraEsitoConnessione(false);
    m_window.repaint();
    QApplication::processEvents();
    if (verificaConnessione(m_window.impostazioniConnessione())) m_window.mostraEsitoConnessione(true);
}

void ComandiImpostazioni::cambiaOpzioni(Pannello exchange)
{
    const ComandoOpzioni& command = comandoOpzioni(exchange);
    m_window.impostaOccupato(true);
    try {
        if (AccessoLimitato(&m_window)) {
            mostraOpzioni(command.dialogo, &m_window);
            // Saved or not, the window shows what term.ini now holds, by the start-up rules; nothing
            // is written back.
            m_window.mostraImpostazioni(exchange, leggiImpostazioni(exchange));
        }
    } catch (...) {
        segnalaErrore(QLatin1String(command.tag));
    }
    m_window.impostaOccupato(false);
}
