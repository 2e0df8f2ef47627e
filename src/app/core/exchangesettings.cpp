#include "app/core/exchangesettings.h"

#include "services/fixedwidth.h"
#include "services/parametri.h"
#include "services/programfolder.h"

namespace {
QString orDefault(const QString& stored, const QString& fallback)
{
    return senzaSpazi(stored).isEmpty() ? fallback : stored;
}
} // namespace

QString cartellaPredefinita()
{
    return conSeparatoreFinale(cartellaProgramma());
}

QString testoQualiTitoli(const QString& stored)
{
    return leggeZero(stored) ? QStringLiteral("Solo i non Richiamati")
                             : QStringLiteral("Tutti i Titoli (Ultimi 3 Numeri)");
}

ImpostazioniScambio leggiImpostazioni(Pannello exchange)
{
    const DescrizioneScambio& row = descrizioneScambio(exchange);
    ImpostazioniScambio settings;
    settings.cartella = orDefault(LeggiParametro(row.chiaveCartella), cartellaPredefinita());
    settings.nome = orDefault(LeggiParametro(row.chiaveNome), row.nomePredefinito);
    if (row.conQualiTitoli) settings.qualiTitoli = testoQualiTitoli(LeggiParametro(chiaveQualiTitoli()));
    return settings;
}

void scriviImpostazioni(Pannello exchange, const ImpostazioniScambio& settings)
{
    const DescrizioneScambio& row = descrizioneScambio(exchange);
    ScriviParametro(row.chiaveCartella, settings.cartella);
    ScriviParametro(row.chiaveNome, settings.nome);
}
