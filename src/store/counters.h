#pragma once

#include <QString>

class StoreConnection;

// Advances the store's named counter by one and returns its new value: the stored procedure
// Contatore_update on SQL Server, one atomic UPDATE ... RETURNING of the counters table on SQLite.
// -1 when the counter gives back no value (a NULL value, or no counter of that name on SQLite).
// Throws Failure when the call itself fails or the value does not fit 32 bits.
qint32 incrementaContatore(StoreConnection& connection, const QString& name);
