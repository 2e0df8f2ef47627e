#pragma once

#include "catalog/catalogqueries.h"
#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QSqlQuery>

#include <optional>

// The issue queries of one run: one statement per kind of title (daily or not), kept by the connection
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
    // One kind of title's statement: its text, made once, and the column positions of the query the
    // connection keeps for it, looked up once for as long as it keeps that query.
    struct Istruzione
    {
        QString sql;
        const QSqlQuery* query = nullptr;
        std::optional<RigaQuery> row;
    };

    ConnessioneStore& m_connection;
    ModoSelezione m_mode;
    Istruzione m_daily, m_other;
    QSqlQuery* m_current = nullptr;
};
