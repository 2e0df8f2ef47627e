#include "catalog/catalogissues.h"

QueryUscite::QueryUscite(ConnessioneStore& connection, const QueryCatalogo& queries, ModoSelezione mode)
    : m_connection(connection), m_mode(mode), m_daily(queries.uscite(mode, true)),
      m_other(queries.uscite(mode, false))
{
}

QueryUscite::Risultato QueryUscite::esegui(const QVariant& idProd, bool daily)
{
    // With the last 3 issues of every title, dailies are no different.
    const bool dailyStatement = daily && m_mode == ModoSelezione::NonRichiamatiEQuotidiani;
    m_current = &m_connection.eseguiRicordata(dailyStatement ? m_daily : m_other, {idProd});
    m_row.emplace(*m_current);
    return {*m_current, *m_row};
}

void QueryUscite::chiudi()
{
    if (m_current) m_current->finish();
    m_current = nullptr;
    m_row.reset();
}
