#pragma once

#include "services/scambi.h"

#include <QString>

// The program's own file that the files of an exchange would replace, when written in `folder` under
// `name` (each with its prefix, as the exchange's run writes them): its path, or "" when none would be.
// The program's own files are term.ini and its temporary copy, Tavira.XML, LOG.Dat and LogErrori.TXT in
// the program folder; the embedded store named by `server` (its folder, its .sqlite files and their
// -wal, -shm and -journal companions); and the files of the other exchanges' runs as term.ini names them.
// Paths are compared as the file system resolves them, letter case ignored.
QString fileProprioSostituito(Pannello exchange, const QString& folder, const QString& name,
                              const QString& server);

// The line and message that refuse such a destination.
QString testoFileProprio(const QString& ownFile);
