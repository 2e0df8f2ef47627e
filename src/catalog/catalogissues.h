#pragma once

#include "catalog/catalogqueries.h"
#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QSqlQuery>

#include <memory>

// The issue queries of one run: one statement per kind of title (daily or not), prepared on first use
// and run again for every title of that kind with the title's IDProd bound.
class QueryUscite
{
public:
    QueryUscite(ConnessioneStore& connection, const QueryCatalogo& queries, ModoSelezione mode);

    // One title's issues, newest first: `rows` steps them, `row` reads the current one. `chiudi`
    // releases the result before the next title.
    struct Risultato
    {
        QSqlQuery& rows;
        const RigaDati& row;
    };
    Risultato esegui(const QVariant& idProd, bool daily);
    void chiudi();

private:
    struct Preparata
    {
        QSqlQuery query;
        std::unique_ptr<RigaQuery> row; // column positions, known once the statement has run
    };

    ConnessioneStore& m_connection;
    const QueryCatalogo& m_queries;
    ModoSelezione m_mode;
    std::unique_ptr<Preparata> m_daily, m_other;
    Preparata* m_current = nullptr;
};
