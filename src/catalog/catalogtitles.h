#pragma once

#include "catalog/catalogfile.h"
#include "services/rundisplay.h"
#include "store/archiviocatalogo.h"

#include <QDate>

// Reads the titles whose newest issue is dated after the cut-off to the end, in the order the store
// returns them, then writes the records of their issues, newest first, to the catalog file as they are
// read (only the title list is held in memory). The progress bar counts the titles and the window's
// events run after each one. False when no title qualifies. Store and file failures raise a Failure, a
// read that fails midway included.
bool esportaTitoli(ArchivioCatalogo& archive, const QDate& cutOff, FileCatalogo& file,
                   const PannelloScambio& panel);
