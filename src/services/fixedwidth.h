#pragma once

#include <QString>

// Fixed-width field forms shared by the logs and the exchanged files.

// The text followed by blanks, then cut to its leftmost `width` characters.
QString riempiConSpazi(const QString& text, int width);

// `width` zeros followed by the text, then cut to its rightmost `width` characters.
QString riempiConZeri(const QString& text, int width);

// A column of the logs: the value padded or cut to its width, then "|".
QString campoTabella(const QString& value, int width);

// The text without leading and trailing blanks (spaces only: tabs and other characters stay).
QString senzaSpazi(const QString& text);
