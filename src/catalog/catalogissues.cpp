#include "catalog/catalogissues.h"

QueryUscite::QueryUscite(ConnessioneStore& connection, const QueryCatalogo& queries, ModoSelezione mode)
    : m_connection(connection),
      m_mode(mode), m_daily{queries.uscite(mode, true), nullptr, std::nullopt}, m_other{queries.uscite(mode,
                                                                                                       false),
                                                                                        nullptr, std::nullopt}
{
}

QueryUscite::Risultato QueryUscite::esegui(const QVariant& idProd, bool daily)
{
    // With the last 3 issues of every title, dailies are no different.
    const bool dailyStatement = daily && m_mode == ModoSelezione::NonRichiamatiEQuotidiani;
    Istruzione& statement = dailyStatement ? m_daily : m_other;
    m_current = &m_connection.eseguiRicordata(statement.sql, {idProd});
    if (statement.query != m_current) { // prepared afresh for this text
        statement.row.emplace(*m_current);
        statement.query = m_current;
    }
    return {*m_current, *statement.row};
}

void QueryUscite::chiudi()
{
    if (m_current) m_current->finish();
    m_current = nullptr;
}
