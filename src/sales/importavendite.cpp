#include "sales/importavendite.h"

#include "sales/documents/documentivendita.h"
#include "sales/presavendite.h"
#include "store/runscambio.h"

#include <optional>

namespace {
// The import's own steps, between the opening and the endings that every exchange run shares.
class ImportazioneVendite
{
public:
    explicit ImportazioneVendite(const ContestoRun& context) : m_run(context, Pannello::Vendite) {}

    EsitoRun esegui()
    {
        m_run.avvia();
        if (!m_run.apriConnessione()) return m_run.interrompi();
        const std::optional<FileScambio> origin = controllaOrigine();
        if (!origin) return m_run.interrompi();
        CronacaSuPannello cronaca(m_run.display(), origin->cartella, origin->nome);

        const bool pending = !temporaneoInSospeso(origin->cartella, origin->nome).isEmpty();
        if (pending) {
            avvisaAttenzione(QStringLiteral("File Temporaneo In Sospeso"),
                             QStringLiteral("C'à un File Temporaneo in Sospeso Faccio Questo"));
        } else if (fileVenditePresente(origin->cartella, origin->nome).isEmpty()) {
            // Rows staged by earlier runs still become documents.
            avvisaAttenzione(QStringLiteral("Non C'è Nessun File fa Importare"),
                             QStringLiteral("Non C'è Nessun File da Importare!!"));
            return creaDocumenti(cronaca, 0);
        }
        log(QStringLiteral("File da Importare OK"));
        log(QStringLiteral("Fine Controlli"));
        log(QStringLiteral("Inizio Importazione Vendite"));
        m_run.entraOccupato();

        OpzioniPresa options;
        options.inSospeso = pending;
        const EsitoPresa taken =
            prendiFileVendite(m_run.connessione(), cronaca, origin->cartella, origin->nome, options);
        if (!taken.completata) return m_run.interrompi();
        return creaDocumenti(cronaca, taken.saltate);
    }

private:
    void log(const QString& text) const { m_run.log(text); }

    // The origin folder and the file name (the import deletes the file it takes in: never one of the
    // program's own), and no other import working on that folder. Each refusal is logged and told; nothing
    // is returned then and the run ends interrupted.
    std::optional<FileScambio> controllaOrigine()
    {
        auto origin = m_run.controllaFile(QStringLiteral("Test Cartella di Origine"),
                                          QStringLiteral("La Cartella di Origine non è Configurata"),
                                          QStringLiteral("la cartella di Origine non Esiste!!"));
        if (origin &&
            !m_run.riserva(
                origin->cartella + origin->nome,
                QStringLiteral("Un'Altra Importazione delle Vendite da questa Cartella è in Corso")))
            origin.reset();
        return origin;
    }

    // The two findings of the file check, in the log and in a box titled "Attenzione".
    void avvisaAttenzione(const QString& line, const QString& message) const
    {
        log(line);
        m_run.pannello().avvisa(IconaMessaggio::Critica, QStringLiteral("Attenzione"), message);
    }

    // The documents, then the closing lines with the skipped count of the last file taken in.
    EsitoRun creaDocumenti(CronacaVendite& cronaca, int skipped)
    {
        // Listing the pending sales may wait for a lock held by another writer.
        m_run.display().mostraOra();
        creaDocumentiVendita(
            m_run.connessione(), [&](const QStringList& lines) { cronaca.logRighe(lines); },
            [this] { m_run.display().lasciaPassareEventi(); });
        log(QStringLiteral("Creazione Vendita in Tavira Terminata"));
        return m_run.concludi({QStringLiteral("Righe Saltate = ") + QString::number(skipped)},
                              QStringLiteral("Importazione Vendite Terminata con Successo !"));
    }

    RunScambio m_run;
};
} // namespace

EsitoRun importaVendite(const ContestoRun& context)
{
    return conTrappolaErrori(context, Pannello::Vendite,
                             [&context] { return ImportazioneVendite(context).esegui(); });
}
