#include "catalog/catalogissues.h"

QueryUscite::QueryUscite(ConnessioneStore& connection, const QueryCatalogo& queries, ModoSelezione mode)
    : m_connection(connection), m_queries(queries), m_mode(mode)
{
}

QueryUscite::Risultato QueryUscite::esegui(const QVariant& idProd, bool daily)
{
    // With the last 3 issues of every title, dailies are no different.
    const bool dailyStatement = daily && m_mode == ModoSelezione::NonRichiamatiEQuotidiani;
    std::unique_ptr<Preparata>& slot = dailyStatement ? m_daily : m_other;
    if (!slot)
        slot.reset(new Preparata{m_connection.prepara(m_queries.uscite(m_mode, dailyStatement)), nullptr});
    slot->query.bindValue(0, idProd);
    m_connection.eseguiPreparata(slot->query);
    if (!slot->row) slot->row = std::make_unique<RigaQuery>(slot->query);
    m_current = slot.get();
    return {slot->query, *slot->row};
}

void QueryUscite::chiudi()
{
    if (m_current) m_current->query.finish();
    m_current = nullptr;
}
