#pragma once

#include <QString>

// Fixed-width field forms shared by the logs and the exchanged files.

// The text followed by blanks, then cut to its leftmost `width` characters.
QString riempiConSpazi(const QString& text, int width);

// `width` zeros followed by the text, then cut to its rightmost `width` characters.
QString riempiConZeri(const QString& text, int width);

// A column of the logs: the value padded or cut to its width, then "|". The width is counted in the
// bytes the value becomes in the file (a character the code page lacks becomes one "?"), and a line
// break inside the value becomes a blank, so every line of a log keeps its length.
QString campoTabella(const QString& value, int width);

// The text with every line break (CR, LF and the other Unicode line and paragraph ends) made a blank.
QString suUnaRiga(QString text);

// The text without leading and trailing blanks (spaces only: tabs and other characters stay).
QString senzaSpazi(const QString& text);
