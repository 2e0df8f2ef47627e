#include "app/core/exchangesettings.h"

#include "services/fixedwidth.h"
#include "services/numbers.h"
#include "services/parametri.h"
#include "services/programfolder.h"

namespace {
const std::array<DescrizioneScambio, 3>& table()
{
    static const std::array<DescrizioneScambio, 3> rows{{
        {Pannello::Catalogo, QStringLiteral("PathDestCatalogoTotale"),
         QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("Catalogo.DAT"), true},
        {Pannello::Vendite, QStringLiteral("PathOrigineVendite"), QStringLiteral("NomeFileVendite"),
         QStringLiteral("Vendite.DAT"), false},
        {Pannello::Aggiornamento, QStringLiteral("PathDestinazioneAggiornamento"),
         QStringLiteral("NomeFileAggiornamento"), QStringLiteral("Update.DAT"), false},
    }};
    return rows;
}

const QString kQualiTitoli = QStringLiteral("QualiTitoliCatalogoTotale");

QString orDefault(const QString& stored, const QString& fallback)
{
    return senzaSpazi(stored).isEmpty() ? fallback : stored;
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

QString cartellaPredefinita()
{
    return conSeparatoreFinale(cartellaProgramma());
}

QString testoQualiTitoli(const QString& stored)
{
    return leggiNumero(QLatin1Char(' ') + stored) == 0 ? QStringLiteral("Solo i non Richiamati")
                                                       : QStringLiteral("Tutti i Titoli (Ultimi 3 Numeri)");
}

ImpostazioniScambio leggiImpostazioni(Pannello exchange)
{
    const DescrizioneScambio& row = descrizioneScambio(exchange);
    ImpostazioniScambio settings;
    settings.cartella = orDefault(LeggiParametro(row.chiaveCartella), cartellaPredefinita());
    settings.nome = orDefault(LeggiParametro(row.chiaveNome), row.nomePredefinito);
    if (row.conQualiTitoli) settings.qualiTitoli = testoQualiTitoli(LeggiParametro(kQualiTitoli));
    return settings;
}

void scriviImpostazioni(Pannello exchange, const ImpostazioniScambio& settings)
{
    const DescrizioneScambio& row = descrizioneScambio(exchange);
    ScriviParametro(row.chiaveCartella, settings.cartella);
    ScriviParametro(row.chiaveNome, settings.nome);
}
