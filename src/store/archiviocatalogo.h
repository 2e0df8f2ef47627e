#pragma once

#include "store/rigadati.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class ConnessioneStore;
class QSqlQuery;
class RigaQuery;
class SqlDialect;

// Which issues the catalog carries, from the parameter QualiTitoliCatalogoTotale.
enum class ModoSelezione {
    NonRichiamatiEQuotidiani, // 0: up to 10 issues not yet recalled; dailies up to 2
    UltimeTreUscite,          // any other number: the last 3 issues of every title
};

// Every statement of the catalog export on the titles and their issues: Prodotti, Uscite. The texts are
// written for SQL Server and handed to the embedded store through its dialect. The rows reach the
// export one by one as they are read, each as a RigaDati valid only during the call that hands it over;
// a result is read to its end and let go before the method returns, even when the call throws. Each
// method throws Failure when the store refuses or a read fails part-way (never taken for fewer rows).
class ArchivioCatalogo
{
public:
    using PerRiga = std::function<void(const RigaDati&)>;

    ArchivioCatalogo(ConnessioneStore& connection, ModoSelezione mode);
    ~ArchivioCatalogo();
    ArchivioCatalogo(const ArchivioCatalogo&) = delete;
    ArchivioCatalogo& operator=(const ArchivioCatalogo&) = delete;

    // The titles of testoTitoli, in the order the store returns them.
    void titoli(const QDate& cutOff, const PerRiga& perTitolo);
    // One title's issues, newest first, as the mode and the kind of title choose them. One statement per
    // kind of title (daily or not), kept by the connection and run again for every title of that kind
    // with the title's IDProd bound.
    void uscite(const QVariant& idProd, bool daily, const PerRiga& perUscita);

    // The titles flagged for the shop whose newest issue is dated after the cut-off. No ordering.
    static QString testoTitoli(const SqlDialect& dialect, const QDate& cutOff);
    // The issues of one title, newest first, as the mode and the kind of title choose them. The title's
    // IDProd stands as the one "?" of the text, bound at each run, so the statement is prepared once
    // for all the titles of its kind.
    static QString testoUscite(const SqlDialect& dialect, ModoSelezione mode, bool daily);

private:
    // One kind of title's statement: its text, made once, and the column positions of the query the
    // connection keeps for it, looked up once for as long as it keeps that query.
    struct Istruzione
    {
        QString sql;
        const QSqlQuery* query = nullptr;
        std::unique_ptr<RigaQuery> row;
    };

    ConnessioneStore& m_connection;
    ModoSelezione m_mode;
    Istruzione m_daily, m_other;
};
