#include "services/scambi.h"

#include "services/numbers.h"

namespace {
const QString kTagApertura = QStringLiteral("(Impostazioni Catalogo Totale)");
const QString kDestinazioneMancante = QStringLiteral("la cartella di Destinazione non Esiste!!");
const QString kTemporaneo = QStringLiteral("TEMP_");

const std::array<DescrizioneScambio, 3>& table()
{
    static const std::array<DescrizioneScambio, 3> rows{{
        {Pannello::Catalogo,
         QStringLiteral("PathDestCatalogoTotale"),
         QStringLiteral("NomeFileCatalogoTotale"),
         QStringLiteral("Catalogo.DAT"),
         {QString(), kTemporaneo},
         true,
         QStringLiteral("FrmOpzioniCatalogoTotale"),
         QStringLiteral("Opzioni per la Creazione del Catalogo Iniziale"),
         QStringLiteral("Seleziona una Cartella dove Creare il file di Catalogo Totale"),
         QStringLiteral("txtPathDest"),
         QStringLiteral("Nome del File di Catalogo Totale"),
         kDestinazioneMancante,
         QStringLiteral("Nuova Destinazione CAT Totale = "),
         QStringLiteral("Nuovo Nome File CAT Totale = "),
         QStringLiteral("(Opzioni Cat.Totale)"),
         kTagApertura,
         QStringLiteral("(Salva Impostazioni CAT totale)"),
         QStringLiteral("(Crea File Catalogo)")},
        {Pannello::Vendite,
         QStringLiteral("PathOrigineVendite"),
         QStringLiteral("NomeFileVendite"),
         QStringLiteral("Vendite.DAT"),
         {QString(), kTemporaneo, QStringLiteral("SALTATO_")},
         false,
         QStringLiteral("FrmOpzioniVendite"),
         QStringLiteral("Opzioni Importazioni Vendite"),
         QStringLiteral("Seleziona una Cartella di Origine del File delle Vendite"),
         QStringLiteral("txtPathOrig"),
         QStringLiteral("Nome del File delle Vendite"),
         QStringLiteral("la cartella di Origine non Esiste!!"),
         QStringLiteral("Nuova Origine Vendite = "),
         QStringLiteral("Nuovo Nome File Vendite = "),
         QStringLiteral("(Opzioni Vendite)"),
         kTagApertura,
         QStringLiteral("(Salva Impostazioni Vendite)"),
         QStringLiteral("(Importa Vendite)")},
        {Pannello::Aggiornamento,
         QStringLiteral("PathDestinazioneAggiornamento"),
         QStringLiteral("NomeFileAggiornamento"),
         QStringLiteral("Update.DAT"),
         {QString()},
         false,
         QStringLiteral("FrmOpzioniAggiornamento"),
         QStringLiteral("Opzioni per la Creazione del File di Aggiornamento"),
         QStringLiteral("Seleziona una Cartella di Destinazione per il file degli Agg."),
         QStringLiteral("txtPathOrig"),
         QStringLiteral("Nome del File degli Aggiornamenti"),
         kDestinazioneMancante,
         QStringLiteral("Nuova Destinazione Aggiornamenti = "),
         QStringLiteral("Nuovo Nome File Aggiornamento = "),
         QStringLiteral("(Opzioni Aggiornamento)"),
         kTagApertura,
         // The tag reads as this dialog has always logged it, without its closing parenthesis.
         QStringLiteral("(Salva Impostazioni Aggiornamento"),
         QString()},
    }};
    return rows;
}
} // namespace

const DescrizioneScambio& descrizioneScambio(Pannello exchange)
{
    for (const DescrizioneScambio& row : table())
        if (row.scambio == exchange) return row;
    return table().front();
}

const std::array<Pannello, 3>& scambi()
{
    static const std::array<Pannello, 3> order{Pannello::Catalogo, Pannello::Vendite,
                                               Pannello::Aggiornamento};
    return order;
}

QString chiaveQualiTitoli()
{
    return QStringLiteral("QualiTitoliCatalogoTotale");
}

bool leggeZero(const QString& stored)
{
    return leggiNumero(stored + QLatin1Char(' ')) == 0;
}
