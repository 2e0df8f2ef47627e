#pragma once

#include "catalog/catalogfile.h"
#include "catalog/catalogqueries.h"
#include "services/rundisplay.h"
#include "store/connessionestore.h"

// Reads the titles of the title query to the end, in the order the store returns them, then writes the
// records of their issues, newest first, to the catalog file as they are read (only the title list is
// held in memory). The progress bar counts the titles and the window's events run after each one. False
// when the query returns no title. Store and file failures raise a Failure, a read that fails midway
// included.
bool esportaTitoli(ConnessioneStore& connection, const QueryCatalogo& queries, ModoSelezione mode,
                   FileCatalogo& file, const PannelloScambio& panel);
