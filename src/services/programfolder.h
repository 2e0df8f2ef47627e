#pragma once

#include <QString>

// The program folder holds every local file (term.ini, LOG.Dat, LogErrori.TXT, Tavira.XML): the folder of
// the executable, or the folder named by ESPORTA_IMPORTA_DIR when that is set. Returned in the platform's
// own form, without a trailing separator unless it is a root.
QString cartellaProgramma();

// The program folder followed by a separator and the name.
QString percorsoNelProgramma(const QString& fileName);

// A folder "ends in a separator" when it ends in "/" or "\" (a stored folder works with either);
// the separator added is the platform's own.
bool finisceConSeparatore(const QString& folder);
QString conSeparatoreFinale(const QString& folder);
