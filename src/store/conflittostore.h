#pragma once

#include "services/failure.h"

#include <QStringList>

// A statement the store refused because another writer held what it needed: chosen as a deadlock
// victim (1205), out of time waiting for a lock (1222; 33557097 from engines built on PostgreSQL), or
// out of its own time (ODBC state HYT00, or S1T00 as FreeTDS names it) or refused as not serialisable
// (40001). The store has undone the unit of work; the same work may be tried again.
class ConflittoStore : public Failure
{
public:
    using Failure::Failure;
};

// Whether a failure is such a conflict: `nativeCodes` as the driver joins them (one code, or several
// separated by ";" or blanks), `states` the statement's ODBC states.
bool eConflitto(const QString& nativeCodes, const QStringList& states);
