#include "catalog/catalogexport.h"

#include "catalog/catalogchecks.h"
#include "catalog/catalogfile.h"
#include "catalog/catalogselection.h"
#include "catalog/catalogtitles.h"
#include "services/clock.h"
#include "services/parametri.h"
#include "store/archiviocatalogo.h"
#include "store/runscambio.h"

#include <memory>

namespace {
// The export's own steps, between the opening and the endings that every exchange run shares.
class EsportazioneCatalogo
{
public:
    explicit EsportazioneCatalogo(const ContestoRun& context) : m_run(context, Pannello::Catalogo) {}

    EsitoRun esegui()
    {
        m_run.avvia();
        if (!m_run.apriConnessione()) return interrompi();

        const auto destination = controllaDestinazione(m_run);
        if (!destination) return interrompi();
        log(QStringLiteral("Cartella di Destinazione OK"));
        log(QStringLiteral("Fine Controlli"));
        log(QStringLiteral("Inizio Esportazione CATALOGO TOTALE"));

        m_run.entraOccupato();
        const ModoSelezione mode = modoSelezione(LeggiParametro(chiaveQualiTitoli()));
        log(descrizioneModo(mode));

        m_run.display().svuotaAttivita(Pannello::Catalogo);
        m_file = std::make_unique<FileCatalogo>(destination->cartella, destination->nome);
        if (!m_file->apri()) {
            log(QStringLiteral("Impossibile Creare il File Temporaneo del Catalogo Totale"));
            log(QStringLiteral("Accesso Negato"));
            return interrompi();
        }
        ArchivioCatalogo archive(m_run.connessione(), mode);
        const bool anyTitle =
            esportaTitoli(archive, dataLimiteTitoli(adesso().date()), *m_file, m_run.pannello());
        m_file->chiudi();
        if (!(anyTitle ? mettiInPosto() : togliCatalogo())) return interrompi();
        return m_run.concludi({}, QStringLiteral("Esportazione Titoli Terminata con Successo !"));
    }

private:
    void log(const QString& text) const { m_run.log(text); }

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

    EsitoRun interrompi()
    {
        m_file.reset(); // closes the temporary file; whatever it holds stays there
        return m_run.interrompi();
    }

    RunScambio m_run;
    std::unique_ptr<FileCatalogo> m_file;
};
} // namespace

EsitoRun esportaCatalogoTotale(const ContestoRun& context)
{
    return conTrappolaErrori(context, Pannello::Catalogo,
                             [&context] { return EsportazioneCatalogo(context).esegui(); });
}
