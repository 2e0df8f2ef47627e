#include "settings/optionsvariant.h"

namespace {
const QString kOpenTag = QStringLiteral("(Impostazioni Catalogo Totale)");
const QString kDestinationMissing = QStringLiteral("la cartella di Destinazione non Esiste!!");

const OptionsVariant kVariants[] = {
    {TipoOpzioni::CatalogoTotale, QStringLiteral("FrmOpzioniCatalogoTotale"),
     QStringLiteral("Opzioni per la Creazione del Catalogo Iniziale"),
     QStringLiteral("Seleziona una Cartella dove Creare il file di Catalogo Totale"),
     QStringLiteral("txtPathDest"), QStringLiteral("Nome del File di Catalogo Totale"),
     QStringLiteral("PathDestCatalogoTotale"), QStringLiteral("NomeFileCatalogoTotale"),
     QStringLiteral("Catalogo.DAT"), kDestinationMissing, QStringLiteral("Nuova Destinazione CAT Totale = "),
     QStringLiteral("Nuovo Nome File CAT Totale = "), QStringLiteral("(Salva Impostazioni CAT totale)"),
     kOpenTag, true},
    {TipoOpzioni::Vendite, QStringLiteral("FrmOpzioniVendite"),
     QStringLiteral("Opzioni Importazioni Vendite"),
     QStringLiteral("Seleziona una Cartella di Origine del File delle Vendite"),
     QStringLiteral("txtPathOrig"), QStringLiteral("Nome del File delle Vendite"),
     QStringLiteral("PathOrigineVendite"), QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT"),
     QStringLiteral("la cartella di Origine non Esiste!!"), QStringLiteral("Nuova Origine Vendite = "),
     QStringLiteral("Nuovo Nome File Vendite = "), QStringLiteral("(Salva Impostazioni Vendite)"), kOpenTag,
     false},
    {TipoOpzioni::Aggiornamento, QStringLiteral("FrmOpzioniAggiornamento"),
     QStringLiteral("Opzioni per la Creazione del File di Aggiornamento"),
     QStringLiteral("Seleziona una Cartella di Destinazione per il file degli Agg."),
     QStringLiteral("txtPathOrig"), QStringLiteral("Nome del File degli Aggiornamenti"),
     QStringLiteral("PathDestinazioneAggiornamento"), QStringLiteral("NomeFileAggiornamento"),
     QStringLiteral("Update.DAT"), kDestinationMissing, QStringLiteral("Nuova Destinazione Aggiornamenti = "),
     QStringLiteral("Nuovo Nome File Aggiornamento = "),
     // The tag reads as this dialog has always logged it, without its closing parenthesis.
     QStringLiteral("(Salva Impostazioni Aggiornamento"), kOpenTag, false},
};
} // namespace

const OptionsVariant& optionsVariant(TipoOpzioni kind)
{
    for (const OptionsVariant& variant : kVariants)
        if (variant.kind == kind) return variant;
    return kVariants[0];
}
