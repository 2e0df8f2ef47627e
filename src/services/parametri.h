#pragma once

#include <QString>

// term.ini: the program's own settings, one scrambled "KEY=value" line each, ended by CR LF (a lone CR
// or LF is read as a line end too). No cache: every call opens, scans and closes the file.

// The value of the first line whose key matches (letter case ignored), "" when there is none. Creates an
// empty term.ini when it is missing.
QString LeggiParametro(const QString& key);

// Stores the value (trimmed) under the key, replacing every matching line or appending one; a value
// already stored is not written again. Instances of the program write one at a time (a lock beside
// term.ini). The new content is written whole to a temporary file of this call and then put in place
// in one step, so term.ini is never left half-written. A term.ini that is a link is replaced where it
// lives; a read-only one is left alone. A file held by another process is retried; False when the
// file could not be written.
bool ScriviParametro(const QString& key, const QString& value);
QByteArray codificaRiga(const QByteArray& plain);
QByteArray decodificaRiga(const QByteArray& scrambled);
