#pragma once

#include "catalog/catalogfile.h"
#include "catalog/catalogpanel.h"
#include "catalog/catalogqueries.h"
#include "store/storeconnection.h"

// Steps the titles of the title query, in the order the store returns them, and writes the records of
// their issues, newest first, to the catalog file as they are read: nothing is collected in memory.
// The progress bar counts the titles and the window's events run after each one. False when the query
// returns no title. Store and file failures raise a Failure.
bool esportaTitoli(StoreConnection& connection, const QueryCatalogo& queries, ModoSelezione mode,
                   FileCatalogo& file, const PannelloCatalogo& panel);
