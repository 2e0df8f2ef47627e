#pragma once

#include "store/rigadati.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Steps an open query to its next row; false at the end of the data. A read that fails on the way (a
// damaged page of the store, a file cut short, a dropped connection) throws Failure
// (FailureCode::Database) with the driver's message: it is never taken for the end of the data. Every
// loop over the rows of a query steps with this, never with QSqlQuery::next() alone.
bool rigaSuccessiva(QSqlQuery& query);

// The current row of an open query. The column positions are looked up once, when the query has run;
// the query is read in place, so the row follows it as it moves. Values of floating-point columns are
// taken as storevalues.h's valoreVirgolaMobile reads them.
class RigaQuery : public RigaDati
{
public:
    explicit RigaQuery(const QSqlQuery& query);
    QVariant valore(const QString& colonna) const override;

private:
    const QSqlQuery& m_query;
    QHash<QString, int> m_positions; // upper-case column name -> position
    QList<bool> m_floating;          // by position: the driver reports a floating-point column
};
