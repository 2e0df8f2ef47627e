#include "sales/importavendite.h"

#include "sales/presavendite.h"
#include "services/errorreport.h"
#include "services/fixedwidth.h"
#include "services/parametri.h"
#include "services/programfolder.h"
#include "store/ownfiles.h"
#include "store/runscambio.h"

#include <QFileInfo>

#include <optional>

namespace {
// Where the sales file comes from, as the checks found it.
struct OrigineVendite
{
    QString cartella; // PathOrigineVendite, ending with a separator
    QString nome;     // NomeFileVendite as stored
};

// The pending staged sales made into sales documents, from the rows staged by this run and earlier ones:
// the number of documents made. This is where the document creation of sales/documents is called
// (creaDocumentiVendita, with the panel's log); until it is linked in, no document is made.
int creaDocumentiDelleVendite(StoreConnection& /*connection*/, CronacaVendite& /*cronaca*/)
{
    return 0;
}

// The import's own steps, between the opening and the endings that every exchange run shares.
class ImportazioneVendite
{
public:
    explicit ImportazioneVendite(const ContestoRun& context) : m_run(context, Pannello::Vendite) {}

    EsitoRun esegui()
    {
        m_run.avvia();
        if (!m_run.apriConnessione()) return m_run.interrompi();
        const std::optional<OrigineVendite> origin = controllaOrigine();
        if (!origin) return m_run.interrompi();
        CronacaSuPannello cronaca(m_run.display(), origin->cartella, origin->nome);

        const bool pending = !temporaneoInSospeso(origin->cartella, origin->nome).isEmpty();
        if (pending) {
            avvisaSospeso(QStringLiteral("File Temporaneo In Sospeso"),
                          QStringLiteral("C'à un File Temporaneo in Sospeso Faccio Questo"));
        } else if (fileVenditePresente(origin->cartella, origin->nome).isEmpty()) {
            // Rows staged by earlier runs still become documents.
            avvisaSospeso(QStringLiteral("Non C'è Nessun File fa Importare"),
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

    // The origin folder and the file name: configured, the folder there, no file of the program's own
    // under the names the import reads, writes and deletes, and no other import working on that folder.
    // Each refusal is logged and told; nothing is returned then and the run ends interrupted.
    std::optional<OrigineVendite> controllaOrigine()
    {
        const PannelloScambio& panel = m_run.pannello();
        const DescrizioneScambio& exchange = descrizioneScambio(Pannello::Vendite);
        log(QStringLiteral("Test Cartella di Origine"));
        OrigineVendite origin{LeggiParametro(exchange.chiaveCartella), QString()};
        if (senzaSpazi(origin.cartella).isEmpty()) {
            panel.segnala(QStringLiteral("La Cartella di Origine non è Configurata"));
            return std::nullopt;
        }
        origin.cartella = conSeparatoreFinale(origin.cartella);
        if (!QFileInfo(origin.cartella).isDir()) {
            panel.segnala(QStringLiteral("la cartella di Origine non Esiste!!"));
            return std::nullopt;
        }
        origin.nome = LeggiParametro(exchange.chiaveNome);
        if (senzaSpazi(origin.nome).isEmpty()) {
            panel.segnala(QStringLiteral("Il Nome del File non è Impostato"));
            return std::nullopt;
        }
        // The import deletes the file it takes in: never one of the program's own.
        const QString own = fileProprioSostituito(Pannello::Vendite, origin.cartella, origin.nome,
                                                  m_run.contesto().connessione.server);
        if (!own.isEmpty()) {
            panel.segnala(testoFileProprio(own));
            return std::nullopt;
        }
        if (!m_run.riserva(
                origin.cartella + origin.nome,
                QStringLiteral("Un'Altra Importazione delle Vendite da questa Cartella è in Corso")))
            return std::nullopt;
        return origin;
    }

    // The two findings of the file check, in the log and in a box titled "Attenzione".
    void avvisaSospeso(const QString& line, const QString& message) const
    {
        log(line);
        m_run.pannello().avvisa(IconaMessaggio::Critica, QStringLiteral("Attenzione"), message);
    }

    // The documents, then the closing lines with the skipped count of the last file taken in.
    EsitoRun creaDocumenti(CronacaVendite& cronaca, int skipped)
    {
        creaDocumentiDelleVendite(m_run.connessione(), cronaca);
        log(QStringLiteral("Creazione Vendita in Tavira Terminata"));
        return m_run.concludi({QStringLiteral("Righe Saltate = ") + QString::number(skipped)},
                              QStringLiteral("Importazione Vendite Terminata con Successo !"));
    }

    RunScambio m_run;
};
} // namespace

EsitoRun importaVendite(const ContestoRun& context)
{
    try {
        return ImportazioneVendite(context).esegui();
    } catch (...) {
        segnalaErrore(descrizioneScambio(Pannello::Vendite).tagRun);
    }
    // The report normally ends the program; should it return, the window is usable again.
    try {
        context.display.impostaOccupato(false);
    } catch (...) {
    }
    return EsitoRun::Interrotta;
}
