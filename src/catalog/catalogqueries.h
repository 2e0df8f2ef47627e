#pragma once

#include "store/sqldialect.h"

#include <QDate>
#include <QString>
#include <QVariant>

// Which issues the catalog carries, from the parameter QualiTitoliCatalogoTotale.
enum class ModoSelezione {
    NonRichiamatiEQuotidiani, // 0: up to 10 issues not yet recalled; dailies up to 2
    UltimeTreUscite,          // any other number: the last 3 issues of every title
};

// The parameter's value with a blank appended, read as a number: 0 (empty, missing or not a number
// included) is the first mode, any other number the second.
ModoSelezione modoSelezione(const QString& parameterValue);

// The line the run logs for the mode.
QString descrizioneModo(ModoSelezione mode);

// A title is a daily when its IDTipoProdotto reads as 2.
bool eQuotidiano(const QVariant& idTipoProdotto);

// Titles whose newest issue is not later than this day at 00:00 are left out: today minus 180 days.
QDate dataLimiteTitoli(const QDate& today);

// The query texts of the export, written for SQL Server and handed to the embedded store through its
// dialect.
class QueryCatalogo
{
public:
    QueryCatalogo(const SqlDialect& dialect, const QDate& cutOff);

    // The titles flagged for the shop whose newest issue is dated after the cut-off. No ordering.
    QString titoli() const;
    // The issues of one title, newest first, as the mode and the kind of title choose them. The title's
    // IDProd stands as the one "?" of the text, bound at each run, so the statement is prepared once
    // for all the titles of its kind.
    QString uscite(ModoSelezione mode, bool daily) const;

private:
    const SqlDialect& m_dialect;
    QDate m_cutOff;
};
