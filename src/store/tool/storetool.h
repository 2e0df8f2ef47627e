#pragma once

#include <QStringList>
#include <QTextStream>

// tavira-store: the arguments after the program name. Returns the exit status: 0 done, 1 refused or
// failed (an existing file without --sovrascrivi, a store that cannot be read...), 2 bad arguments
// (with the usage on `err`). --help prints the usage on `out` and returns 0.
int eseguiStrumento(const QStringList& arguments, QTextStream& out, QTextStream& err);
