#pragma once

#include <QString>

// term.ini: the program's own settings, one scrambled "KEY=value" line each. No cache: every call opens,
// scans and closes the file.

// The value of the first line whose key matches (letter case ignored), "" when there is none. Creates an
// empty term.ini when it is missing.
QString LeggiParametro(const QString& key);

// Stores the value (trimmed) under the key, replacing every matching line or appending one. The new
// content is written whole to termTemp.ini and then put in place in one step, so term.ini is never left
// half-written. A file held by another process is retried; False when the file could not be written.
bool ScriviParametro(const QString& key, const QString& value);

// Scrambling of one line, character by character in the file's code page.
QString CodificaTesto(const QString& text);
QString DecodificaTesto(const QString& text);
QByteArray codificaRiga(const QByteArray& plain);
QByteArray decodificaRiga(const QByteArray& scrambled);
