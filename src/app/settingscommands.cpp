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
    m_window.impostaOccupato(true);
    try {
        if (AccessoLimitato(&m_window)) {
            mostraOpzioni(exchange, &m_window, m_window.impostazioniConnessione().server);
            // Saved or not, the window shows what term.ini now holds, by the start-up rules; nothing
            // is written back.
            m_window.mostraImpostazioni(exchange, leggiImpostazioni(exchange));
        }
    } catch (...) {
        segnalaErrore(descrizioneScambio(exchange).tagComando);
    }
    m_window.impostaOccupato(false);
}
