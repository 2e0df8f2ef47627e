#include "catalog/catalogexport.h"

#include "catalog/catalogchecks.h"
#include "catalog/catalogfile.h"
#include "catalog/catalogpanel.h"
#include "catalog/catalogqueries.h"
#include "catalog/catalogtitles.h"
#include "services/clock.h"
#include "services/errorreport.h"
#include "services/failure.h"
#include "services/parametri.h"
#include "services/progress.h"
#include "store/connectionstrings.h"
#include "store/storeconnection.h"

#include <memory>

namespace {
const QString kConnessioneFallita = QStringLiteral("Connessione al Database di Tavira Fallita");

// One run of the export, from the panel reset to its success end or abort path.
class EsportazioneCatalogo
{
public:
    explicit EsportazioneCatalogo(const PannelloCatalogo& panel) : m_panel(panel), m_display(panel.display())
    {
    }

    EsitoRun esegui()
    {
        m_display.azzeraPannello(Pannello::Catalogo);
        m_display.impostaTitolo(titoloInizioRun());
        m_display.lasciaPassareEventi();
        log(PannelloCatalogo::riga());
        log(QStringLiteral("Inizio Controlli Catalogo TOTALE"));
        log(QStringLiteral("Test Connessione Database Tavira"));
        if (!apriConnessione()) return interrompi();

        const auto destination = controllaDestinazione(m_panel);
        if (!destination) return interrompi();
        log(QStringLiteral("Cartella di Destinazione OK"));
        log(QStringLiteral("Fine Controlli"));
        log(QStringLiteral("Inizio Esportazione CATALOGO TOTALE"));

        m_display.impostaOccupato(true);
        m_display.lasciaPassareEventi();
        const ModoSelezione mode = modoSelezione(LeggiParametro(QStringLiteral("QualiTitoliCatalogoTotale")));
        log(descrizioneModo(mode));

        m_display.svuotaAttivita(Pannello::Catalogo);
        m_file = std::make_unique<FileCatalogo>(destination->cartella, destination->nome);
        if (!m_file->apri()) {
            log(QStringLiteral("Impossibile Creare il File Temporaneo del Catalogo Totale"));
            log(QStringLiteral("Accesso Negato"));
            return interrompi();
        }
        const QueryCatalogo queries(m_connection->dialetto(), dataLimiteTitoli(adesso().date()));
        const bool anyTitle = esportaTitoli(*m_connection, queries, mode, *m_file, m_panel);
        m_file->chiudi();
        if (!(anyTitle ? mettiInPosto() : togliCatalogo())) return interrompi();
        return concludi();
    }

private:
    void log(const QString& text) const { m_panel.log(text); }

    bool apriConnessione()
    {
        const ImpostazioniConnessione settings = m_display.impostazioniConnessione();
        impostaStringaConnessioneCorrente(
            StringaConnessione(settings.server, settings.utente, settings.password, settings.database));
        QString reason;
        try {
            m_connection = std::make_unique<StoreConnection>(settings, 3, 60);
        } catch (const Failure& failure) {
            reason = failure.description();
        } catch (const std::exception& failure) {
            reason = QString::fromLocal8Bit(failure.what());
        }
        if (!m_connection) {
            log(kConnessioneFallita + QLatin1Char(' '));
            log(reason);
            m_panel.avvisaErrore(kConnessioneFallita);
            return false;
        }
        if (!m_connection->isOpen()) {
            m_connection.reset();
            log(kConnessioneFallita);
            m_panel.avvisaErrore(kConnessioneFallita);
            return false;
        }
        log(QStringLiteral("Connessione OK !"));
        return true;
    }

    // The new catalog replaces the old one (if any) in one step.
    bool mettiInPosto()
    {
        const QString existing = m_file->nomeEsistente();
        if (!existing.isEmpty()) log(QStringLiteral("Esiste già un File di Catalogo Totale"));
        if (m_file->metteInPosto(existing)) return true;
        accessoNegato();
        return false;
    }

    // No title qualifies: the export succeeds with no catalog, so an old one goes.
    bool togliCatalogo()
    {
        const QString existing = m_file->nomeEsistente();
        if (existing.isEmpty() || m_file->rimuovi(existing)) return true;
        accessoNegato();
        return false;
    }

    void accessoNegato() const
    {
        log(QStringLiteral("Impossibile Sovrascrivere il File del Catalogo Totale"));
        log(QStringLiteral("Accesso Negato"));
    }

    EsitoRun concludi()
    {
        log(PannelloCatalogo::riga());
        log(QStringLiteral("Esportazione Titoli Terminata con Successo !"));
        log(PannelloCatalogo::riga());
        if (!m_panel.automatico())
            m_display.avvisa(IconaMessaggio::Informazione, QStringLiteral("OK"),
                             QStringLiteral("Esportazione Titoli Terminata con Successo !"));
        m_connection.reset();
        m_display.impostaOccupato(false);
        m_display.impostaTitolo(titoloBase());
        m_display.svuotaAttivita(Pannello::Catalogo);
        return EsitoRun::Completata;
    }

    EsitoRun interrompi()
    {
        m_file.reset(); // closes the temporary file; whatever it holds stays there
        m_display.impostaOccupato(false);
        log(PannelloCatalogo::riga());
        log(QStringLiteral("Esportazione INTERROTTA !!"));
        log(PannelloCatalogo::riga());
        m_display.impostaTitolo(titoloBase());
        m_display.svuotaAttivita(Pannello::Catalogo);
        m_connection.reset();
        return EsitoRun::Interrotta;
    }

    const PannelloCatalogo& m_panel;
    RunDisplay& m_display;
    std::unique_ptr<StoreConnection> m_connection;
    std::unique_ptr<FileCatalogo> m_file;
};
} // namespace

EsitoRun esportaCatalogoTotale(RunDisplay& display, bool automatico)
{
    const PannelloCatalogo panel(display, automatico);
    try {
        return EsportazioneCatalogo(panel).esegui();
    } catch (...) {
        segnalaErrore(QStringLiteral("(Crea File Catalogo)"));
    }
    // The report normally ends the program; should it return, the window is usable again.
    try {
        display.impostaOccupato(false);
    } catch (...) {
    }
    return EsitoRun::Interrotta;
}
